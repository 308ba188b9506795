#include "platform/letterbox.h"

#include <cstdint>

WindowRect letterbox(int windowWidth, int windowHeight)
{
    WindowRect rect;
    if (windowWidth <= 0 || windowHeight <= 0)
        return rect;
    // Integer cross-multiplication: the wider of the two shapes decides.
    if (int64_t(windowWidth) * 480 >= int64_t(windowHeight) * 640) {
        rect.height = windowHeight;
        rect.width = int((int64_t(windowHeight) * 640 + 240) / 480);
    } else {
        rect.width = windowWidth;
        rect.height = int((int64_t(windowWidth) * 480 + 320) / 640);
    }
    if (rect.width > windowWidth)
        rect.width = windowWidth;
    if (rect.height > windowHeight)
        rect.height = windowHeight;
    rect.x = (windowWidth - rect.width) / 2;
    rect.y = (windowHeight - rect.height) / 2;
    return rect;
}
