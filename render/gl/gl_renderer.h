#pragma once

#include "platform/gl_window.h"
#include "render/gl/gl_target.h"
#include "render/renderer.h"

#include <vector>

// The Renderer of orbivale-gl: OpenGL 1.1 immediate mode with identity
// matrices. Every vertex arrives in normalised device units and its depth is
// the key oow = 1/w, compared with GL_GREATER against a clear value of 0.
// Created once the window and its context exist; the context stays current.
class GlRenderer : public Renderer {
public:
    explicit GlRenderer(GlWindow& window);

    void clearFrame(float r, float g, float b) override;
    void present() override;
    double secondsToNextRefresh() override;
    bool showsLastPicture() override;

    void setFog(bool on) override;
    void setFogColour(uint32_t colour) override;

    void uploadLevelTexture(const uint8_t* mipImages) override;
    void uploadFontTexture(const uint8_t* glyphImages) override;

    void beginTerrain() override;
    void endTerrain() override;
    void beginText() override;
    void endText() override;

    void drawTerrainTriangle(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c) override;
    void drawMarbleTriangle(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c) override;
    void drawGhostTriangle(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c,
                           float opacity) override;
    void drawRimLine(const ProjectedPoint& from, const ProjectedPoint& to, const Colour& colour) override;
    void drawArrow(const ProjectedPoint& tail, const ProjectedPoint& tip) override;

    void drawGlyph(const OverlayRect& quad, const GlyphBox& box, const Colour& colour) override;
    void drawOverlayQuad(const OverlayQuad& corners, const Colour& colour) override;
    void drawOverlayFrame(const OverlayQuad& corners, const Colour& colour) override;
    void blitPicture(const uint8_t* pixels) override;

    // True when frames are drawn offscreen and scaled into the window at present.
    bool drawsOffscreen() const { return target_.offscreen(); }

    // Terrain triangles go out gathered into one vertex array per terrain draw
    // (on, the game's way) or each as its own glBegin/glEnd pair the moment it
    // arrives (off). Both give the same picture; the second is kept to measure
    // and check the first against.
    void setTerrainBatching(bool on);

private:
    // Terrain triangles are gathered between beginTerrain and endTerrain and
    // sent as one vertex array: the same vertices in the same order, so the
    // same picture, at a fraction of the per-triangle cost. Every other
    // operation sends what is gathered first.
    struct TerrainVertex {
        float s, t;
        float x, y, oow;
    };
    void flushTerrain();

    GlWindow& window_;
    GlTarget target_;
    std::vector<TerrainVertex> terrainBatch_;
    bool batchTerrain_ = true;
    float fogColour_[4] = {0.0f, 0.0f, 0.0f, 1.0f};
};
