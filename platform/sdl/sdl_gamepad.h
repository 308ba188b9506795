#pragma once

#include <SDL.h>

#include <cstdint>
#include <vector>

// orbivale-gl's game controller, through SDL's game controller API. The first
// controller plugged in (before the start or later) plays; when it is pulled
// out the next one present takes over. The d-pad and the left stick steer,
// the south button boosts and chooses in menus, Start opens and closes the
// menu: the same actions as the keys.
class SdlGamepad {
public:
    ~SdlGamepad();
    // Starts SDL's controller support; the controllers present arrive as events.
    bool start();
    // Lets go of the controller and SDL's controller support (before SDL_Quit).
    void stop();

    // Takes a controller event; the game keys it stands for are appended to keys.
    // False for events that are not the controllers'.
    bool handle(const SDL_Event& e, std::vector<int>& keys);

    // Whether the controller holds the game key down: an arrow from the
    // d-pad, Shift from the south button.
    bool held(int keyCode) const;
    // The left stick; false without a controller.
    bool stick(int16_t& x, int16_t& y) const;

private:
    void openFirstPresent();

    bool started_ = false;
    SDL_GameController* pad_ = nullptr;
    SDL_JoystickID id_ = -1;
};
