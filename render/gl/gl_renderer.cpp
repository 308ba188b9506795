#include "render/gl/gl_renderer.h"

#include "levels/level_map.h"
#include "render/arrow_shape.h"
#include "render/gl/gl_coords.h"

#include <GL/gl.h>

namespace {

constexpr GLuint kLevelTextureName = 1;
constexpr GLuint kFontTextureName = 10;

// Fog runs linearly on the depth key: clear at w = 400, full at w = 1800.
// With identity matrices OpenGL's fog distance is the eye z, which is oow.
constexpr float kFogStart = 0.0025f;
constexpr float kFogEnd = 0.00055555557f;

// The arrow head sits this much nearer than its tip so that it wins against the shaft.
constexpr float kArrowHeadLift = 0.0001f;

void projectedVertex(const ScreenVertex& v) { glVertex3f(projectedToDeviceX(v.x), projectedToDeviceY(v.y), v.oow); }

void projectedVertex(float x, float y, float oow) { glVertex3f(projectedToDeviceX(x), projectedToDeviceY(y), oow); }

void overlayVertex(const OverlayPoint& p) { glVertex2f(overlayToDeviceX(p.x), overlayToDeviceY(p.y)); }

void blendOver()
{
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
}

void smoothLines(float width, int pixelScale)
{
    glEnable(GL_LINE_SMOOTH);
    glHint(GL_LINE_SMOOTH_HINT, GL_NICEST);
    glLineWidth(width * float(pixelScale));
}

} // namespace

GlRenderer::GlRenderer(GlWindow& window) : window_(window), target_(window)
{
    terrainBatch_.reserve(3 * 2 * 49 * 399);
    glClearDepth(0.0);
    glHint(GL_FOG_HINT, GL_FASTEST);
    // Image rows arrive packed, as the BMP reader leaves them (the 1- and
    // 2-pixel mipmap levels are narrower than four bytes).
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void GlRenderer::clearFrame(float r, float g, float b)
{
    flushTerrain();
    glClearColor(r, g, b, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void GlRenderer::present()
{
    flushTerrain();
    target_.present();
}

double GlRenderer::secondsToNextRefresh() { return window_.secondsToNextRefresh(); }

bool GlRenderer::showsLastPicture() { return target_.showsLastPicture(); }

void GlRenderer::setFog(bool on)
{
    flushTerrain();
    if (!on) {
        glDisable(GL_FOG);
        return;
    }
    glEnable(GL_FOG);
    glHint(GL_FOG_HINT, GL_NICEST);
    glFogfv(GL_FOG_COLOR, fogColour_);
    glFogf(GL_FOG_MODE, GL_LINEAR);
    glFogf(GL_FOG_START, kFogStart);
    glFogf(GL_FOG_END, kFogEnd);
}

void GlRenderer::setFogColour(uint32_t colour)
{
    constexpr float kByte = 1.0f / 255.0f;
    fogColour_[0] = float((colour >> 16) & 0xff) * kByte;
    fogColour_[1] = float((colour >> 8) & 0xff) * kByte;
    fogColour_[2] = float(colour & 0xff) * kByte;
    fogColour_[3] = 1.0f;
}

void GlRenderer::uploadLevelTexture(const uint8_t* mipImages)
{
    flushTerrain();
    GLuint name = kLevelTextureName;
    GLboolean resident = GL_FALSE;
    if (glAreTexturesResident(1, &name, &resident))
        glDeleteTextures(1, &name);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, kLevelTextureName);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    for (int level = 0; level < kLevelMipLevels; ++level) {
        int size = 128 >> level;
        glTexImage2D(GL_TEXTURE_2D, level, 3, size, size, 0, GL_RGB, GL_UNSIGNED_BYTE,
                     mipImages + size_t(level) * kLevelMipSlotBytes);
    }
}

// GL_INTENSITY makes each texel's red both its brightness and its coverage,
// so white-on-black glyph images become a glyph mask.
void GlRenderer::uploadFontTexture(const uint8_t* glyphImages)
{
    flushTerrain();
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, kFontTextureName);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST_MIPMAP_NEAREST);
    for (int level = 0; level < kFontMipLevels; ++level) {
        int size = 256 >> level;
        glTexImage2D(GL_TEXTURE_2D, level, GL_INTENSITY, size, size, 0, GL_RGB, GL_UNSIGNED_BYTE,
                     glyphImages + size_t(level) * kFontMipSlotBytes);
    }
}

