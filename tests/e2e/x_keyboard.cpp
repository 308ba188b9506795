#include "e2e/x_keyboard.h"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

namespace {
Display* display = nullptr;
}

bool openXKeyboard()
{
    display = XOpenDisplay(nullptr);
    return display != nullptr;
}

void closeXKeyboard()
{
    if (display)
        XCloseDisplay(display);
    display = nullptr;
}

void sendXKey(unsigned long keysym, bool down)
{
    if (!display)
        return;
    XTestFakeKeyEvent(display, XKeysymToKeycode(display, keysym), down, CurrentTime);
    XFlush(display);
}
