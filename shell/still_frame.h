#pragma once

// orbivale-gl's still screens (title, best times, name entry, with or without
// the menu) present nothing when the frame would show the picture already on
// screen, as orbivale-glide's do: no upload, no redraw, no swap.

// Draws a frame of a screen that holds the game; false when nothing was
// presented because the picture on screen is the same.
bool drawStillFrame();

// The picture on screen is not a still frame's any more (a running frame or a
// paint drew over it), or is gone: the next still frame is drawn in full.
void forgetStillFrame();
