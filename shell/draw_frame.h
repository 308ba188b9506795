#pragma once

// The screen's part of a frame, in its order: the game held on the picture
// and name-entry screens, a typed letter taken, the level banner started;
// then the drawing; then the banner shrunk and the "-5" flown on. False when
// nothing new was presented (an unchanged picture screen left as it was).
bool composeFrame();

// A black quad over the whole screen at the given opacity (0 to 1).
void darkenScreen(float opacity);

// Forgets what orbivale-glide last drew (tests start from a fresh program).
void resetFrameState();
