#pragma once

// The lines of both menu pages. menuCursor holds a line's number, and the
// numbering differs between the two programs (EditionRules::menuLines).
enum class MenuItem {
    NewGame,
    HighScore,
    Options,
    Credits, // orbivale-glide
    Quit,
    Statistics,
    Fog,
    FarSight,
    Normal,
    CameraLag,
    Midi,
    Control, // orbivale-glide
    Done,
};
