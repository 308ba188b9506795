#pragma once

#include "platform/platform.h"

#include <deque>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

// A Platform driven by the test: a clock the test advances, keys it presses or
// holds, and every message box, sound and music call kept in order.
class ScriptedPlatform : public Platform {
public:
    static constexpr int64_t kFrequency = 1000000;

    bool createWindow(WindowStyle style) override
    {
        windowStyle = style;
        return windowCreates;
    }
    PixelFormatFailure pixelFormatFailure(std::string& systemText) override
    {
        systemText = pixelFormatText;
        return pixelFormat;
    }
    void minimizeWindow() override { ++minimizeCount; }

    bool takeEvent(Event& event) override
    {
        if (queue.empty())
            return false;
        event = queue.front();
        queue.pop_front();
        return true;
    }
    // Kept, not slept: the test moves the clock itself.
    void waitForEvent(double seconds) override { waits.push_back(seconds); }
    void postEvent(const Event& event) override
    {
        queue.push_back(event);
        posted.push_back(event);
    }

    int64_t counter() override
    {
        if (onCounterRead)
            onCounterRead();
        return now;
    }
    int64_t counterFrequency() override { return kFrequency; }
    void startStatisticsTimer() override { ++timerStarts; }

    void messageBox(const std::string& text, const std::string& caption) override
    {
        messages.push_back(caption + ": " + text);
    }
    void beep() override { ++beeps; }
    bool keyHeld(int keyCode) override { return heldKeys.count(keyCode) != 0; }

    void playSound(const std::string& file) override { sounds.push_back(file); }
    int startMusic(const std::string& file) override
    {
        music.push_back("start " + file);
        return 0;
    }
    void stopMusic() override { music.push_back("stop"); }

    bool padStick(int16_t& x, int16_t& y) override
    {
        if (!pad)
            return false;
        x = pad->first;
        y = pad->second;
        return true;
    }

    bool joystickPosition(JoystickPosition& position) override
    {
        if (!joystick)
            return false;
        position = *joystick;
        return true;
    }
    bool joystickCaps(JoystickCaps& caps) override
    {
        if (!joystick)
            return false;
        caps = JoystickCaps();
        return true;
    }

    // Test controls.
    void advance(double seconds) { now += static_cast<int64_t>(seconds * kFrequency); }
    std::optional<std::pair<int16_t, int16_t>> pad; // orbivale-gl's controller stick
    void pressKey(int keyCode) { queue.push_back(Event{kEventKeyDown, keyCode}); }
    int countPosted(int type) const
    {
        int n = 0;
        for (const Event& e : posted)
            n += e.type == type;
        return n;
    }

    std::deque<Event> queue;
    std::vector<Event> posted;
    int64_t now = 0;
    std::function<void()> onCounterRead;
    std::set<int> heldKeys;
    std::vector<std::string> messages;
    std::vector<std::string> sounds;
    std::vector<std::string> music;
    std::vector<double> waits;
    std::optional<JoystickPosition> joystick;
    std::optional<WindowStyle> windowStyle;
    bool windowCreates = true;
    PixelFormatFailure pixelFormat = PixelFormatFailure::None;
    std::string pixelFormatText;
    int minimizeCount = 0;
    int timerStarts = 0;
    int beeps = 0;
};
