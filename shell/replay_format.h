#pragma once

#include "game/game_state.h"
#include "platform/platform.h"
#include "sim/steering.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The clock values a frame starts from. A replay keeps them at its first frame
// and wherever something between frames changed them (a pause while a fall's
// "-5" flies, orbivale-glide's hold after a focus change).
struct ReplayClock {
    float timeLeft = 0.0f;
    float penaltyTimer = 0.0f;
    float penaltyFlight = 0.0f;
    float boostReserve = 0.0f;
    bool fallPending = false;
};

struct ReplayFrame {
    float frameTime = 0.0f; // seconds, as the simulation used it
    Steering steering;
    bool hasClock = false;
    ReplayClock clock;
};

// One level run, from the level's start to its goal, time-out, skip or the
// player leaving. docs/replays.md describes the file.
struct Replay {
    bool glide = false;      // recorded by orbivale-glide
    bool finished = false;   // reached the goal
    float finishTime = 0.0f; // seconds of the level's clock the goal took, when finished
    std::string gameVersion;
    std::string levelFile; // as the level list names it
    uint64_t levelChecksum = 0;
    int levelNumber = 0;
    JoystickCaps stickLimits; // the stick's range, for runs steered with it
    std::vector<ReplayFrame> frames;
};

constexpr int kReplayFormatVersion = 1;

// What one level run can hold. Its countdown starts at kFirstLevelTime at
// most and the level ends once the clock passes kTimeOutThreshold (or a
// second after the goal, where the recording has stopped already); no fall,
// pause or focus hold ever puts time back on the clock. So a run's frames
// add up to that span plus its last frame, which in orbivale-gl (whose loop
// takes every frame as it comes) a stall may lengthen: a margin of the
// longest orbivale-gl frame a replay keeps. orbivale-glide's frames are
// capped by its loop.
constexpr float kLongestGlReplayFrame = 8.0f;
constexpr double kLongestRun = double(kFirstLevelTime) - double(kTimeOutThreshold) + kLongestGlReplayFrame;
// At most a frame a millisecond.
constexpr size_t kMostReplayFrames = static_cast<size_t>(kLongestRun * 1000.0);
// The largest file such a run makes: the longest texts in the header, and
// every frame with the stick and the clock.
constexpr size_t kLargestReplayHeader = 8 + 2 + 1 + 1 + 256 + 256 + 8 + 2 + 4 + 16 + 4;
constexpr size_t kLargestReplayFrame = 1 + 4 + 12 + 17;
constexpr size_t kLargestReplayFile = kLargestReplayHeader + kMostReplayFrames * kLargestReplayFrame;

// The longest single frame a run of the given program holds.
float longestReplayFrame(bool glide);

std::string encodeReplay(const Replay& replay);
// False, with a reason a player can read, for anything but a whole replay
// file this program can play, and for a run longer than a level can hold.
// Reads the bytes where they are, sizing nothing by what they claim before
// the claim is checked.
bool decodeReplay(const std::string& bytes, Replay& replay, std::string& reason);

// 64-bit FNV-1a of the bytes: tells a level file from any changed copy.
uint64_t checksumBytes(const std::string& bytes);
