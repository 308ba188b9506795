#include "platform/sdl/sdl_x11.h"

#include <SDL_syswm.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace {

bool x11Window(SDL_Window* window, Display*& display, Window& xwindow)
{
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!window || !SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11)
        return false;
    display = info.info.x11.display;
    xwindow = info.info.x11.window;
    return display != nullptr;
}

} // namespace

// A window manager of today announces itself on the root window
// (_NET_SUPPORTING_WM_CHECK); one that does not, cannot make a window full screen.
bool withoutWindowManager(SDL_Window* window)
{
    Display* display = nullptr;
    Window xwindow = 0;
    if (!x11Window(window, display, xwindow))
        return false;
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, xwindow, &attributes))
        return false;
    Atom check = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", True);
    if (check == None)
        return true;
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* value = nullptr;
    int status = XGetWindowProperty(display, attributes.root, check, 0, 1, False, XA_WINDOW, &type, &format, &count,
                                    &after, &value);
    bool announced = status == Success && type == XA_WINDOW && count == 1;
    if (value)
        XFree(value);
    return !announced;
}

void placeWindowOverRect(SDL_Window* window, const SDL_Rect& rect)
{
    Display* display = nullptr;
    Window xwindow = 0;
    if (!x11Window(window, display, xwindow))
        return;
    XMoveResizeWindow(display, xwindow, rect.x, rect.y, unsigned(rect.w), unsigned(rect.h));
    XRaiseWindow(display, xwindow);
    XFlush(display);
}
