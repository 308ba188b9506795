#pragma once

// The globals of shell/: start-up, level flow, frame composition, replays,
// the ghost, practice and our own settings.
#include "shell/draw_frame.h"
#include "shell/ghost.h"
#include "shell/level_flow.h"
#include "shell/lifecycle.h"
#include "shell/practice.h"
#include "shell/replay_playback.h"
#include "shell/replay_record.h"
#include "shell/settings.h"

// Every one of them back to its value at program start; the game version
// written into replays is the program's, set once by main, and stays.
void resetShellGlobals();

// The globals of every layer, from game/ up to shell/, back to program start:
// what a test or a benchmark does before each fresh program.
void resetEveryLayer();
