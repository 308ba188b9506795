#pragma once

// A rectangle of window pixels, origin at the bottom-left as OpenGL counts
// (the letterbox is centred, so it is the same rectangle from the top-left).
struct WindowRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// Where the game's 640 x 480 picture goes in a window of the given size:
// as large as fits with its 4:3 shape kept, centred; the rest stays black.
WindowRect letterbox(int windowWidth, int windowHeight);
