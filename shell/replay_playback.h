#pragma once

#include "shell/replay_format.h"

#include <string>

// `--replay FILE`: the program plays one recorded run in its window instead of
// a game. The simulation is fed the recorded frame times and steering, so the
// marble takes the recorded path exactly; camera, HUD and sounds are those of
// play. Escape leaves, Space pauses.

// The file asked for on the command line; empty for an ordinary game.
extern std::string replayToPlay;

bool replayPlaying();
// Reads a replay this program can play as it was recorded: whole, of this
// program, its level file present and unchanged. False with the reason.
bool readPlayableReplay(const std::string& path, Replay& replay, std::string& reason);
// Loads the file and its level and starts the run. False after a message box
// saying why it cannot be played.
bool startReplayPlayback(const std::string& path);
// In a frame that would run: true when a recorded frame runs now (its frame
// time, steering and clock are set); false to hold the picture, when the
// display runs faster than the recording did or the run is over.
bool takeReplayFrame();
void endReplayFrame();
// Keys while watching; true when the key was used up.
bool handleReplayKey(int keyCode);
// Recorded frames played so far.
int replayFramesPlayed();
void stopReplayPlayback();
