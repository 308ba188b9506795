#pragma once

#include "platform/gl_window.h"
#include "render/renderer.h"

#include <vector>

// The Renderer of orbivale-gl in a browser: OpenGL ES 2 (WebGL 1) with one
// small shader pair doing what OpenGL 1.1's fixed pipeline does for the
// desktop back end. Vertices arrive in normalised device units with the depth
// key oow = 1/w as z and w = 1, compared with GL_GREATER against a clear
// value of 0; the fog runs linearly on oow. It draws straight into the
// 640 x 480 canvas, which the page scales. Consecutive primitives of the same
// state go out as one draw.
class Gles2Renderer : public Renderer {
public:
    // Shaders that do not build leave a line on stderr and nothing drawn.
    explicit Gles2Renderer(GlWindow& window);

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

private:
    // How a fragment gets its colour: the vertex colour, the level texture
    // alone (decal), the vertex colour times the font's intensity, or the
    // picture's texel.
    enum class Shade : int { Colour = 0, Decal = 1, Intensity = 2, Picture = 3 };
    enum class Blend : int { None, Over, Premultiplied };
    struct State {
        unsigned primitive = 0;
        Shade shade = Shade::Colour;
        Blend blend = Blend::None;
        bool depthTest = false;
        bool cull = false;
        bool fog = false;
        bool operator==(const State&) const = default;
    };
    struct Vertex {
        float x, y, z;
        float r, g, b, a;
        float s, t;
    };

    // Sends the gathered vertices when `state` differs from theirs.
    void use(const State& state);
    void flush();
    void vertex(float x, float y, float z, const Colour& colour, float s = 0.0f, float t = 0.0f);
    void projected(const ScreenVertex& v, const Colour& colour);
    void projected(float x, float y, float oow, const Colour& colour);
    void overlay(const OverlayPoint& p, const Colour& colour);
    void apply(const State& state);

    GlWindow& window_;
    unsigned program_ = 0;
    unsigned buffer_ = 0;
    unsigned levelTexture_ = 0;
    unsigned fontTexture_ = 0;
    unsigned pictureTexture_ = 0;
    int shadeUniform_ = -1;
    int fogUniform_ = -1;
    int fogColourUniform_ = -1;
    std::vector<Vertex> batch_;
    State batchState_;
    // The fog switch as OpenGL 1.1 keeps it: set by the terrain draw, turned
    // off by the arrow, the text, the frames and the pictures.
    bool fogOn_ = false;
    float fogColour_[3] = {0.0f, 0.0f, 0.0f};
    int presentedWidth_ = -1, presentedHeight_ = -1;
};
