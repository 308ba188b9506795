#include "shell/event_loop.h"

#include "game/game_state.h"
#include "game/sound.h"
#include "shell/keys.h"
#include "shell/level_flow.h"
#include "shell/lifecycle.h"
#include "shell/run_frame.h"

#ifdef __EMSCRIPTEN__
#include <emscripten.h>
#endif

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

#ifdef __EMSCRIPTEN__
namespace {

// One animation frame of the browser: every pending event, then one game
// frame, as the loop below would take them; the browser's frame callback is
// the pacing, so nothing here waits.
void browserFrame()
{
    for (int turn = 0; turn < 4096; ++turn) {
        Event event;
        if (!platform->takeEvent(event))
            event = Event{kEventFrame, 0};
        if (event.type == kEventQuit) {
            emscripten_cancel_main_loop();
            EM_ASM(
                {
                    if (Module.onGameEnd)
                        Module.onGameEnd($0);
                },
                static_cast<int>(event.param));
            return;
        }
        handleEvent(event);
        if (event.type == kEventFrame)
            return;
    }
}

} // namespace

// The page's animation frames run the loop; this never returns.
int runEventLoop()
{
    emscripten_set_main_loop(browserFrame, 0, 1);
    return 0;
}
#else
int runEventLoop()
{
    int exitCode = 0;
    while (runLoopTurn(exitCode)) {
    }
    return exitCode;
}
#endif

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
