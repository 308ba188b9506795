#include "platform/sdl/sdl_keys.h"

#include "platform/platform.h"

namespace {

// Alt and F10 are the system's keys, as is any key pressed while Alt alone
// is held (Alt+Tab, Alt+letter): they never reach the game.
bool isSystemKey(const SDL_Keysym& key)
{
    if (key.sym == SDLK_LALT || key.sym == SDLK_RALT || key.sym == SDLK_F10)
        return true;
    return (key.mod & KMOD_ALT) && !(key.mod & KMOD_CTRL);
}

// Keys named by what they do, wherever the layout puts them.
int codeOfNamedKey(SDL_Keycode key)
{
    if (key >= SDLK_F1 && key <= SDLK_F12)
        return kKeyF1 + (key - SDLK_F1);
    if (key >= SDLK_F13 && key <= SDLK_F24)
        return 124 + (key - SDLK_F13);
    if (key >= SDLK_KP_1 && key <= SDLK_KP_9)
        return 97 + (key - SDLK_KP_1); // numeric pad digits keep their own codes
    switch (key) {
    case SDLK_RETURN:
    case SDLK_RETURN2:
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
    case SDLK_CLEAR:
    case SDLK_KP_CLEAR:
        return 12;
    case SDLK_LCTRL:
    case SDLK_RCTRL:
    case SDLK_MODE: // AltGr: the system reports its Ctrl
        return 17;
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
    case SDLK_SELECT:
        return 41;
    case SDLK_EXECUTE:
        return 43;
    case SDLK_PRINTSCREEN:
        return 44;
    case SDLK_INSERT:
        return 45;
    case SDLK_DELETE:
        return 46;
    case SDLK_HELP:
        return 47;
    case SDLK_LGUI:
        return 91;
    case SDLK_RGUI:
        return 92;
    case SDLK_APPLICATION:
    case SDLK_MENU:
        return 93;
    case SDLK_SLEEP:
        return 95;
    case SDLK_KP_0:
        return 96;
    case SDLK_KP_MULTIPLY:
        return 106;
    case SDLK_KP_PLUS:
        return 107;
    case SDLK_KP_COMMA:
        return 108;
    case SDLK_KP_MINUS:
        return 109;
    case SDLK_KP_PERIOD:
    case SDLK_KP_DECIMAL:
        return 110;
    case SDLK_KP_DIVIDE:
        return 111;
    case SDLK_NUMLOCKCLEAR:
        return 144;
    case SDLK_SCROLLLOCK:
        return 145;
    case SDLK_AC_BACK:
        return 166;
    case SDLK_AC_FORWARD:
        return 167;
    case SDLK_AC_REFRESH:
        return 168;
    case SDLK_AC_STOP:
        return 169;
    case SDLK_AC_SEARCH:
        return 170;
    case SDLK_AC_BOOKMARKS:
        return 171;
    case SDLK_AC_HOME:
        return 172;
    case SDLK_AUDIOMUTE:
        return 173;
    case SDLK_VOLUMEDOWN:
        return 174;
    case SDLK_VOLUMEUP:
        return 175;
    case SDLK_AUDIONEXT:
        return 176;
    case SDLK_AUDIOPREV:
        return 177;
    case SDLK_AUDIOSTOP:
        return 178;
    case SDLK_AUDIOPLAY:
        return 179;
    case SDLK_MAIL:
        return 180;
    case SDLK_MEDIASELECT:
        return 181;
    case SDLK_COMPUTER:
        return 182;
    case SDLK_CALCULATOR:
        return 183;
    default:
        return 0;
    }
}

// Letters, digits and punctuation by their place on the keyboard, with the
// codes of the classic layout, so that a key whose character has no code of
// its own (an umlaut, a Cyrillic letter) still arrives.
int codeOfPlace(SDL_Scancode place)
{
    if (place >= SDL_SCANCODE_A && place <= SDL_SCANCODE_Z)
        return kKeyA + (place - SDL_SCANCODE_A);
    if (place >= SDL_SCANCODE_1 && place <= SDL_SCANCODE_9)
        return kKeyDigit0 + 1 + (place - SDL_SCANCODE_1);
    switch (place) {
    case SDL_SCANCODE_0:
        return kKeyDigit0;
    case SDL_SCANCODE_SEMICOLON:
        return 186;
    case SDL_SCANCODE_EQUALS:
        return 187;
    case SDL_SCANCODE_COMMA:
        return 188;
    case SDL_SCANCODE_MINUS:
        return 189;
    case SDL_SCANCODE_PERIOD:
        return 190;
    case SDL_SCANCODE_SLASH:
        return 191;
    case SDL_SCANCODE_GRAVE:
        return 192;
    case SDL_SCANCODE_LEFTBRACKET:
        return 219;
    case SDL_SCANCODE_BACKSLASH:
    case SDL_SCANCODE_NONUSHASH:
        return 220;
    case SDL_SCANCODE_RIGHTBRACKET:
        return 221;
    case SDL_SCANCODE_APOSTROPHE:
        return 222;
    case SDL_SCANCODE_NONUSBACKSLASH:
        return 226;
    default:
        return 0;
    }
}

} // namespace

int gameKeyCode(const SDL_Keysym& key)
{
    if (isSystemKey(key))
        return 0;
    // Letters and digits follow the layout (an AZERTY A is the game's A).
    if (key.sym >= SDLK_a && key.sym <= SDLK_z)
        return kKeyA + (key.sym - SDLK_a);
    if (key.sym >= SDLK_0 && key.sym <= SDLK_9)
        return kKeyDigit0 + (key.sym - SDLK_0);
    if (int code = codeOfNamedKey(key.sym))
        return code;
    return codeOfPlace(key.scancode);
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
