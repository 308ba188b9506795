#pragma once

#include "platform/platform.h"
#include "sim/steering.h"

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
    bool glide = false;       // recorded by orbivale-glide
    bool finished = false;    // reached the goal
    float finishTime = 0.0f;  // seconds of the level's clock the goal took, when finished
    std::string gameVersion;
    std::string levelFile;    // as the level list names it
    uint64_t levelChecksum = 0;
    int levelNumber = 0;
    JoystickCaps stickLimits; // the stick's range, for runs steered with it
    std::vector<ReplayFrame> frames;
};

constexpr int kReplayFormatVersion = 1;

std::string encodeReplay(const Replay& replay);
// False, with a reason a player can read, for anything but a whole replay
// file this program can play.
bool decodeReplay(const std::string& bytes, Replay& replay, std::string& reason);

// 64-bit FNV-1a of the bytes: tells a level file from any changed copy.
uint64_t checksumBytes(const std::string& bytes);
