#pragma once

#include <cstdint>

// The ordinary window as orbivale-glide's software card sees it: the place
// its finished frames are shown. Keeps SDL out of the back end.
class FrameWindow {
public:
    virtual ~FrameWindow() = default;

    // False when the window has no surface that frames can be shown in.
    virtual bool hasFrameSurface() = 0;
    // Shows one 640 x 480 frame of 0x00RRGGBB pixels, row 0 at the top. The
    // window may show them again until the next call; nullptr ends that
    // (the pixels are about to go).
    virtual void presentSoftwareFrame(const uint32_t* pixels) = 0;
};
