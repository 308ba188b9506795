#pragma once

#include <SDL.h>

// What SDL does not do for a window on an X server that has no window
// manager: nobody there acts on a full-screen request, so the window is
// placed by hand.

// True only for an X11 window on a server where no window manager runs.
bool withoutWindowManager(SDL_Window* window);
// Moves and sizes the window itself, over the other windows.
void placeWindowOverRect(SDL_Window* window, const SDL_Rect& rect);
