#include "render/gl/gl_target.h"

#include "render/renderer.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <cstring>

namespace {

// Framebuffer objects are beyond OpenGL 1.1: fetched through the window.
PFNGLGENFRAMEBUFFERSPROC genFramebuffers = nullptr;
PFNGLDELETEFRAMEBUFFERSPROC deleteFramebuffers = nullptr;
PFNGLBINDFRAMEBUFFERPROC bindFramebuffer = nullptr;
PFNGLGENRENDERBUFFERSPROC genRenderbuffers = nullptr;
PFNGLDELETERENDERBUFFERSPROC deleteRenderbuffers = nullptr;
PFNGLBINDRENDERBUFFERPROC bindRenderbuffer = nullptr;
PFNGLRENDERBUFFERSTORAGEPROC renderbufferStorage = nullptr;
PFNGLFRAMEBUFFERRENDERBUFFERPROC framebufferRenderbuffer = nullptr;
PFNGLCHECKFRAMEBUFFERSTATUSPROC checkFramebufferStatus = nullptr;
PFNGLBLITFRAMEBUFFERPROC blitFramebuffer = nullptr;

template <typename F>
bool load(GlWindow& window, F& function, const char* name)
{
    function = reinterpret_cast<F>(window.glProcAddress(name));
    return function != nullptr;
}

bool framebuffersAvailable(GlWindow& window)
{
    const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    const char* extensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    bool supported = (version && version[0] >= '3' && version[0] <= '9') ||
                     (extensions && std::strstr(extensions, "GL_ARB_framebuffer_object"));
    if (!supported)
        return false;
    return load(window, genFramebuffers, "glGenFramebuffers") &&
           load(window, deleteFramebuffers, "glDeleteFramebuffers") &&
           load(window, bindFramebuffer, "glBindFramebuffer") &&
           load(window, genRenderbuffers, "glGenRenderbuffers") &&
           load(window, deleteRenderbuffers, "glDeleteRenderbuffers") &&
           load(window, bindRenderbuffer, "glBindRenderbuffer") &&
           load(window, renderbufferStorage, "glRenderbufferStorage") &&
           load(window, framebufferRenderbuffer, "glFramebufferRenderbuffer") &&
           load(window, checkFramebufferStatus, "glCheckFramebufferStatus") &&
           load(window, blitFramebuffer, "glBlitFramebuffer");
}

} // namespace

GlTarget::GlTarget(GlWindow& window) : window_(window), scale_(window.glPixelScale())
{
    if (!framebuffersAvailable(window_) || !createFramebuffer()) {
        while (glGetError() != GL_NO_ERROR) {
        }
        fitViewportToWindow();
        glEnable(GL_SCISSOR_TEST);
        return;
    }
    glViewport(0, 0, kScreenWidth * scale_, kScreenHeight * scale_);
    glPixelZoom(float(scale_), float(scale_));
}

GlTarget::~GlTarget()
{
    if (fbo_ == 0)
        return;
    bindFramebuffer(GL_FRAMEBUFFER, 0);
    deleteFramebuffers(1, &fbo_);
    deleteRenderbuffers(1, &colourBuffer_);
    deleteRenderbuffers(1, &depthBuffer_);
}

// Renderbuffers rather than a texture, so that no texture object number is
// taken from the two the game uses by number.
bool GlTarget::createFramebuffer()
{
    genRenderbuffers(1, &colourBuffer_);
    genRenderbuffers(1, &depthBuffer_);
    allocateBuffers();

    genFramebuffers(1, &fbo_);
    bindFramebuffer(GL_FRAMEBUFFER, fbo_);
    framebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colourBuffer_);
    framebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depthBuffer_);
    if (checkFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE)
        return true;
    bindFramebuffer(GL_FRAMEBUFFER, 0);
    deleteFramebuffers(1, &fbo_);
    deleteRenderbuffers(1, &colourBuffer_);
    deleteRenderbuffers(1, &depthBuffer_);
    fbo_ = colourBuffer_ = depthBuffer_ = 0;
    return false;
}

void GlTarget::allocateBuffers()
{
    bindRenderbuffer(GL_RENDERBUFFER, colourBuffer_);
    renderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, kScreenWidth * scale_, kScreenHeight * scale_);
    bindRenderbuffer(GL_RENDERBUFFER, depthBuffer_);
    // 24 bits: the depth keys of a whole scene lie between 0.5 and 0.52 of the range.
    renderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, kScreenWidth * scale_, kScreenHeight * scale_);
    bindRenderbuffer(GL_RENDERBUFFER, 0);
}

// The window moved to a screen of another scale (or learnt its scale after
// opening): the buffer follows, and the next frame is drawn at the new size.
void GlTarget::followPixelScale()
{
    int scale = window_.glPixelScale();
    if (scale == scale_)
        return;
    scale_ = scale;
    allocateBuffers();
    glViewport(0, 0, kScreenWidth * scale_, kScreenHeight * scale_);
    glPixelZoom(float(scale_), float(scale_));
}

// Direct drawing: the viewport is the letterbox and the scissor keeps clears
// inside it; pictures are zoomed to match.
void GlTarget::fitViewportToWindow()
{
    int width = 0;
    int height = 0;
    window_.glDrawableSize(width, height);
    fit_ = letterbox(width, height);
    zoom_ = fit_.width > 0 ? float(fit_.width) / float(kScreenWidth) : 1.0f;
    glViewport(fit_.x, fit_.y, fit_.width, fit_.height);
    glScissor(fit_.x, fit_.y, fit_.width, fit_.height);
    glPixelZoom(zoom_, zoom_);
}

bool GlTarget::showsLastPicture()
{
    int width = 0;
    int height = 0;
    window_.glDrawableSize(width, height);
    return width == presentedWidth_ && height == presentedHeight_;
}

void GlTarget::present()
{
    window_.glDrawableSize(presentedWidth_, presentedHeight_);
    if (fbo_ == 0) {
        window_.swapGlBuffers();
        // The bars stay black; what is inside the letterbox is the game's to clear.
        glDisable(GL_SCISSOR_TEST);
        fitViewportToWindow();
        glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        glEnable(GL_SCISSOR_TEST);
        return;
    }
    int width = 0;
    int height = 0;
    window_.glDrawableSize(width, height);
    fit_ = letterbox(width, height);
    bindFramebuffer(GL_READ_FRAMEBUFFER, fbo_);
    bindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    const int drawnWidth = kScreenWidth * scale_;
    const int drawnHeight = kScreenHeight * scale_;
    bool sameSize = fit_.width == drawnWidth && fit_.height == drawnHeight;
    blitFramebuffer(0, 0, drawnWidth, drawnHeight, fit_.x, fit_.y, fit_.x + fit_.width, fit_.y + fit_.height,
                    GL_COLOR_BUFFER_BIT, sameSize ? GL_NEAREST : GL_LINEAR);
    window_.swapGlBuffers();
    bindFramebuffer(GL_FRAMEBUFFER, fbo_);
    followPixelScale();
}
