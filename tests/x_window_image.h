#pragma once

#include <SDL.h>

#include <cstdint>
#include <vector>

// What the X server shows in the window: RGB bytes, rows from the bottom
// (OpenGL's order). Empty when the window is not an X11 window or the server
// cannot give the image (a window reaching past the screen).
std::vector<uint8_t> xWindowImage(SDL_Window* window, int width, int height);
