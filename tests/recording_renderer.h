#pragma once

#include "game/edition.h"
#include "levels/level_map.h"
#include "render/glide/glide_vertex.h"
#include "render/renderer.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <iterator>
#include <string>
#include <vector>

enum class RenderOp {
    ClearFrame,
    Present,
    SetFog,
    SetFogColour,
    UploadLevelTexture,
    UploadFontTexture,
    LoadLevelTexture,
    LoadFontTexture,
    BeginTerrain,
    EndTerrain,
    BeginText,
    EndText,
    TerrainTriangle,
    MarbleTriangle,
    GhostTriangle,
    RimLine,
    Arrow,
    Glyph,
    OverlayQuad,
    OverlayFrame,
    BlitPicture,
};

// One renderer call with its arguments. Only the fields of its operation are set.
struct RenderCall {
    RenderOp op = RenderOp::Present;
    std::array<ScreenVertex, 3> triangle{}; // triangles
    std::array<ProjectedPoint, 2> points{}; // rim line from/to, arrow tail/tip
    OverlayRect rect;                       // glyph quad
    GlyphBox box;                           // glyph texels
    OverlayQuad corners{};                  // overlay quad and frame
    Colour colour;                          // clear (r, g, b), glyph, rim line, overlays
    float opacity = 0.0f;                   // ghost triangles
    bool on = false;                        // fog switch
    uint32_t value = 0;                     // fog colour
    std::string path;                       // .3df loads
    std::vector<uint8_t> pixels;            // copies of uploaded images and pictures
};

// A Renderer that keeps every call in order, so drawing code can be checked
// exactly without pixels. .3df loads answer as the test sets them.
class RecordingRenderer : public Renderer {
public:
    void clearFrame(float r, float g, float b) override
    {
        RenderCall call = make(RenderOp::ClearFrame);
        call.colour = Colour{r, g, b, 1.0f};
        calls.push_back(call);
    }
    void present() override { calls.push_back(make(RenderOp::Present)); }
    double secondsToNextRefresh() override { return 0.0125; }
    bool showsLastPicture() override { return pictureShown; }
    void setFog(bool on) override
    {
        RenderCall call = make(RenderOp::SetFog);
        call.on = on;
        calls.push_back(call);
    }
    void setFogColour(uint32_t colour) override
    {
        RenderCall call = make(RenderOp::SetFogColour);
        call.value = colour;
        calls.push_back(call);
    }
    void uploadLevelTexture(const uint8_t* mipImages) override
    {
        RenderCall call = make(RenderOp::UploadLevelTexture);
        call.pixels.assign(mipImages, mipImages + size_t(kLevelMipLevels) * kLevelMipSlotBytes);
        calls.push_back(call);
    }
    void uploadFontTexture(const uint8_t* glyphImages) override
    {
        RenderCall call = make(RenderOp::UploadFontTexture);
        call.pixels.assign(glyphImages, glyphImages + size_t(kFontMipLevels) * kFontMipSlotBytes);
        calls.push_back(call);
    }
    bool loadLevelTexture(const std::string& path) override
    {
        RenderCall call = make(RenderOp::LoadLevelTexture);
        call.path = path;
        calls.push_back(call);
        return levelTextureLoads;
    }
    bool loadFontTexture(const std::string& path) override
    {
        RenderCall call = make(RenderOp::LoadFontTexture);
        call.path = path;
        calls.push_back(call);
        return fontTextureLoads;
    }
    void beginTerrain() override { calls.push_back(make(RenderOp::BeginTerrain)); }
    void endTerrain() override { calls.push_back(make(RenderOp::EndTerrain)); }
    void beginText() override { calls.push_back(make(RenderOp::BeginText)); }
    void endText() override { calls.push_back(make(RenderOp::EndText)); }
    // Terrain vertices are taken as the running program's back end takes them.
    bool prepareTerrainVertex(ScreenVertex& v) override
    {
        return isGlide() ? prepareGlideTerrainVertex(v) : Renderer::prepareTerrainVertex(v);
    }
    void drawTerrainTriangle(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c) override
    {
        calls.push_back(triangle(RenderOp::TerrainTriangle, a, b, c));
    }
    void drawMarbleTriangle(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c) override
    {
        calls.push_back(triangle(RenderOp::MarbleTriangle, a, b, c));
    }
    void drawGhostTriangle(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c, float opacity) override
    {
        RenderCall call = triangle(RenderOp::GhostTriangle, a, b, c);
        call.opacity = opacity;
        calls.push_back(call);
    }
    void drawRimLine(const ProjectedPoint& from, const ProjectedPoint& to, const Colour& colour) override
    {
        RenderCall call = make(RenderOp::RimLine);
        call.points = {from, to};
        call.colour = colour;
        calls.push_back(call);
    }
    void drawArrow(const ProjectedPoint& tail, const ProjectedPoint& tip) override
    {
        RenderCall call = make(RenderOp::Arrow);
        call.points = {tail, tip};
        calls.push_back(call);
    }
    void drawGlyph(const OverlayRect& quad, const GlyphBox& box, const Colour& colour) override
    {
        RenderCall call = make(RenderOp::Glyph);
        call.rect = quad;
        call.box = box;
        call.colour = colour;
        calls.push_back(call);
    }
    void drawOverlayQuad(const OverlayQuad& corners, const Colour& colour) override
    {
        RenderCall call = make(RenderOp::OverlayQuad);
        call.corners = corners;
        call.colour = colour;
        calls.push_back(call);
    }
    void drawOverlayFrame(const OverlayQuad& corners, const Colour& colour) override
    {
        RenderCall call = make(RenderOp::OverlayFrame);
        call.corners = corners;
        call.colour = colour;
        calls.push_back(call);
    }
    void blitPicture(const uint8_t* pixels) override
    {
        RenderCall call = make(RenderOp::BlitPicture);
        call.pixels.assign(pixels, pixels + kPictureBytes);
        calls.push_back(call);
    }

    // The recorded calls of one operation, in order.
    std::vector<RenderCall> of(RenderOp op) const
    {
        std::vector<RenderCall> out;
        std::copy_if(calls.begin(), calls.end(), std::back_inserter(out),
                     [op](const RenderCall& c) { return c.op == op; });
        return out;
    }
    int count(RenderOp op) const
    {
        return int(std::count_if(calls.begin(), calls.end(), [op](const RenderCall& c) { return c.op == op; }));
    }
    // The operations in call order, without arguments.
    std::vector<RenderOp> ops() const
    {
        std::vector<RenderOp> out;
        for (const RenderCall& c : calls)
            out.push_back(c.op);
        return out;
    }

    bool pictureShown = true; // false: the window was resized since the last present
    std::vector<RenderCall> calls;
    bool levelTextureLoads = true;
    bool fontTextureLoads = true;

private:
    static RenderCall make(RenderOp op)
    {
        RenderCall call;
        call.op = op;
        return call;
    }
    static RenderCall triangle(RenderOp op, const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c)
    {
        RenderCall call = make(op);
        call.triangle = {a, b, c};
        return call;
    }
};