// Terrain triangles come in the grid walk's order, (i, i + 50, i + 51) and
// (i, i + 51, i + 1), which turns clockwise on the screen when the ground is
// seen from above: those are the front faces, the undersides are culled.
void GlRenderer::beginTerrain()
{
    flushTerrain();
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_GREATER);
    glFrontFace(GL_CW);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, kLevelTextureName);
    glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_DECAL);
    glDisable(GL_BLEND);
}

void GlRenderer::endTerrain()
{
    flushTerrain();
    glFlush();
}

// Text state is set per glyph.
void GlRenderer::beginText() { flushTerrain(); }
void GlRenderer::endText() {}

void GlRenderer::setTerrainBatching(bool on)
{
    flushTerrain();
    batchTerrain_ = on;
}

void GlRenderer::drawTerrainTriangle(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c)
{
    if (!batchTerrain_) {
        glBegin(GL_TRIANGLES);
        glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
        for (const ScreenVertex* v : {&a, &b, &c}) {
            glTexCoord2f(v->s, v->t);
            projectedVertex(*v);
        }
        glEnd();
        return;
    }
    for (const ScreenVertex* v : {&a, &b, &c})
        terrainBatch_.push_back({v->s, v->t, projectedToDeviceX(v->x), projectedToDeviceY(v->y), v->oow});
}

void GlRenderer::flushTerrain()
{
    if (terrainBatch_.empty())
        return;
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glTexCoordPointer(2, GL_FLOAT, sizeof(TerrainVertex), &terrainBatch_[0].s);
    glVertexPointer(3, GL_FLOAT, sizeof(TerrainVertex), &terrainBatch_[0].x);
    glDrawArrays(GL_TRIANGLES, 0, GLsizei(terrainBatch_.size()));
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    terrainBatch_.clear();
}

// Fog is left as the terrain set it, so the disc is fogged with the ground.
void GlRenderer::drawMarbleTriangle(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c)
{
    flushTerrain();
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_GREATER);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_CULL_FACE);
    glDisable(GL_BLEND);
    glBegin(GL_TRIANGLES);
    for (const ScreenVertex* v : {&a, &b, &c}) {
        glColor4f(v->r, v->g, v->b, 1.0f);
        projectedVertex(*v);
    }
    glEnd();
}

void GlRenderer::drawGhostTriangle(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c, float opacity)
{
    flushTerrain();
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_CULL_FACE);
    blendOver();
    glBegin(GL_TRIANGLES);
    for (const ScreenVertex* v : {&a, &b, &c}) {
        glColor4f(v->r, v->g, v->b, opacity);
        projectedVertex(*v);
    }
    glEnd();
}

void GlRenderer::drawRimLine(const ProjectedPoint& from, const ProjectedPoint& to, const Colour& colour)
{
    flushTerrain();
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_CULL_FACE);
    blendOver();
    smoothLines(1.0f, target_.pixelScale());
    glBegin(GL_LINES);
    glColor4f(colour.r, colour.g, colour.b, colour.a);
    projectedVertex(from.x, from.y, 1.0f / from.w);
    projectedVertex(to.x, to.y, 1.0f / to.w);
    glEnd();
}

