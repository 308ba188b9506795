// The browser edition's stand-in for the X11 helpers: a page has no window
// manager to work around, and the canvas goes full screen through SDL.
#include "platform/sdl/sdl_x11.h"

bool withoutWindowManager(SDL_Window*) { return false; }

void placeWindowOverRect(SDL_Window*, const SDL_Rect&) {}
