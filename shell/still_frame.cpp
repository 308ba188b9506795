#include "shell/still_frame.h"

#include "game/edition.h"
#include "render/frame_recording.h"
#include "render/renderer.h"
#include "shell/draw_frame.h"

namespace {

FrameRecording drawing;
FrameRecording onScreen; // the still frame last presented, while it is shown
bool onScreenValid = false;

} // namespace

bool drawStillFrame()
{
    if (isGlide())
        return composeFrame(); // leaves its unchanged picture screens out itself
    Renderer* real = renderer;
    drawing.start(*real);
    renderer = &drawing;
    composeFrame();
    renderer = real;
    if (onScreenValid && drawing.sameAs(onScreen) && real->showsLastPicture())
        return false;
    if (drawing.complete())
        drawing.replay();
    onScreenValid = drawing.complete() && drawing.presents();
    if (onScreenValid)
        drawing.keepIn(onScreen);
    return true;
}

void forgetStillFrame()
{
    if (!onScreenValid)
        return;
    onScreenValid = false;
    onScreen.release(); // its copy of the picture is a megabyte
}
