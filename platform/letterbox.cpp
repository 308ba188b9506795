#include "platform/letterbox.h"

#include "platform/screen_size.h"

#include <cstdint>

WindowRect letterbox(int windowWidth, int windowHeight)
{
    WindowRect rect;
    if (windowWidth <= 0 || windowHeight <= 0)
        return rect;
    // Integer cross-multiplication: the wider of the two shapes decides.
    if (int64_t(windowWidth) * kScreenHeight >= int64_t(windowHeight) * kScreenWidth) {
        rect.height = windowHeight;
        rect.width = int((int64_t(windowHeight) * kScreenWidth + kScreenHeight / 2) / kScreenHeight);
    } else {
        rect.width = windowWidth;
        rect.height = int((int64_t(windowWidth) * kScreenHeight + kScreenWidth / 2) / kScreenWidth);
    }
    if (rect.width > windowWidth)
        rect.width = windowWidth;
    if (rect.height > windowHeight)
        rect.height = windowHeight;
    rect.x = (windowWidth - rect.width) / 2;
    rect.y = (windowHeight - rect.height) / 2;
    return rect;
}
