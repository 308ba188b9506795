#pragma once

#include <SDL.h>

// The game's key code for an SDL key, 0 for keys the game has no code for.
int gameKeyCode(SDL_Keycode key);

// The SDL scancode a held-key query of the game's code looks at.
SDL_Scancode scancodeForGameKey(int keyCode);
