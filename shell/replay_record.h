#pragma once

#include "shell/replay_format.h"

#include <string>

// Every level run is recorded beside the simulation: each running frame's
// frame time and steering, and the clock wherever something between frames
// changed it. When the run ends it is kept as the level's last run, and as
// its best when it finished faster than the best kept.

// The game's version, written into each replay; the programs set it.
extern std::string replayGameVersion;

// The run being recorded (empty between runs); its frames so far.
const Replay& runBeingRecorded();

// At a level's start, once the level is loaded and its clock set.
void beginRunRecording();
// In a running frame: before the clock runs, and after the frame is done.
void noteFrameStart();
void noteFrameEnd();
// The run is over (goal, time-out, skip, leaving): keeps its files.
void endRunRecording();

// Drops the run being recorded without keeping it.
void resetRunRecording();

// The clock values a frame starts from, as the game holds them now.
ReplayClock currentClock();
void setClock(const ReplayClock& clock);

// Where a level's last and best runs are kept, relative to the player's folder.
std::string replayFileName(const std::string& levelFile, bool best);
