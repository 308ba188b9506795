#pragma once

#include "platform/frame_window.h"
#include "platform/gl_window.h"
#include "platform/platform.h"
#include "platform/present_pacer.h"
#include "platform/screen_size.h"
#include "platform/sdl/sdl_audio.h"
#include "platform/sdl/sdl_gamepad.h"

#include <SDL.h>

#include <cstdint>
#include <cstdio>
#include <deque>
#include <functional>
#include <vector>

// The Platform of the real programs: an SDL2 window, SDL's event queue and
// timer, SDL_mixer sound and SDL's joystick. The window may be resized,
// maximised or made full-screen (F11 or Alt+Enter, kept from the game); the
// game's 640 x 480 picture is scaled into it with its shape kept.
class SdlPlatform : public Platform, public GlWindow, public FrameWindow {
public:
    SdlPlatform();
    ~SdlPlatform() override;

    // False when SDL's video cannot start at all.
    bool init();

    bool createWindow(WindowStyle style) override;
    PixelFormatFailure pixelFormatFailure(std::string& systemText) override;
    // Whether the window has its OpenGL context (orbivale-gl).
    bool hasGlContext() const { return glContext_ != nullptr; }
    void minimizeWindow() override;

    bool takeEvent(Event& event) override;
    void waitForEvent(double seconds) override;
    void postEvent(const Event& event) override;

    int64_t counter() override;
    int64_t counterFrequency() override;
    void startStatisticsTimer() override;

    void messageBox(const std::string& text, const std::string& caption) override;
    void beep() override;
    bool keyHeld(int keyCode) override;

    void playSound(const std::string& file) override;
    int startMusic(const std::string& file) override;
    void stopMusic() override;

    bool padStick(int16_t& x, int16_t& y) override;
    // orbivale-gl plays with a game controller as well as the keys.
    void enableGamepad() { gamepadOn_ = gamepad_.start(); }

    bool joystickPosition(JoystickPosition& position) override;
    bool joystickCaps(JoystickCaps& caps) override;

    SDL_Window* window() const { return window_; }

    // Runs at the end of a successful createWindow, with the window (and for
    // orbivale-gl its OpenGL context) in place; false makes createWindow fail.
    void setWindowCreatedHook(std::function<bool()> hook) { windowCreatedHook_ = std::move(hook); }

    // GlWindow, for the OpenGL back end.
    void swapGlBuffers() override;
    void glDrawableSize(int& width, int& height) override;
    int glPixelScale() override;
    void* glProcAddress(const char* name) override;
    double secondsToNextRefresh() override;

    // FrameWindow, for orbivale-glide: one 640 x 480 frame of 0x00RRGGBB
    // pixels, row 0 at the top, scaled into the window with black bars where
    // the shape differs.
    bool hasFrameSurface() override;
    void presentSoftwareFrame(const uint32_t* pixels) override;

    // Switches between the window and the desktop-sized full screen.
    void toggleFullscreen();
    // The window opens in full screen (--fullscreen).
    void setStartFullscreen(bool fullscreen) { startFullscreen_ = fullscreen; }
    // The window's icon: side x side RGBA bytes, top row first, kept by the caller.
    void setWindowIcon(const unsigned char* rgba, int side) { icon_ = rgba, iconSide_ = side; }

private:
    void pumpSdlEvents();
    void startGlPacing();
    void openFramePresenter();
    void presentThroughRenderer(const uint32_t* pixels);
    void showSoftwareFrame(const uint32_t* pixels);
    void showLastSoftwareFrame();
    void logPresent();
    double seconds() const;
    void translate(const SDL_Event& sdlEvent);
    bool isFullscreenToggle(const SDL_KeyboardEvent& key) const;

    std::deque<Event> queue_;
    SDL_Window* window_ = nullptr;
    SDL_GLContext glContext_ = nullptr;
    SDL_Rect windowedRect_{SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, kScreenWidth,
                           kScreenHeight}; // before full screen
    PixelFormatFailure pixelFormatFailure_ = PixelFormatFailure::None;
    std::string pixelFormatText_;
    SDL_TimerID statisticsTimer_ = 0;
    SDL_Joystick* joystick_ = nullptr;
    Uint32 userEventBase_ = 0; // +0 timer, +1 music end
    bool closeDelivered_ = false;
    bool videoStarted_ = false;
    bool startFullscreen_ = false;
    const unsigned char* icon_ = nullptr;
    int iconSide_ = 0;
    PresentPacer pacer_;
    // The last software frame, shown again when the window is uncovered,
    // restored or resized: the game repaints only what changed. Not a copy:
    // the card keeps its front buffer until the next frame or its shutdown.
    const uint32_t* lastFrame_ = nullptr;
    SDL_Renderer* frameRenderer_ = nullptr; // software frames without a window surface
    SDL_Texture* frameTexture_ = nullptr;
    std::FILE* frameLog_ = nullptr; // ORBIVALE_FRAME_LOG: one line per present
    double lastPresent_ = -1.0;
    SdlAudio audio_;
    SdlGamepad gamepad_;
    bool gamepadOn_ = false;
    std::vector<int> padKeys_;
    std::function<bool()> windowCreatedHook_;
};
