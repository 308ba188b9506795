#include "platform/sdl/sdl_gamepad.h"

#include "platform/platform.h"

namespace {

int keyForButton(Uint8 button)
{
    switch (button) {
    case SDL_CONTROLLER_BUTTON_A:
        return kKeyEnter;
    case SDL_CONTROLLER_BUTTON_START:
        return kKeyEscape;
    case SDL_CONTROLLER_BUTTON_DPAD_UP:
        return kKeyUp;
    case SDL_CONTROLLER_BUTTON_DPAD_DOWN:
        return kKeyDown;
    case SDL_CONTROLLER_BUTTON_DPAD_LEFT:
        return kKeyLeft;
    case SDL_CONTROLLER_BUTTON_DPAD_RIGHT:
        return kKeyRight;
    default:
        return 0;
    }
}

} // namespace

SdlGamepad::~SdlGamepad() { stop(); }

void SdlGamepad::stop()
{
    if (pad_)
        SDL_GameControllerClose(pad_);
    pad_ = nullptr;
    id_ = -1;
    if (started_)
        SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
    started_ = false;
}

bool SdlGamepad::start()
{
    if (!started_)
        started_ = SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) == 0;
    return started_;
}

void SdlGamepad::openFirstPresent()
{
    for (int i = 0; i < SDL_NumJoysticks() && !pad_; ++i) {
        if (!SDL_IsGameController(i))
            continue;
        pad_ = SDL_GameControllerOpen(i);
        if (pad_)
            id_ = SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(pad_));
    }
}

bool SdlGamepad::handle(const SDL_Event& e, std::vector<int>& keys)
{
    switch (e.type) {
    case SDL_CONTROLLERDEVICEADDED:
        if (!pad_)
            openFirstPresent();
        return true;
    case SDL_CONTROLLERDEVICEREMOVED:
        if (pad_ && e.cdevice.which == id_) {
            SDL_GameControllerClose(pad_);
            pad_ = nullptr;
            id_ = -1;
            openFirstPresent();
        }
        return true;
    case SDL_CONTROLLERBUTTONDOWN:
        if (pad_ && e.cbutton.which == id_)
            if (int key = keyForButton(e.cbutton.button))
                keys.push_back(key);
        return true;
    case SDL_CONTROLLERBUTTONUP:
    case SDL_CONTROLLERAXISMOTION:
    case SDL_CONTROLLERDEVICEREMAPPED:
        return true;
    default:
        return false;
    }
}

bool SdlGamepad::held(int keyCode) const
{
    if (!pad_)
        return false;
    SDL_GameControllerButton button;
    switch (keyCode) {
    case kKeyShift:
        button = SDL_CONTROLLER_BUTTON_A;
        break;
    case kKeyUp:
        button = SDL_CONTROLLER_BUTTON_DPAD_UP;
        break;
    case kKeyDown:
        button = SDL_CONTROLLER_BUTTON_DPAD_DOWN;
        break;
    case kKeyLeft:
        button = SDL_CONTROLLER_BUTTON_DPAD_LEFT;
        break;
    case kKeyRight:
        button = SDL_CONTROLLER_BUTTON_DPAD_RIGHT;
        break;
    default:
        return false;
    }
    return SDL_GameControllerGetButton(pad_, button) != 0;
}

bool SdlGamepad::stick(int16_t& x, int16_t& y) const
{
    if (!pad_)
        return false;
    x = SDL_GameControllerGetAxis(pad_, SDL_CONTROLLER_AXIS_LEFTX);
    y = SDL_GameControllerGetAxis(pad_, SDL_CONTROLLER_AXIS_LEFTY);
    return true;
}
