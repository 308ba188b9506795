#pragma once

#include <SDL.h>

// The game's key code (the classic virtual-key code) for an SDL key; 0 for
// the system's keys (Alt, F10, anything pressed with Alt alone), which the
// game never sees, and for keys that have no code.
int gameKeyCode(const SDL_Keysym& key);

// The SDL scancode a held-key query of the game's code looks at.
SDL_Scancode scancodeForGameKey(int keyCode);
