#pragma once

#include <cstdint>

// Screen numbers. The values are fixed: the browser page hands them to its
// test (web/page_hooks.cpp), where 0 means no game has started yet.
enum class GameState : int {
    Title = 1,
    Playing = 2,
    ScoreTable = 3,
    NameEntry = 4, // orbivale-gl
    Credits = 5,   // orbivale-glide
    Closing = 6,   // orbivale-glide
};

// The game's global state, read by every subsystem. Times are seconds.
extern GameState gameState;
extern bool menuShown;
extern int menuCursor;
extern bool paused;
extern bool clockStopped;
extern bool windowActive;
extern bool levelDone;
extern int levelNumber;
extern float timeLeft;
extern float penaltyTimer;
extern float frameTime;
extern float endThreshold;
extern bool goSoundPlayed;
extern bool timeUpSoundPlayed;
extern uint8_t lastKey;
extern int frameCount;
extern int polygonCount;
extern int framesPerSecond;
extern int polygonsPerSecond;
extern int64_t frameClock;

// The countdown value that means "time ran out": the goal moves the threshold
// away from it.
constexpr float kTimeOutThreshold = -4.0f;
// The race: the countdown runs from here to 0, and a level's time is how
// much of it the marble took.
constexpr float kRaceLength = 45.0f;
// The countdown at the start of the first level and of each later one.
constexpr float kFirstLevelTime = 52.0f;
constexpr float kLaterLevelTime = 46.5f;
// orbivale-glide caps a frame so that a stall cannot move the marble or the
// clock by more than this; orbivale-gl takes every frame as it comes.
constexpr float kGlideMaxFrameTime = 0.1f;

// Keys pressed on the name-entry screen that it has not taken yet, oldest
// first: a slow frame may see several, and each is a letter of the name.
// Past a screenful of waiting keys, more are dropped.
void queueTypedKey(uint8_t key);
// The oldest waiting key, or 0 when none waits.
uint8_t takeTypedKey();
void forgetTypedKeys();

// Puts every one of these globals back to its value at program start.
void resetGameState();
