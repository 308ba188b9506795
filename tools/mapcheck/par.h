#pragma once

#include "tools/mapcheck/console_platform.h"

// What the autopilot makes of the loaded level: it plays from the start line
// with the game's own steering, falls and goal at 60 frames a second.
struct ParRun {
    bool lineFound = false; // a line from the start to the goal keeps clear of the pits
    bool reachedGoal = false;
    float seconds = 0.0f; // race time to the goal, the falls' seconds included
    int falls = 0;
};

// Plays the loaded level for at most `limit` seconds; the console's held
// keys are the autopilot's.
ParRun runPar(ConsolePlatform& console, float limit = 120.0f);
