#include "shell/lifecycle.h"

#include "platform/platform.h"
#include "screens/frame.h"
#include "shell/edition.h"
#include "shell/shell_state.h"
#include "shell/sound.h"

// The data loaders come with their subsystems; until then there is nothing
// that could fail.
bool startUp() { return true; }

void onCreate()
{
    if (!isGlide() && !startUp()) {
        platform->messageBox("initialization failed", "Error");
        platform->requestQuit(0);
    }
    platform->startStatisticsTimer();
}

void onDestroy()
{
    clockStopped = true;
    if (musicPlaying)
        stopMusic();
    windowActive = false;
    platform->requestQuit(0);
}

void onClose()
{
    if (isGlide()) {
        // The platform's default for a close: the window goes, then destroy.
        platform->postEvent(Event{kEventDestroy, 0});
        return;
    }
    onDestroy();
}

void onKillFocus()
{
    windowActive = false;
    paused = true;
    if (isGlide())
        platform->minimizeWindow();
}

void onSetFocus()
{
    if (isGlide())
        penaltyTimer = 2.0f; // holds the marble for 2 s of level time
    if (!windowActive) {
        paused = false;
        windowActive = true;
    }
}

void onPaint()
{
    if (!isGlide())
        drawFrame();
}
