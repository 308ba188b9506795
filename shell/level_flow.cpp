#include "shell/level_flow.h"

#include "game/edition_rules.h"
#include "game/game_state.h"
#include "game/options.h"
#include "game/sound.h"
#include "levels/level_list.h"
#include "levels/level_map.h"
#include "platform/platform.h"
#include "records/best_times.h"
#include "render/renderer.h"
#include "shell/ghost.h"
#include "shell/practice.h"
#include "shell/replay_playback.h"
#include "shell/replay_record.h"
#include "sim/camera.h"
#include "sim/marble.h"
#include "sim/marble_control.h"

int nameCursor = 0;
bool screenDirty = true;

namespace {

void resetLevelTimes()
{
    for (int i = 0; i < levelCount; ++i)
        levelTimes[i] = unplayedTime();
}

// Ranks the game's total; true when it made a new row.
bool placeTotal()
{
    double sum = 0.0;
    for (int i = 0; i < levelCount; ++i)
        sum += levelTimes[i];
    if (bestTimes.recordGame(static_cast<float>(sum)) < 0)
        return false;
    lastKey = 0; // a key pressed before does not become a letter
    forgetTypedKeys();
    paused = false;
    gameState = GameState::NameEntry;
    levelDone = true;
    clockStopped = true;
    if (rules().namesNewBest) {
        nameCursor = 0;
    } else {
        screenDirty = true;
        bestTimes.save(); // no name to wait for: the row is final now
    }
    return true;
}

} // namespace

bool loadLevelMap(const std::string& fileName)
{
    if (!levelMap.load(fileName, marble))
        return false;
    if (levelMap.textureRead)
        renderer->uploadLevelTexture(levelMap.mipImages.get());
    return true;
}

void startLevel()
{
    if (menuShown || replayPlaying())
        return;
    endRunRecording();
    // Practice plays its one level again, whatever came before.
    if (practising())
        levelNumber = practiceLevel() - 1;

    ++levelNumber;
    levelDone = false;
    timeLeft = kLaterLevelTime;
    endThreshold = kTimeOutThreshold;
    penaltyTimer = 0.0f;
    clockStopped = false;
    paused = false;
    newEntryRow = -1;

    if (levelNumber == 1) {
        timeLeft = kFirstLevelTime;
        if (musicOn && !musicPlaying) {
            startMusic("sounds/midi1.mid");
            musicPlaying = true;
        }
        resetLevelTimes();
    }

    if (levelNumber >= 1 && levelNumber <= levelCount) {
        if (!loadLevelMap(levelNames[levelNumber - 1])) {
            platform->messageBox("Unable to initialize map", "error");
            platform->requestQuit(1);
            // Nothing of a failed load may reach the simulation before the
            // loop ends.
            clockStopped = true;
            levelDone = true;
            return;
        }
        if (rules().hasBoost)
            boostReserve = kBoostReserveFull;
        gameState = GameState::Playing;
    }

    if (levelNumber >= levelCount + 1) {
        gameState = GameState::ScoreTable;
        clockStopped = true;
        if (levelNumber == levelCount + 1 && placeTotal())
            return;
    }

    Vec3 start(0.0f, kStartY, levelMap.heightAt(0.0f, kStartY));
    marble.setPosition(start);
    marble.setVelocity(Vec3(0.0f, 0.0f, 0.0f));
    cameraPosition = start + Vec3(0.0f, kCameraStartBehind, kCameraStartAbove);

    if (gameState == GameState::Playing && !levelDone) {
        beginRunRecording();
        prepareGhost(levelNames[levelNumber - 1]);
    }
    // Last: the level's first frame is not charged for the preparations.
    frameClock = platform->counter();
}
