#include "game_fixture.h"

#include "shell/lifecycle.h"

#include "game/game_state.h"
#include "game/joystick_menu.h"
#include "game/options.h"
#include "game/sound.h"
#include "levels/level_list.h"
#include "records/best_times.h"
#include "shell/event_loop.h"
#include "shell/frame.h"
#include "shell/ghost.h"
#include "shell/level_flow.h"
#include "shell/practice.h"
#include "screens/cues.h"
#include "shell/replay_playback.h"
#include "shell/replay_record.h"
#include "shell/settings.h"
#include "sim/camera.h"
#include "sim/marble_control.h"
#include "sim/view_transform.h"

void GameTest::startFresh(Edition which)
{
    scripted = ScriptedPlatform();
    platform = &scripted;
    recorder = RecordingRenderer();
    renderer = &recorder;
    edition = which;
    resetGameState();
    resetSoundState();
    resetJoystickMenuState();
    resetOptions();
    resetMarbleControlState();
    resetRunRecording();
    stopReplayPlayback();
    resetSettings();
    forgetGhost();
    endPractice();
    practiceLevelToPlay = 0;
    ghostToRace.clear();
    resetCues();
    resetCameraState();
    levelCount = 0;
    levelNames.clear();
    levelTimes.clear();
    bestTimes = BestTimes();
    newEntryRow = -1;
    nameCursor = 0;
    screenDirty = true;
    startedUp = false;
    resetFrameState();
    cameraView = ViewTransform();
    exitCode = -1;
}

bool GameTest::turn() { return runLoopTurn(exitCode); }

bool GameTest::runFrame()
{
    // Drain what is pending, then the turn that posts a frame, then the frame.
    for (int guard = 0; guard < 1000; ++guard) {
        bool wasEmpty = scripted.queue.empty();
        if (!turn())
            return false;
        if (wasEmpty)
            return turn();
    }
    ADD_FAILURE() << "the queue never ran empty";
    return false;
}

void GameTest::runFrames(int n, double dt)
{
    for (int i = 0; i < n; ++i) {
        scripted.advance(dt);
        if (!runFrame())
            return;
    }
}
