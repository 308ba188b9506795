#include "shell/event_loop.h"

#include "game/game_state.h"
#include "game/sound.h"
#include "shell/frame_step.h"
#include "shell/keys.h"
#include "shell/level_flow.h"
#include "shell/lifecycle.h"

bool runLoopTurn(int& exitCode)
{
    Event event;
    if (!platform->takeEvent(event)) {
        platform->postEvent(Event{kEventFrame, 0});
        return true;
    }
    if (event.type == kEventQuit) {
        exitCode = static_cast<int>(event.param);
        return false;
    }
    handleEvent(event);
    return true;
}

int runEventLoop()
{
    int exitCode = 0;
    while (runLoopTurn(exitCode)) {
    }
    return exitCode;
}

static void onStatisticsTick()
{
    framesPerSecond = frameCount;
    polygonsPerSecond = polygonCount;
    frameCount = 0;
    polygonCount = 0;
}

void handleEvent(const Event& event)
{
    switch (event.type) {
    case kEventCreate:
        onCreate();
        break;
    case kEventDestroy:
        onDestroy();
        break;
    case kEventClose:
        onClose();
        break;
    case kEventSetFocus:
        onSetFocus();
        break;
    case kEventKillFocus:
        onKillFocus();
        break;
    case kEventPaint:
        onPaint();
        break;
    case kEventKeyDown:
        handleKeyDown(static_cast<int>(event.param));
        break;
    case kEventTimer:
        onStatisticsTick();
        break;
    case kEventMusicNotify:
        onMusicNotify();
        break;
    case kEventFrame:
        runFrame();
        break;
    case kEventLevel:
        startLevel();
        break;
    default:
        break;
    }
}
