#pragma once

#include "platform/gl_window.h"
#include "platform/letterbox.h"

// Where GlRenderer draws: a 640 x 480 framebuffer object that present()
// scales into the window with black bars, so the game always sees a 640 x 480
// screen whatever the window's size. On a scaled desktop (HiDPI) the buffer
// has 640 x 480 times the scale in pixels, so edges stay sharp. Without
// framebuffer objects it draws straight into the window through a
// letterboxed viewport instead.
class GlTarget {
public:
    explicit GlTarget(GlWindow& window);
    ~GlTarget();
    GlTarget(const GlTarget&) = delete;
    GlTarget& operator=(const GlTarget&) = delete;

    // True when drawing goes to the offscreen 640 x 480 framebuffer.
    bool offscreen() const { return fbo_ != 0; }
    // Drawn pixels per pixel of the game's screen in the offscreen buffer
    // (line widths follow it); 1 when drawing straight into the window.
    int pixelScale() const { return offscreen() ? scale_ : 1; }

    // Scales the finished picture into the window, swaps, and gets ready for
    // the next frame's drawing. The 640 x 480 picture itself is kept.
    void present();
    // False once the window's drawable size differs from the last present's.
    bool showsLastPicture();

private:
    bool createFramebuffer();
    void allocateBuffers();
    void followPixelScale();
    void fitViewportToWindow();

    GlWindow& window_;
    unsigned fbo_ = 0;
    unsigned colourBuffer_ = 0;
    unsigned depthBuffer_ = 0;
    WindowRect fit_;
    float zoom_ = 1.0f;
    int scale_ = 1;
    int presentedWidth_ = -1, presentedHeight_ = -1;
};
