#pragma once

#include "render/renderer.h"

// Draws nothing: the renderer of a window whose graphics could not start,
// while the program reports it and ends.
class NullRenderer : public Renderer {
public:
    void clearFrame(float, float, float) override {}
    void present() override {}
    void setFog(bool) override {}
    void setFogColour(uint32_t) override {}
    void uploadLevelTexture(const uint8_t*) override {}
    void uploadFontTexture(const uint8_t*) override {}
    void beginTerrain() override {}
    void endTerrain() override {}
    void beginText() override {}
    void endText() override {}
    void drawTerrainTriangle(const ScreenVertex&, const ScreenVertex&, const ScreenVertex&) override {}
    void drawMarbleTriangle(const ScreenVertex&, const ScreenVertex&, const ScreenVertex&) override {}
    void drawGhostTriangle(const ScreenVertex&, const ScreenVertex&, const ScreenVertex&, float) override {}
    void drawRimLine(const ProjectedPoint&, const ProjectedPoint&, const Colour&) override {}
    void drawArrow(const ProjectedPoint&, const ProjectedPoint&) override {}
    void drawGlyph(const OverlayRect&, const GlyphBox&, const Colour&) override {}
    void drawOverlayQuad(const OverlayQuad&, const Colour&) override {}
    void drawOverlayFrame(const OverlayQuad&, const Colour&) override {}
    void blitPicture(const uint8_t*) override {}
};
