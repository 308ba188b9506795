#pragma once

#include <cstdint>
#include <string>

// The game's own event numbers. The platform delivers its window events under
// these numbers, and the game posts the private ones to itself.
enum EventType : int {
    kEventCreate = 1,
    kEventDestroy = 2,
    kEventSetFocus = 7,
    kEventKillFocus = 8,
    kEventPaint = 15,
    kEventClose = 16,
    kEventQuit = 18,
    kEventKeyDown = 256,
    kEventTimer = 275,
    kEventMusicNotify = 953,
    kEventFrame = 1025,
    kEventLevel = 1026,
};

struct Event {
    int type = 0;
    int64_t param = 0; // key code for key downs, exit code for quit, timer id for timer
};

// The game's key vocabulary.
enum KeyCode : int {
    kKeyEnter = 13,
    kKeyShift = 16,
    kKeyEscape = 27,
    kKeySpace = 32,
    kKeyLeft = 37,
    kKeyUp = 38,
    kKeyRight = 39,
    kKeyDown = 40,
    kKeyDigit0 = 48, // to 57
    kKeyA = 65,      // to 90, capital codes whatever Shift says
    kKeyF1 = 112,    // to 123
    kKeyF2 = 113,
    kKeyF3 = 114,
    kKeyF4 = 115,
    kKeyF5 = 116,
    kKeyF6 = 117,
    kKeyF7 = 118,
    kKeyF11 = 122,
    kKeyF12 = 123,
};

// Joystick 0 as the classic joystick service reports it: axes from the
// minimum to the maximum of its capabilities, buttons as a bit mask.
struct JoystickPosition {
    uint32_t x = 0;
    uint32_t y = 0;
    uint32_t buttons = 0;
};

struct JoystickCaps {
    uint32_t xMin = 0, xMax = 65535;
    uint32_t yMin = 0, yMax = 65535;
};

// orbivale-gl: the step of setting up the window's OpenGL pixel format that
// failed; the platform maps its own failures to these.
enum class PixelFormatFailure {
    None,
    Choose,       // no pixel format (visual) with OpenGL for the window
    NeedsPalette, // the format found draws through a colour palette
    Set,          // the format could not be given to the window (no context)
};

enum class WindowStyle {
    BorderlessWithOpenGL, // orbivale-gl
    Ordinary,             // orbivale-glide: frames come from the software card
};

// Everything the game needs from the operating system. One global instance;
// the programs install the SDL one, tests a scripted one.
class Platform {
public:
    virtual ~Platform() = default;

    // Window of the given style, 640 x 480, titled "Orbivale".
    virtual bool createWindow(WindowStyle style) = 0;
    // After createWindow(BorderlessWithOpenGL): which pixel-format step
    // failed, with the system's text for it. The window exists either way.
    virtual PixelFormatFailure pixelFormatFailure(std::string& systemText)
    {
        systemText.clear();
        return PixelFormatFailure::None;
    }
    virtual void minimizeWindow() = 0;

    // Takes the next pending event off the queue; false when the queue is empty.
    virtual bool takeEvent(Event& event) = 0;
    // Sleeps until an event is pending or the time has passed; at once when
    // one is already pending. A frame with nothing new to show waits here.
    virtual void waitForEvent(double seconds) = 0;
    // Queues the event behind everything already pending.
    virtual void postEvent(const Event& event) = 0;
    // Makes the loop receive the quit event with this exit code.
    void requestQuit(int exitCode) { postEvent(Event{kEventQuit, exitCode}); }

    virtual int64_t counter() = 0;
    virtual int64_t counterFrequency() = 0;
    // kEventTimer every 1000 ms from now on.
    virtual void startStatisticsTimer() = 0;

    // Modal box with one OK button; also written to stderr as "Caption: text".
    virtual void messageBox(const std::string& text, const std::string& caption) = 0;
    virtual void beep() = 0;

    // Held state of arrows and Shift, for steering.
    virtual bool keyHeld(int keyCode) = 0;

    // One wave at a time: a new sound cuts off the one playing.
    virtual void playSound(const std::string& file) = 0;
    // 0 when the piece started; its end arrives as kEventMusicNotify.
    virtual int startMusic(const std::string& file) = 0;
    virtual void stopMusic() = 0;

    // orbivale-gl's game controller: its left stick, -32768 to 32767 each
    // way (y grows downwards). False without a controller.
    virtual bool padStick(int16_t& x, int16_t& y)
    {
        (void)x;
        (void)y;
        return false;
    }

    // False when no joystick 0 answers.
    virtual bool joystickPosition(JoystickPosition& position) = 0;
    virtual bool joystickCaps(JoystickCaps& caps) = 0;
};

extern Platform* platform;
