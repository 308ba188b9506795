#pragma once

#include "platform/platform.h"
#include "platform/sdl/sdl_audio.h"

#include <SDL.h>

#include <deque>

// The Platform of the real programs: an SDL2 window, SDL's event queue and
// timer, SDL_mixer sound and SDL's joystick.
class SdlPlatform : public Platform {
public:
    SdlPlatform();
    ~SdlPlatform() override;

    // False when SDL's video cannot start at all.
    bool init();

    bool createWindow(WindowStyle style) override;
    void minimizeWindow() override;

    bool takeEvent(Event& event) override;
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

    bool joystickPosition(JoystickPosition& position) override;
    bool joystickCaps(JoystickCaps& caps) override;

    SDL_Window* window() const { return window_; }

private:
    void pumpSdlEvents();
    void translate(const SDL_Event& sdlEvent);

    std::deque<Event> queue_;
    SDL_Window* window_ = nullptr;
    SDL_GLContext glContext_ = nullptr;
    SDL_TimerID statisticsTimer_ = 0;
    SDL_Joystick* joystick_ = nullptr;
    Uint32 userEventBase_ = 0; // +0 timer, +1 music end
    bool closeDelivered_ = false;
    bool videoStarted_ = false;
    SdlAudio audio_;
};
