#pragma once

#include "platform/platform.h"

#include <cstdio>
#include <set>

// The platform of a command-line tool: every message box is a line
// "caption: text" on standard output; there is no window, clock or sound,
// and the held keys are whatever the tool holds.
class ConsolePlatform : public Platform {
public:
    bool createWindow(WindowStyle) override { return false; }
    void minimizeWindow() override {}
    bool takeEvent(Event&) override { return false; }
    void waitForEvent(double) override {}
    void postEvent(const Event&) override {}
    int64_t counter() override { return 0; }
    int64_t counterFrequency() override { return 1; }
    void startStatisticsTimer() override {}
    void messageBox(const std::string& text, const std::string& caption) override
    {
        std::printf("%s: %s\n", caption.c_str(), text.c_str());
        ++messagesShown;
    }
    void beep() override {}
    bool keyHeld(int key) override { return heldKeys.count(key) != 0; }
    void playSound(const std::string&) override {}
    int startMusic(const std::string&) override { return -1; }
    void stopMusic() override {}
    bool joystickPosition(JoystickPosition&) override { return false; }
    bool joystickCaps(JoystickCaps&) override { return false; }

    int messagesShown = 0;
    std::set<int> heldKeys;
};
