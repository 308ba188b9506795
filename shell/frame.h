#pragma once

// Draws and presents the frame of the current game state. False when nothing
// new was presented (orbivale-glide's unchanged picture screens).
bool drawFrame();

// A black quad over the whole screen at the given opacity (0 to 1).
void darkenScreen(float opacity);

// Forgets what orbivale-glide last drew (tests start from a fresh program).
void resetFrameState();
