#include "shell/run_frame.h"

#include "game/edition_rules.h"
#include "game/game_state.h"
#include "game/joystick_menu.h"
#include "game/sound.h"
#include "levels/level_list.h"
#include "platform/platform.h"
#include "render/renderer.h"
#include "shell/draw_frame.h"
#include "shell/ghost.h"
#include "shell/practice.h"
#include "shell/replay_playback.h"
#include "shell/replay_record.h"
#include "shell/still_frame.h"
#include "sim/camera.h"
#include "sim/marble_control.h"

namespace {

void measureFrameTime()
{
    int64_t now = platform->counter();
    frameTime = static_cast<float>(static_cast<double>(now - frameClock) /
                                   static_cast<double>(platform->counterFrequency()));
    frameClock = now;
    if (frameTime > rules().maxFrameTime)
        frameTime = rules().maxFrameTime;
}

void checkLevelEnd()
{
    if (!(timeLeft < endThreshold))
        return;
    if (practising()) {
        restartPractice(); // goal or time-out: the level again, never ranked
        return;
    }
    if (endThreshold == kTimeOutThreshold) {
        if (rules().timedOutGameRanked) {
            // The next level start sees the last level passed and ends the game.
            levelNumber = levelCount;
            platform->postEvent(Event{kEventLevel, 0});
        } else {
            gameState = GameState::ScoreTable;
        }
    } else {
        platform->postEvent(Event{kEventLevel, 0});
    }
}

void playCountdownSounds()
{
    if (timeLeft >= kRaceLength) {
        goSoundPlayed = false;
        timeUpSoundPlayed = false;
    }
    bool timeIsUp = rules().timeUpAtZero ? timeLeft <= 0.0f : timeLeft < 0.0f;
    if (timeIsUp && endThreshold == kTimeOutThreshold && !timeUpSoundPlayed) {
        timeUpSoundPlayed = true;
        playSound("sounds/timeup.wav");
    }
    if (timeLeft <= kRaceLength && !goSoundPlayed) {
        playSound("sounds/go.wav");
        goSoundPlayed = true;
    }
}

} // namespace

MarbleReport moveMarble()
{
    MarbleReport report = updateMarble();
    if (report.reachedGoal) {
        playSound("sounds/allright.wav");
        if (levelNumber >= 1 && levelNumber <= levelCount)
            levelTimes[levelNumber - 1] = kRaceLength - timeLeft;
    }
    return report;
}

void runFrame()
{
    if (gameState != GameState::Playing)
        endRunRecording();
    if (rules().pollsJoystickMenu && joystickPresent)
        pollJoystickMenu();

    measureFrameTime();

    bool watching = replayPlaying();
    bool holding = watching && !paused && !clockStopped && !takeReplayFrame();
    if (paused || clockStopped || holding) {
        // A still screen sleeps until the display's next picture or the next
        // event, whichever comes first, instead of spinning.
        if (!drawStillFrame())
            platform->waitForEvent(renderer->secondsToNextRefresh());
        return;
    }
    forgetStillFrame();

    if (!watching)
        noteFrameStart();
    timeLeft -= frameTime;
    penaltyTimer -= frameTime;

    moveMarble();
    advanceGhost();
    updateCamera();
    composeFrame();

    // A watched run ends where its recording does, never in another level.
    if (!watching)
        checkLevelEnd();
    playCountdownSounds();
    if (watching)
        endReplayFrame();
    else
        noteFrameEnd();
}
