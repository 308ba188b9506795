#include "platform/sdl/sdl_keys.h"

#include "platform/platform.h"

int gameKeyCode(SDL_Keycode key)
{
    if (key >= SDLK_a && key <= SDLK_z)
        return kKeyA + (key - SDLK_a);
    if (key >= SDLK_0 && key <= SDLK_9)
        return kKeyDigit0 + (key - SDLK_0);
    if (key >= SDLK_F1 && key <= SDLK_F12)
        return kKeyF1 + (key - SDLK_F1);
    if (key >= SDLK_KP_1 && key <= SDLK_KP_9)
        return 97 + (key - SDLK_KP_1); // numeric pad digits keep their own codes
    switch (key) {
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
        return kKeyEnter;
    case SDLK_ESCAPE:
        return kKeyEscape;
    case SDLK_SPACE:
        return kKeySpace;
    case SDLK_LEFT:
        return kKeyLeft;
    case SDLK_UP:
        return kKeyUp;
    case SDLK_RIGHT:
        return kKeyRight;
    case SDLK_DOWN:
        return kKeyDown;
    case SDLK_LSHIFT:
    case SDLK_RSHIFT:
        return kKeyShift;
    case SDLK_BACKSPACE:
        return 8;
    case SDLK_TAB:
        return 9;
    case SDLK_LCTRL:
    case SDLK_RCTRL:
        return 17;
    case SDLK_LALT:
    case SDLK_RALT:
        return 18;
    case SDLK_PAUSE:
        return 19;
    case SDLK_CAPSLOCK:
        return 20;
    case SDLK_PAGEUP:
        return 33;
    case SDLK_PAGEDOWN:
        return 34;
    case SDLK_END:
        return 35;
    case SDLK_HOME:
        return 36;
    case SDLK_INSERT:
        return 45;
    case SDLK_DELETE:
        return 46;
    case SDLK_KP_0:
        return 96;
    // Punctuation keeps the codes of the classic keyboard layout, so that the
    // name entry refuses it the same way.
    case SDLK_SEMICOLON:
        return 186;
    case SDLK_EQUALS:
        return 187;
    case SDLK_COMMA:
        return 188;
    case SDLK_MINUS:
        return 189;
    case SDLK_PERIOD:
        return 190;
    case SDLK_SLASH:
        return 191;
    case SDLK_BACKQUOTE:
        return 192;
    case SDLK_LEFTBRACKET:
        return 219;
    case SDLK_BACKSLASH:
        return 220;
    case SDLK_RIGHTBRACKET:
        return 221;
    case SDLK_QUOTE:
        return 222;
    default:
        return 0;
    }
}

SDL_Scancode scancodeForGameKey(int keyCode)
{
    switch (keyCode) {
    case kKeyLeft:
        return SDL_SCANCODE_LEFT;
    case kKeyUp:
        return SDL_SCANCODE_UP;
    case kKeyRight:
        return SDL_SCANCODE_RIGHT;
    case kKeyDown:
        return SDL_SCANCODE_DOWN;
    case kKeyShift:
        return SDL_SCANCODE_LSHIFT;
    default:
        return SDL_SCANCODE_UNKNOWN;
    }
}
