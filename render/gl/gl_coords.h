#pragma once

// Hand-over of the game's coordinates to OpenGL's normalised device units,
// with identity matrices and the 640 x 480 viewport.

// Projected space: origin bottom-left, y up.
inline float projectedToDeviceX(float x) { return x / 320.0f - 1.0f; }
inline float projectedToDeviceY(float y) { return y / 240.0f - 1.0f; }

// Overlay space: origin top-left, y down.
inline float overlayToDeviceX(float x) { return x / 320.0f - 1.0f; }
inline float overlayToDeviceY(float y) { return 1.0f - y / 240.0f; }
