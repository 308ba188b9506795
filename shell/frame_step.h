#pragma once

// The frame event: measure the frame time, run the clock and the marble while
// a level runs, draw, then decide on the level's end and the start and
// time-up sounds.
void runFrame();
