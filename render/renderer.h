#pragma once

#include "platform/screen_size.h"
#include "render/screen_vertex.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

// A full-screen picture: RGB bytes, row 0 the bottom row.
constexpr size_t kPictureBytes = size_t(kScreenWidth) * kScreenHeight * 3;
// orbivale-gl font texture: slot L holds level L, (256 >> L) pixels square.
constexpr int kFontMipLevels = 9;
constexpr size_t kFontMipSlotBytes = 256 * 256 * 3;

// A point in overlay space: x right, y down, (0, 0) the top-left corner.
struct OverlayPoint {
    float x = 0.0f;
    float y = 0.0f;
};

// Four corners in overlay space, in drawing order.
using OverlayQuad = std::array<OverlayPoint, 4>;

// An axis-aligned rectangle in overlay space.
struct OverlayRect {
    float left = 0.0f;
    float top = 0.0f;
    float right = 0.0f;
    float bottom = 0.0f;
};

// A glyph's box in the font texture, in texels of the 256 x 256 image,
// measured from its top-left corner.
struct GlyphBox {
    float left = 0.0f;
    float top = 0.0f;
    float right = 0.0f;
    float bottom = 0.0f;
};

// Colour and opacity, 0..1 each. Back ends that need bytes round c * 255 to
// the nearest integer, so a value given as n / 255 arrives as n exactly.
struct Colour {
    float r = 0.0f;
    float g = 0.0f;
    float b = 0.0f;
    float a = 1.0f;
};

// The fixed set of screen-space drawing operations. The game projects every
// point itself and hands over finished primitives; each program links one
// implementation and installs it in `renderer`.
class Renderer {
public:
    virtual ~Renderer() = default;

    // Colour buffer to the colour, depth buffer to farthest.
    virtual void clearFrame(float r, float g, float b) = 0;
    // The finished back buffer becomes visible.
    virtual void present() = 0;
    // Seconds until the display shows its next picture: how long a frame with
    // nothing new to present may sleep.
    virtual double secondsToNextRefresh() { return 0.0; }
    // False when the window may have lost the last presented picture or shows
    // it at another size (resized, full screen since): it must be drawn again.
    virtual bool showsLastPicture() { return true; }

    // Distance fog for terrain and marble (none at depth 400, full at 1800).
    // orbivale-gl switches it at every terrain draw; orbivale-glide when the
    // option changes.
    virtual void setFog(bool on) = 0;
    // The level's fog colour 0x00RRGGBB, set at every level load that names one.
    virtual void setFogColour(uint32_t colour) = 0;

    // orbivale-gl: replaces the level texture with eight mipmap levels; slot L
    // starts at L * 128 * 128 * 3 bytes and holds (128 >> L) pixels square, RGB,
    // row 0 at the bottom, rows laid out as readBmp leaves them.
    virtual void uploadLevelTexture(const uint8_t* mipImages) = 0;
    // orbivale-gl: creates the font texture from nine mipmap levels; slot L
    // starts at L * kFontMipSlotBytes and holds (256 >> L) pixels square.
    virtual void uploadFontTexture(const uint8_t* glyphImages) = 0;
    // orbivale-glide: loads a .3df file as the level texture (its memory is
    // reserved on the first level and reused). Back ends without .3df files
    // keep this answer: no such texture.
    virtual bool loadLevelTexture(const std::string& path);
    // orbivale-glide: loads a .3df file as the font texture.
    virtual bool loadFontTexture(const std::string& path);

    // Brackets around one terrain draw and around one string of text, so that
    // a back end can set (and, on Glide, save and restore) the group's state once.
    virtual void beginTerrain() = 0;
    virtual void endTerrain() = 0;
    virtual void beginText() = 0;
    virtual void endText() = 0;

    // The terrain walk projects each grid vertex it meets once and hands it
    // here before any triangle uses it: x, y, w, oow as projected, s and t the
    // grid point's world x and y. The back end puts the vertex in its own form
    // (texture coordinates, pixel grid) and answers whether triangles may use
    // it; the walk's screen-edge tests read x and y as left here. This answer
    // is orbivale-gl's: whatever lies in front of the viewer, with the level
    // texture once over every 160 x 120 world units.
    virtual bool prepareTerrainVertex(ScreenVertex& v);
    // Level texture only (vertex colour ignored), opaque, depth-tested with
    // depth writes, back faces culled, fogged when fog is on. Uses x, y, w,
    // oow, s, t of vertices prepareTerrainVertex took.
    virtual void drawTerrainTriangle(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c) = 0;
    // Gouraud-shaded, opaque, untextured, depth-tested, not culled; the edge
    // from b to c is antialiased where the library can. Uses x, y, w, oow, r, g, b.
    virtual void drawMarbleTriangle(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c) = 0;
    // Blended over what is drawn: src * opacity + dst * (1 - opacity). Depth
    // handling differs per program; the vertices carry the depth keys to use.
    virtual void drawGhostTriangle(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c,
                                   float opacity) = 0;
    // A smoothed one-pixel line without depth test, opacity from colour.a.
    virtual void drawRimLine(const ProjectedPoint& from, const ProjectedPoint& to, const Colour& colour) = 0;
    // The yellow arrow of the "Normal" option, from tail to tip.
    virtual void drawArrow(const ProjectedPoint& tail, const ProjectedPoint& tip) = 0;

    // One character: corners (left, top), (right, top), (right, bottom),
    // (left, bottom) of quad take the matching corners of box in the font
    // texture, modulated by the colour. No depth test, fog or culling.
    virtual void drawGlyph(const OverlayRect& quad, const GlyphBox& box, const Colour& colour) = 0;
    // Untextured quad, blended by colour.a when it is below 1.
    virtual void drawOverlayQuad(const OverlayQuad& corners, const Colour& colour) = 0;
    // One-pixel outline through the four corners.
    virtual void drawOverlayFrame(const OverlayQuad& corners, const Colour& colour) = 0;
    // The whole back buffer shows the 640 x 480 picture (kPictureBytes, RGB,
    // row 0 at the bottom); the depth buffer is untouched.
    virtual void blitPicture(const uint8_t* pixels) = 0;

    // The graphics card's life, for back ends that drive one (orbivale-glide);
    // the others have nothing to do. startGraphics is false when no card answers.
    virtual bool startGraphics() { return true; }
    // Gives the screen back to the desktop (at start-up failures and shutdown).
    virtual void releaseDisplay() {}
    // Focus lost and regained: save the card's state and let go of the screen,
    // then take both back.
    virtual void suspendGraphics() {}
    virtual void resumeGraphics() {}
    virtual void shutdownGraphics() {}
};

extern Renderer* renderer;
