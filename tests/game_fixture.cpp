#include "game_fixture.h"

#include "shell/lifecycle.h"

#include "shell/event_loop.h"
#include "shell/shell_globals.h"

void GameTest::startFresh(Edition which)
{
    scripted = ScriptedPlatform();
    platform = &scripted;
    recorder = RecordingRenderer();
    renderer = &recorder;
    edition = which;
    resetEveryLayer();
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
