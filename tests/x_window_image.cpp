#include "x_window_image.h"

#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {

// An X error (BadMatch for a window that reaches past the screen) would end
// the whole test program; it only fails the one image.
bool xFailed = false;
int noteXError(Display*, XErrorEvent*)
{
    xFailed = true;
    return 0;
}

} // namespace

std::vector<uint8_t> xWindowImage(SDL_Window* window, int width, int height)
{
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11)
        return {};
    Display* display = info.info.x11.display;
    XSync(display, False);
    xFailed = false;
    XErrorHandler previous = XSetErrorHandler(noteXError);
    XImage* image = XGetImage(display, info.info.x11.window, 0, 0, unsigned(width), unsigned(height), AllPlanes,
                              ZPixmap);
    XSync(display, False);
    XSetErrorHandler(previous);
    if (!image || xFailed) {
        if (image)
            XDestroyImage(image);
        return {};
    }
    std::vector<uint8_t> out(size_t(width) * height * 3);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            unsigned long p = XGetPixel(image, x, y);
            uint8_t* o = &out[(size_t(height - 1 - y) * width + x) * 3];
            o[0] = uint8_t((p & image->red_mask) >> __builtin_ctzl(image->red_mask));
            o[1] = uint8_t((p & image->green_mask) >> __builtin_ctzl(image->green_mask));
            o[2] = uint8_t((p & image->blue_mask) >> __builtin_ctzl(image->blue_mask));
        }
    XDestroyImage(image);
    return out;
}
