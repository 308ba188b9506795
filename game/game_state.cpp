#include "game/game_state.h"

GameState gameState;
bool menuShown;
int menuCursor;
bool paused;
bool clockStopped;
bool windowActive;
bool levelDone;
int levelNumber;
float timeLeft;
float penaltyTimer;
float frameTime;
float endThreshold;
bool goSoundPlayed;
bool timeUpSoundPlayed;
uint8_t lastKey;
int frameCount;
int polygonCount;
int framesPerSecond;
int polygonsPerSecond;
int64_t frameClock;

namespace {
constexpr int kTypedKeyLimit = 16;
uint8_t typedKeys[kTypedKeyLimit];
int typedKeyFirst;
int typedKeyCount;
} // namespace

void queueTypedKey(uint8_t key)
{
    if (typedKeyCount == kTypedKeyLimit)
        return;
    typedKeys[(typedKeyFirst + typedKeyCount) % kTypedKeyLimit] = key;
    ++typedKeyCount;
}

uint8_t takeTypedKey()
{
    if (typedKeyCount == 0)
        return 0;
    uint8_t key = typedKeys[typedKeyFirst];
    typedKeyFirst = (typedKeyFirst + 1) % kTypedKeyLimit;
    --typedKeyCount;
    return key;
}

void forgetTypedKeys()
{
    typedKeyFirst = 0;
    typedKeyCount = 0;
}

void resetGameState()
{
    gameState = GameState::Title;
    menuShown = false;
    menuCursor = 1;
    paused = false;
    clockStopped = true;
    windowActive = true;
    levelDone = true;
    levelNumber = -1;
    timeLeft = 0.0f;
    penaltyTimer = 0.0f;
    frameTime = 0.0f;
    endThreshold = kTimeOutThreshold;
    goSoundPlayed = false;
    timeUpSoundPlayed = false;
    lastKey = 0;
    forgetTypedKeys();
    frameCount = 0;
    polygonCount = 0;
    framesPerSecond = 0;
    polygonsPerSecond = 0;
    frameClock = 0;
}

namespace {
// Globals start at their documented values without anyone having to call in.
struct InitialGameState {
    InitialGameState() { resetGameState(); }
} initialGameState;
} // namespace
