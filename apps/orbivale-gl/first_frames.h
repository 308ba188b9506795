#pragma once

#include "platform/gl_window.h"

#include <map>
#include <string>
#include <utility>

// The window as the back end sees it, keeping pictures 1, 2 and 120 of each
// screen (the title, each level, the best times) as files in `folder`, read
// back just before they are shown: "title.rgb", "title-2.rgb", "level1.rgb",
// "level1-2.rgb", "level1-120.rgb", "best_times.rgb"... (a level's first
// picture is drawn over the last screen's); and of a watched run the picture
// after 60 recorded frames, "replay-60.rgb", which does not depend on the
// machine's speed. 640 x 480 RGB bytes, rows from the bottom. Set
// ORBIVALE_FIRST_FRAMES to a folder to compare the pictures of two builds
// (the desktop's and a browser's).
class FirstFramesWindow : public GlWindow {
public:
    FirstFramesWindow(GlWindow& window, std::string folder) : window_(window), folder_(std::move(folder)) {}

    void swapGlBuffers() override;
    void glDrawableSize(int& width, int& height) override { window_.glDrawableSize(width, height); }
    int glPixelScale() override { return window_.glPixelScale(); }
    void* glProcAddress(const char* name) override { return window_.glProcAddress(name); }
    double secondsToNextRefresh() override { return window_.secondsToNextRefresh(); }

private:
    GlWindow& window_;
    std::string folder_;
    std::map<std::string, int> kept_; // pictures kept per screen
};
