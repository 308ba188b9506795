// SDL key records become the game's key codes.
#include "platform/sdl/sdl_keys.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <utility>

namespace {

TEST(SdlKeysTest, EveryOrdinaryKeyArrivesButTheSystemsKeysDoNot)
{
    auto code = [](SDL_Keycode sym, SDL_Scancode place = SDL_SCANCODE_UNKNOWN, Uint16 mod = KMOD_NONE) {
        SDL_Keysym key{};
        key.sym = sym;
        key.scancode = place;
        key.mod = mod;
        return gameKeyCode(key);
    };
    // The number pad, Print, the locks, the system and menu keys, F13 and up.
    const std::pair<SDL_Keycode, int> named[] = {{SDLK_KP_0, 96},         {SDLK_KP_9, 105},
                                                 {SDLK_KP_MULTIPLY, 106}, {SDLK_KP_PLUS, 107},
                                                 {SDLK_KP_MINUS, 109},    {SDLK_KP_PERIOD, 110},
                                                 {SDLK_KP_DIVIDE, 111},   {SDLK_KP_ENTER, 13},
                                                 {SDLK_PRINTSCREEN, 44},  {SDLK_NUMLOCKCLEAR, 144},
                                                 {SDLK_SCROLLLOCK, 145},  {SDLK_LGUI, 91},
                                                 {SDLK_RGUI, 92},         {SDLK_APPLICATION, 93},
                                                 {SDLK_F13, 124},         {SDLK_F12, 123}};
    for (auto [sym, expected] : named)
        EXPECT_EQ(code(sym), expected) << SDL_GetKeyName(sym);
    // Letters follow the layout; a character with no code of its own goes by its place.
    EXPECT_EQ(code(SDLK_a, SDL_SCANCODE_Q), 65);
    EXPECT_EQ(code(0xFC /* u umlaut */, SDL_SCANCODE_LEFTBRACKET), 219);
    EXPECT_EQ(code(0x0444 /* Cyrillic ef */, SDL_SCANCODE_A), 65);
    EXPECT_EQ(code(SDLK_LESS, SDL_SCANCODE_NONUSBACKSLASH), 226);
    // Ctrl+Alt (AltGr) is no system key; Alt alone, F10 and keys under Alt are.
    EXPECT_EQ(code(SDLK_q, SDL_SCANCODE_Q, KMOD_LCTRL | KMOD_RALT), 81);
    for (SDL_Keycode system : {SDLK_LALT, SDLK_RALT, SDLK_F10})
        EXPECT_EQ(code(system), 0) << system;
    EXPECT_EQ(code(SDLK_TAB, SDL_SCANCODE_TAB, KMOD_LALT), 0);
    EXPECT_EQ(code(SDLK_x, SDL_SCANCODE_X, KMOD_RALT), 0);
    EXPECT_EQ(code(SDLK_UNKNOWN), 0);
}

} // namespace
