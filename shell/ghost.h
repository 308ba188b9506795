#pragma once

#include "sim/vec3.h"

#include <string>

// The ghost: the level's best finished run, raced alongside the player as a
// translucent marble. It is worked out from the kept replay once, at the
// level's start, and only drawn: no sounds, no part in the simulation.

// At a level's start (the run's clock starts at zero): the ghost of the
// level file's best run when the ghost is on and such a run is kept.
void prepareGhost(const std::string& levelFile);
// Each running frame: the run's clock moves on by the frame time.
void advanceGhost();
// In a playing frame, after the terrain.
void drawGhost();
// F7: the ghost on or off, remembered in our settings.
void toggleGhost();
// Recorded frames in the ghost's run (0 when there is none), and where the
// ghost is after one of them.
int ghostFrameCount();
Vec3 ghostPositionAfter(int frame);

void forgetGhost();
