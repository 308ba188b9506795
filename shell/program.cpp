#include "shell/program.h"

#include "game/edition_rules.h"
#include "platform/platform.h"
#include "shell/event_loop.h"
#include "shell/lifecycle.h"
#include "shell/practice.h"
#include "shell/replay_playback.h"

int runProgram()
{
    WindowStyle style = rules().windowStyle;
    // Every failure to start ends with status 1, for launchers and scripts.
    if (!platform->createWindow(style))
        return 1;
    // orbivale-gl loads its data inside the create event; orbivale-glide once
    // its window is shown. A failed start-up still runs the loop to its quit.
    handleEvent(Event{kEventCreate, 0});
    if (rules().startsUpOnceWindowShown && !startUp()) {
        platform->messageBox("initialization failed", "Error");
        platform->requestQuit(1);
    }
    if (startedUp && !replayToPlay.empty())
        startReplayPlayback(replayToPlay);
    else if (startedUp)
        startPlayAsAsked();
    return runEventLoop();
}
