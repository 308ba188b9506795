#include "shell/lifecycle.h"

#include "game/edition_rules.h"
#include "game/game_state.h"
#include "game/joystick_menu.h"
#include "game/options.h"
#include "game/sound.h"
#include "levels/level_list.h"
#include "platform/platform.h"
#include "records/best_times.h"
#include "render/font.h"
#include "render/renderer.h"
#include "shell/draw_frame.h"
#include "shell/replay_record.h"
#include "shell/settings.h"
#include "shell/still_frame.h"

namespace {

void detectJoystick()
{
    JoystickPosition position;
    if (!platform->joystickPosition(position))
        return;
    joystickPresent = true;
    joystickControl = true;
    if (!platform->joystickCaps(joystickLimits)) {
        joystickPresent = false;
        joystickControl = false;
    }
}

bool startUpGl()
{
    if (!loadLevelList()) {
        platform->messageBox("could not initialize map data", "Error");
        return false;
    }
    bestTimes.load();
    if (!font.load(rules().fontImage, rules().fontMetrics)) {
        platform->messageBox("could not initialize fonts", "Error");
        return false;
    }
    return true;
}

bool startUpGlide()
{
    detectJoystick();
    if (!loadLevelList()) {
        renderer->releaseDisplay();
        platform->messageBox("could not initialize map data", "Error");
        return false;
    }
    bestTimes.load(); // also brings back the options, the joystick choice included
    if (!renderer->startGraphics()) {
        platform->messageBox("A Voodoo graphics card was not found", "Error");
        return false;
    }
    if (!font.load(rules().fontImage, rules().fontMetrics)) {
        renderer->releaseDisplay();
        platform->messageBox("could not initialize fonts", "Error");
        return false;
    }
    return true;
}

// orbivale-gl: the pixel format's messages; false when it failed.
bool pixelFormatSet()
{
    std::string systemText;
    switch (platform->pixelFormatFailure(systemText)) {
    case PixelFormatFailure::None:
        return true;
    case PixelFormatFailure::Choose:
        platform->messageBox(systemText, "ChoosePixelFormat failed GetLastError");
        break;
    case PixelFormatFailure::NeedsPalette:
        platform->messageBox("Needs palette", "Error");
        break;
    case PixelFormatFailure::Set:
        platform->messageBox(systemText, "SetPixelFormat failed GetLastError");
        break;
    }
    return false;
}

} // namespace

bool startedUp = false;

bool startUp()
{
    startedUp = isGlide() ? startUpGlide() : startUpGl();
    if (startedUp)
        loadSettings();
    return startedUp;
}

void onCreate()
{
    // Without a pixel format the program is asked to end, but start-up still
    // runs; the quit event then ends the loop at its first turn.
    if (rules().checksPixelFormat && !pixelFormatSet())
        platform->requestQuit(1);
    if (!rules().startsUpOnceWindowShown && !startUp()) {
        platform->messageBox("initialization failed", "Error");
        platform->requestQuit(1);
    }
    platform->startStatisticsTimer();
}

void onDestroy()
{
    endRunRecording();
    clockStopped = true;
    if (musicPlaying)
        stopMusic();
    if (isGlide()) {
        renderer->releaseDisplay();
        renderer->shutdownGraphics();
    }
    windowActive = false;
    platform->requestQuit(0);
}

void onClose()
{
    // The window's close button, Alt+F4 and SIGTERM end the program as Quit
    // would have, so a new best game (or a changed option) is not lost.
    if (startedUp && bestTimes.hasUnsavedChanges())
        bestTimes.save();
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
    if (isGlide()) {
        renderer->suspendGraphics();
        platform->minimizeWindow();
    }
}

void onSetFocus()
{
    if (rules().focusRegainedHold > 0.0f)
        penaltyTimer = rules().focusRegainedHold; // holds the marble a while of level time
    if (!windowActive) {
        paused = false;
        windowActive = true;
        if (isGlide())
            renderer->resumeGraphics();
    }
}

void onPaint()
{
    if (rules().redrawsOnPaint) {
        forgetStillFrame(); // the window asks for its picture back
        composeFrame();
    }
}
