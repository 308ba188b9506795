#pragma once

// The OpenGL window as the GL back end sees it: its context is current on the
// one drawing thread for the whole run. Keeps SDL out of the back end.
class GlWindow {
public:
    virtual ~GlWindow() = default;

    // Shows the finished back buffer of the window's default framebuffer.
    virtual void swapGlBuffers() = 0;
    // The window's drawable area in pixels; changes when the window is resized,
    // maximised or made full-screen.
    virtual void glDrawableSize(int& width, int& height) = 0;
    // Drawable pixels per window unit, a whole number: 2 on a desktop scaled
    // to 200 %, 1 where the window is measured in pixels.
    virtual int glPixelScale() = 0;
    // Entry point of an OpenGL function beyond 1.1, or null when there is none.
    virtual void* glProcAddress(const char* name) = 0;
    // Seconds until the display's next refresh as the swaps are paced (one
    // refresh period where the driver keeps the beat or nothing paces).
    virtual double secondsToNextRefresh() { return 1.0 / 60.0; }
};
