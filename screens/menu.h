#pragma once

// The lines of both menu pages. menuCursor holds a line's number, and the
// numbering differs between the two programs.
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

// The cursor number of a line in the running program; 0 for a line it lacks.
int menuNumber(MenuItem item);
// The line a cursor number stands on.
MenuItem menuItemAt(int cursor);
bool cursorOnOptionsPage(int cursor);

// The cursor after a move up or down, skipping lines that cannot be chosen.
int menuCursorAfterUp(int cursor);
int menuCursorAfterDown(int cursor);
