#pragma once

#include "shell/replay_format.h"
#include "sim/vec3.h"

#include <string>

// The ghost: the level's best finished run, raced alongside the player as a
// translucent marble. The kept replay is read once, at the level's start; its
// frames run as the level's clock reaches them, apart from the player's
// simulation, and the ghost is only drawn: no sounds, no part in the race.

// At a level's start (the run's clock starts at zero): the ghost of the
// level file's best run when the ghost is on and such a run is kept.
void prepareGhost(const std::string& levelFile);
// Each running frame: the run's clock moves on by the frame time, and the
// ghost's frames up to it run (a bounded number per frame; a ghost behind
// catches up over the next frames).
void advanceGhost();
// In a playing frame, after the terrain.
void drawGhost();
// F7: the ghost on or off, remembered in our settings.
void toggleGhost();
// Recorded frames in the ghost's run (0 when there is none), how many of them
// have run, and where the ghost is drawn now (false when there is none).
int ghostFrameCount();
int ghostFramesRun();
bool ghostPosition(Vec3& position);

// --ghost FILE: this run is raced in its level file's levels instead of the
// kept best run.
void raceRun(const Replay& run);

void forgetGhost();
