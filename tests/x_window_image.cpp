#include "x_window_image.h"

#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

std::vector<uint8_t> xWindowImage(SDL_Window* window, int width, int height)
{
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11)
        return {};
    Display* display = info.info.x11.display;
    XSync(display, False);
    XImage* image = XGetImage(display, info.info.x11.window, 0, 0, unsigned(width), unsigned(height), AllPlanes,
                              ZPixmap);
    if (!image)
        return {};
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
