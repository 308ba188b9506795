#pragma once

// Key presses through the X server's test extension, as a keyboard makes
// them: they reach whichever window has the input focus. Kept apart from the
// game's headers, whose key names Xlib's would clash with.

bool openXKeyboard();
void closeXKeyboard();
// keysym as in X11/keysym.h; sent at once.
void sendXKey(unsigned long keysym, bool down);