void GlRenderer::drawArrow(const ProjectedPoint& tail, const ProjectedPoint& tip)
{
    flushTerrain();
    ArrowShape shape = arrowShape(tail, tip);
    float p1x = shape.headLeftX, p1y = shape.headLeftY;
    float p2x = shape.headRightX, p2y = shape.headRightY;
    float tailKey = 1.0f / tail.w;
    float headKey = 1.0f / tip.w + kArrowHeadLift;

    glDisable(GL_CULL_FACE);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_FOG);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_GREATER);
    smoothLines(1.5f, target_.pixelScale());
    blendOver();
    glColor4f(1.0f, 1.0f, 0.0f, 1.0f);
    glBegin(GL_LINES);
    projectedVertex(tail.x, tail.y, tailKey);
    projectedVertex(tip.x, tip.y, 1.0f / tip.w);
    glEnd();

    glDisable(GL_BLEND);
    glBegin(GL_TRIANGLES);
    projectedVertex(tip.x, tip.y, headKey);
    projectedVertex(p2x, p2y, headKey);
    projectedVertex(p1x, p1y, headKey);
    glEnd();

    glEnable(GL_BLEND);
    glBegin(GL_LINES);
    projectedVertex(tip.x, tip.y, headKey);
    projectedVertex(p2x, p2y, headKey);
    projectedVertex(p1x, p1y, headKey);
    projectedVertex(tip.x, tip.y, headKey);
    glEnd();
}

// The glyph's texels map to texture units by 1/255 and flip, as the font
// images are stored with their bottom row first.
void GlRenderer::drawGlyph(const OverlayRect& quad, const GlyphBox& box, const Colour& colour)
{
    flushTerrain();
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, kFontTextureName);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_FOG);
    glDisable(GL_CULL_FACE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
    glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glBegin(GL_QUADS);
    glColor4f(colour.r, colour.g, colour.b, colour.a);
    const struct {
        float x, y, texelX, texelY;
    } corners[4] = {
        {quad.left, quad.top, box.left, box.top},
        {quad.right, quad.top, box.right, box.top},
        {quad.right, quad.bottom, box.right, box.bottom},
        {quad.left, quad.bottom, box.left, box.bottom},
    };
    for (const auto& corner : corners) {
        glTexCoord2f(corner.texelX / 255.0f, 1.0f - corner.texelY / 255.0f);
        glVertex2f(overlayToDeviceX(corner.x), overlayToDeviceY(corner.y));
    }
    glEnd();
}

// Fog is not touched: overlay quads always follow a group that switched it off.
void GlRenderer::drawOverlayQuad(const OverlayQuad& corners, const Colour& colour)
{
    flushTerrain();
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glDisable(GL_TEXTURE_2D);
    if (colour.a < 1.0f)
        blendOver();
    else
        glDisable(GL_BLEND);
    glBegin(GL_QUADS);
    glColor4f(colour.r, colour.g, colour.b, colour.a);
    for (const OverlayPoint& corner : corners)
        overlayVertex(corner);
    glEnd();
}

// A crisp one-pixel outline, whatever line state the marble group left.
void GlRenderer::drawOverlayFrame(const OverlayQuad& corners, const Colour& colour)
{
    flushTerrain();
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
    glDisable(GL_FOG);
    glDisable(GL_LINE_SMOOTH);
    glLineWidth(float(target_.pixelScale()));
    glBegin(GL_LINE_LOOP);
    glColor3f(colour.r, colour.g, colour.b);
    for (const OverlayPoint& corner : corners)
        overlayVertex(corner);
    glEnd();
}

void GlRenderer::blitPicture(const uint8_t* pixels)
{
    flushTerrain();
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glDisable(GL_BLEND);
    glDisable(GL_FOG);
    glDisable(GL_TEXTURE_2D);
    // The bottom-left corner of the game's screen.
    glRasterPos2f(-1.0f, -1.0f);
    glDrawPixels(kScreenWidth, kScreenHeight, GL_RGB, GL_UNSIGNED_BYTE, pixels);
}
