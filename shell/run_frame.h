#pragma once

#include "sim/marble_control.h"

// The frame event: measure the frame time, run the clock and the marble while
// a level runs, draw, then decide on the level's end and the start and
// time-up sounds.
void runFrame();

// The marble's part of a running frame: the simulation's step, then the
// goal's sound and the level's time when it reached the goal.
MarbleReport moveMarble();
