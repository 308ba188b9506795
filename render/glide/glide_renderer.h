#pragma once

#include "glide2/glide.h"
#include "platform/frame_window.h"
#include "render/renderer.h"

#include <cstdint>
#include <string>

// orbivale-glide's Renderer: every operation as Glide calls on the card.
// Glide takes screen-space vertices on its 1/16-pixel grid; overlay points
// are drawn with the upper-left origin.
class GlideRenderer : public Renderer {
public:
    // The window the card opens its screen on (the card's output is the
    // presenter the program registered, so the handle is only passed along).
    explicit GlideRenderer(FxU32 windowHandle = 0) : window_(windowHandle) {}

    // The window the card's frames go to. startGraphics finds the card only
    // when that window has a surface to show them in. Without one set, the
    // presenter registered by the caller (tests) stays.
    void showFramesIn(FrameWindow* window) { frameWindow_ = window; }

    void clearFrame(float r, float g, float b) override;
    void present() override;
    double secondsToNextRefresh() override;
    void setFog(bool on) override;
    void setFogColour(uint32_t colour) override;

    void uploadLevelTexture(const uint8_t*) override {}
    void uploadFontTexture(const uint8_t*) override {}
    bool loadLevelTexture(const std::string& path) override;
    bool loadFontTexture(const std::string& path) override;

    void beginTerrain() override;
    void endTerrain() override;
    void beginText() override;
    void endText() override;

    bool prepareTerrainVertex(ScreenVertex& v) override;
    void drawTerrainTriangle(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c) override;
    void drawMarbleTriangle(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c) override;
    void drawGhostTriangle(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c,
                           float opacity) override;
    void drawRimLine(const ProjectedPoint&, const ProjectedPoint&, const Colour&) override {}
    void drawArrow(const ProjectedPoint& tail, const ProjectedPoint& tip) override;

    void drawGlyph(const OverlayRect& quad, const GlyphBox& box, const Colour& colour) override;
    void drawOverlayQuad(const OverlayQuad& corners, const Colour& colour) override;
    void drawOverlayFrame(const OverlayQuad&, const Colour&) override {}
    void blitPicture(const uint8_t* pixels) override;

    bool startGraphics() override;
    void releaseDisplay() override;
    void suspendGraphics() override;
    void resumeGraphics() override;
    void shutdownGraphics() override;

    // Whether the card's screen is showing (opened and not handed back).
    bool screenActive() const { return screenActive_; }
    // Whether the level texture has its memory (it keeps it for the run).
    bool levelTextureAllocated() const { return levelTexture_ != GR_NULL_MIPMAP_HANDLE; }

protected:
    // A texture file the card refused, and why: a line on stderr, so the
    // player learns more than the game's own message says.
    virtual void textureRefused(const std::string& path, const char* why);

private:
    // A .3df file downloaded into a mipmap; the memory is reserved on the
    // first download into *handle and must fit every later one.
    bool downloadTexture(const std::string& path, GrMipMapId_t* handle, Gu3dfHeader* reserved);

    FxU32 window_;
    FrameWindow* frameWindow_ = nullptr;
    bool screenActive_ = false;
    bool fogOn_ = false;
    GrFog_t fogTable_[GR_FOG_TABLE_SIZE] = {};
    GrMipMapId_t levelTexture_ = GR_NULL_MIPMAP_HANDLE;
    GrMipMapId_t fontTexture_ = GR_NULL_MIPMAP_HANDLE;
    Gu3dfHeader levelTextureHeader_{};
    Gu3dfHeader fontTextureHeader_{};

    GrState focusState_{}; // kept while the window has lost the focus
    GrState groupState_{}; // kept for the length of a terrain or text group
    bool textStateSet_ = false;
    GrColor_t textColour_ = 0;
};
