#pragma once

#include "glide2/glide.h"
#include "render/renderer.h"

#include <optional>
#include <string>

// A renderer that draws nothing. Level textures are taken as the game takes
// them: BMP images arrive already read; a .3df file is read and parsed in
// full, and has to match the first level texture's size, format and levels,
// since the card's texture memory is reserved for the first one, and be in
// a format the card draws from.
class CheckingRenderer : public Renderer {
public:
    void clearFrame(float, float, float) override {}
    void present() override {}
    void setFog(bool) override {}
    void setFogColour(uint32_t) override {}
    void uploadLevelTexture(const uint8_t*) override {}
    void uploadFontTexture(const uint8_t*) override {}
    bool loadLevelTexture(const std::string& path) override;
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

    // Why the last .3df was refused, for the tool's report.
    std::string lastProblem;

private:
    std::optional<Gu3dfHeader> firstTexture_;
};
