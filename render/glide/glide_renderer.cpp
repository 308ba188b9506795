#include "render/glide/glide_renderer.h"

#include "files/data_paths.h"
#include "game/options.h"
#include "glide2/presenter.h"
#include "glide2/swap_pacing.h"
#include "glide2/tdf_reader.h"
#include "render/glide/glide_vertex.h"

#include <cmath>
#include <cstdio>
#include <memory>

namespace {

constexpr float kFogNear = 400.0f;
constexpr float kFogFar = 1800.0f;
constexpr FxU16 kDepthFarthest = 0xffff;
// The ghost and the glyphs take their opacity and colour as bytes.
constexpr float kOpaque = 255.0f;

FxU32 byteOf(float unit)
{
    if (!(unit > 0.0f))
        return 0;
    if (unit >= 1.0f)
        return 255;
    return static_cast<FxU32>(std::lround(unit * 255.0f));
}

GrColor_t packColour(float r, float g, float b) { return (byteOf(r) << 16) | (byteOf(g) << 8) | byteOf(b); }

GrVertex terrainVertex(const ScreenVertex& v)
{
    GrVertex g{};
    g.x = v.x;
    g.y = v.y;
    g.a = kOpaque;
    g.oow = v.oow;
    g.tmuvtx[0].sow = v.s;
    g.tmuvtx[0].tow = v.t;
    g.tmuvtx[0].oow = v.oow;
    return g;
}

// The bias puts the position on the card's 1/16-pixel grid.
GrVertex shadedVertex(const ScreenVertex& v, float alpha)
{
    GrVertex g{};
    g.x = v.x + kSnapBias;
    g.y = v.y + kSnapBias;
    g.r = v.r * 255.0f;
    g.g = v.g * 255.0f;
    g.b = v.b * 255.0f;
    g.a = alpha;
    g.oow = v.oow;
    g.tmuvtx[0].oow = v.oow;
    return g;
}

// The yellow of the "Normal" arrows, opaque.
GrVertex arrowVertex(float x, float y, float w)
{
    GrVertex g{};
    g.x = x + kSnapBias;
    g.y = y + kSnapBias;
    g.r = 128.0f;
    g.g = 128.0f;
    g.b = 0.0f;
    g.a = kOpaque;
    g.oow = 1.0f / w;
    g.tmuvtx[0].oow = g.oow;
    return g;
}

GrVertex overlayVertex(float x, float y, float r, float g, float b, float a)
{
    GrVertex v{};
    v.x = x;
    v.y = y;
    v.r = r;
    v.g = g;
    v.b = b;
    v.a = a;
    v.oow = 1.0f;
    v.tmuvtx[0].oow = 1.0f;
    return v;
}

bool sameLayout(const Gu3dfHeader& a, const Gu3dfHeader& b)
{
    return a.width == b.width && a.height == b.height && a.small_lod == b.small_lod && a.large_lod == b.large_lod &&
           a.aspect_ratio == b.aspect_ratio && a.format == b.format;
}

} // namespace

bool GlideRenderer::prepareTerrainVertex(ScreenVertex& v) { return prepareGlideTerrainVertex(v); }

void GlideRenderer::clearFrame(float r, float g, float b) { grBufferClear(packColour(r, g, b), 0, kDepthFarthest); }

void GlideRenderer::present() { grBufferSwap(1); }

// Unpaced (ORBIVALE_NO_VSYNC), the card has no retrace to wait for; a still
// screen still waits for an event, up to a refresh period of the 60 Hz mode.
double GlideRenderer::secondsToNextRefresh() { return glide2SwapWait() ? glide2SecondsToNextRetrace() : 1.0 / 60.0; }

void GlideRenderer::setFog(bool on)
{
    fogOn_ = on;
    grFogMode(on ? GR_FOG_WITH_TABLE : GR_FOG_DISABLE);
}

void GlideRenderer::setFogColour(uint32_t colour) { grFogColorValue(colour); }

void GlideRenderer::textureRefused(const std::string& path, const char* why)
{
    std::fprintf(stderr, "Orbivale: %s: %s\n", path.c_str(), why);
}

bool GlideRenderer::downloadTexture(const std::string& name, GrMipMapId_t* handle, Gu3dfHeader* reserved)
{
    // The card reads the file itself; where it is, the game's search path says.
    std::string path = dataFilePath(name);
    auto refuse = [&](const char* why) {
        textureRefused(path, why);
        return false;
    };
    Gu3dfInfo info{};
    if (!gu3dfGetInfo(path.c_str(), &info))
        return refuse(tdfLastProblem());
    std::unique_ptr<FxU8[]> data(new (std::nothrow) FxU8[info.mem_required ? info.mem_required : 1]);
    if (!data)
        return refuse("out of memory for its texels");
    info.data = data.get();
    if (!gu3dfLoad(path.c_str(), &info))
        return refuse(tdfLastProblem());
    if (*handle == GR_NULL_MIPMAP_HANDLE) {
        const Gu3dfHeader& h = info.header;
        *handle = guTexAllocateMemory(GR_TMU0, GR_MIPMAPLEVELMASK_BOTH, static_cast<int>(h.width),
                                      static_cast<int>(h.height), h.format, GR_MIPMAP_NEAREST, h.small_lod,
                                      h.large_lod, h.aspect_ratio, GR_TEXTURECLAMP_WRAP, GR_TEXTURECLAMP_WRAP,
                                      GR_TEXTUREFILTER_BILINEAR, GR_TEXTUREFILTER_BILINEAR, 0.0f, FXFALSE);
        if (*handle == GR_NULL_MIPMAP_HANDLE)
            return refuse("the card has no room for it");
        *reserved = h;
    } else if (!sameLayout(info.header, *reserved)) {
        // The memory was sized for the first texture: a texture of another
        // size or format would be written past it or read wrongly.
        return refuse("its size or format differs from the first texture of its kind");
    }
    guTexDownloadMipMap(*handle, info.data, &info.table.nccTable);
    return true;
}

bool GlideRenderer::loadLevelTexture(const std::string& path)
{
    return downloadTexture(path, &levelTexture_, &levelTextureHeader_);
}

bool GlideRenderer::loadFontTexture(const std::string& path)
{
    return downloadTexture(path, &fontTexture_, &fontTextureHeader_);
}

void GlideRenderer::beginTerrain()
{
    grGlideGetState(&groupState_);
    grColorCombine(GR_COMBINE_FUNCTION_SCALE_OTHER, GR_COMBINE_FACTOR_ONE, GR_COMBINE_LOCAL_CONSTANT,
                   GR_COMBINE_OTHER_TEXTURE, FXFALSE);
    grTexCombine(GR_TMU0, GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_NONE, GR_COMBINE_FUNCTION_LOCAL,
                 GR_COMBINE_FACTOR_NONE, FXFALSE, FXFALSE);
    if (levelTexture_ != GR_NULL_MIPMAP_HANDLE)
        guTexSource(levelTexture_);
}

void GlideRenderer::endTerrain() { grGlideSetState(&groupState_); }

void GlideRenderer::beginText()
{
    // The text state needs the string's colour, which comes with its first
    // glyph; a string without glyphs changes nothing.
    grGlideGetState(&groupState_);
    textStateSet_ = false;
}

void GlideRenderer::endText()
{
    if (textStateSet_)
        grGlideSetState(&groupState_);
    textStateSet_ = false;
}

void GlideRenderer::drawTerrainTriangle(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c)
{
    GrVertex va = terrainVertex(a), vb = terrainVertex(b), vc = terrainVertex(c);
    grDrawTriangle(&va, &vb, &vc);
}

void GlideRenderer::drawMarbleTriangle(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c)
{
    GrVertex va = shadedVertex(a, kOpaque), vb = shadedVertex(b, kOpaque), vc = shadedVertex(c, kOpaque);
    grAADrawTriangle(&va, &vb, &vc, FXFALSE, FXTRUE, FXFALSE);
}

void GlideRenderer::drawGhostTriangle(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c,
                                      float opacity)
{
    float alpha = static_cast<float>(byteOf(opacity));
    GrVertex va = shadedVertex(a, alpha), vb = shadedVertex(b, alpha), vc = shadedVertex(c, alpha);
    grAADrawTriangle(&va, &vb, &vc, FXFALSE, FXTRUE, FXFALSE);
}

void GlideRenderer::drawArrow(const ProjectedPoint& tail, const ProjectedPoint& tip)
{
    float theta = std::atan2(tip.y - tail.y, tip.x - tail.x);
    float dx = std::cos(theta + 1.5708f), dy = std::sin(theta + 1.5708f);
    float leftAngle = theta + 3.1416f - 0.3927f, rightAngle = theta + 3.5343f;

    GrVertex from = arrowVertex(tail.x, tail.y, tail.w);
    GrVertex to = arrowVertex(tip.x, tip.y, tip.w);
    GrVertex toSide = arrowVertex(tip.x + dx, tip.y + dy, tip.w);
    GrVertex fromSide = arrowVertex(tail.x + dx, tail.y + dy, tail.w);
    GrVertex headLeft = arrowVertex(tip.x + 10.0f * std::cos(leftAngle), tip.y + 10.0f * std::sin(leftAngle), tip.w);
    GrVertex headRight = arrowVertex(tip.x + 10.0f * std::cos(rightAngle), tip.y + 10.0f * std::sin(rightAngle),
                                     tip.w);

    grCullMode(GR_CULL_DISABLE);
    grAADrawTriangle(&from, &to, &toSide, FXTRUE, FXFALSE, FXFALSE);
    grAADrawTriangle(&from, &toSide, &fromSide, FXFALSE, FXTRUE, FXFALSE);
    grAADrawTriangle(&to, &headRight, &headLeft, FXTRUE, FXTRUE, FXTRUE);
    grCullMode(GR_CULL_POSITIVE);
}

void GlideRenderer::drawGlyph(const OverlayRect& quad, const GlyphBox& box, const Colour& colour)
{
    GrColor_t packed = packColour(colour.r, colour.g, colour.b);
    if (!textStateSet_) {
        grConstantColorValue(packed);
        grDepthBufferMode(GR_DEPTHBUFFER_DISABLE);
        grColorCombine(GR_COMBINE_FUNCTION_SCALE_OTHER, GR_COMBINE_FACTOR_ONE, GR_COMBINE_LOCAL_CONSTANT,
                       GR_COMBINE_OTHER_CONSTANT, FXFALSE);
        grTexCombine(GR_TMU0, GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_NONE, GR_COMBINE_FUNCTION_LOCAL,
                     GR_COMBINE_FACTOR_NONE, FXFALSE, FXFALSE);
        grAlphaCombine(GR_COMBINE_FUNCTION_SCALE_OTHER, GR_COMBINE_FACTOR_ONE, GR_COMBINE_LOCAL_CONSTANT,
                       GR_COMBINE_OTHER_TEXTURE, FXFALSE);
        grAlphaBlendFunction(GR_BLEND_SRC_ALPHA, GR_BLEND_ONE_MINUS_SRC_ALPHA, GR_BLEND_ZERO, GR_BLEND_ZERO);
        grSstOrigin(GR_ORIGIN_UPPER_LEFT);
        grCullMode(GR_CULL_DISABLE);
        if (fontTexture_ != GR_NULL_MIPMAP_HANDLE)
            guTexSource(fontTexture_);
        textStateSet_ = true;
        textColour_ = packed;
    } else if (packed != textColour_) {
        grConstantColorValue(packed);
        textColour_ = packed;
    }

    GrVertex corners[4];
    const float xs[4] = {quad.left, quad.right, quad.right, quad.left};
    const float ys[4] = {quad.top, quad.top, quad.bottom, quad.bottom};
    const float ss[4] = {box.left, box.right, box.right, box.left};
    const float ts[4] = {box.top, box.top, box.bottom, box.bottom};
    for (int i = 0; i < 4; ++i) {
        corners[i] = overlayVertex(xs[i], ys[i], 0.0f, 0.0f, 0.0f, kOpaque);
        corners[i].tmuvtx[0].sow = ss[i];
        corners[i].tmuvtx[0].tow = ts[i];
    }
    grDrawTriangle(&corners[0], &corners[1], &corners[2]);
    grDrawTriangle(&corners[0], &corners[2], &corners[3]);
}

void GlideRenderer::drawOverlayQuad(const OverlayQuad& corners, const Colour& colour)
{
    GrState saved;
    grGlideGetState(&saved);
    grDisableAllEffects();
    // Clearing every effect also clears blending; a translucent quad needs it
    // back, and overlay points count from the top-left corner in any state.
    grColorCombine(GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_NONE, GR_COMBINE_LOCAL_ITERATED, GR_COMBINE_OTHER_NONE,
                   FXFALSE);
    grAlphaCombine(GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_NONE, GR_COMBINE_LOCAL_ITERATED, GR_COMBINE_OTHER_NONE,
                   FXFALSE);
    if (colour.a < 1.0f)
        grAlphaBlendFunction(GR_BLEND_SRC_ALPHA, GR_BLEND_ONE_MINUS_SRC_ALPHA, GR_BLEND_ZERO, GR_BLEND_ZERO);
    grSstOrigin(GR_ORIGIN_UPPER_LEFT);
    grCullMode(GR_CULL_DISABLE);

    float r = static_cast<float>(byteOf(colour.r)), g = static_cast<float>(byteOf(colour.g));
    float b = static_cast<float>(byteOf(colour.b)), a = static_cast<float>(byteOf(colour.a));
    GrVertex v[4];
    for (int i = 0; i < 4; ++i)
        v[i] = overlayVertex(corners[i].x, corners[i].y, r, g, b, a);
    grDrawTriangle(&v[0], &v[1], &v[2]);
    grDrawTriangle(&v[0], &v[2], &v[3]);
    grGlideSetState(&saved);
}

void GlideRenderer::blitPicture(const uint8_t* pixels)
{
    GrLfbInfo_t info{};
    info.size = sizeof info;
    if (!grLfbLock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER, GR_LFBWRITEMODE_888, GR_ORIGIN_LOWER_LEFT, FXFALSE, &info))
        return;
    auto* words = static_cast<uint32_t*>(info.lfbPtr);
    const size_t wordsPerRow = info.strideInBytes / 4;
    for (int i = 0; i < kScreenHeight; ++i) {
        const uint8_t* row = pixels + static_cast<size_t>(i) * kScreenWidth * 3;
        uint32_t* out = words + static_cast<size_t>(i) * wordsPerRow;
        for (int j = 0; j < kScreenWidth; ++j) {
            const uint8_t* p = row + j * 3;
            out[j] = (uint32_t(p[0]) << 16) | (uint32_t(p[1]) << 8) | uint32_t(p[2]);
        }
    }
    grLfbUnlock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER);
}

namespace {

void presentToWindow(void* window, const std::uint32_t* pixels, int width, int height)
{
    if (width == kScreenWidth && height == kScreenHeight)
        static_cast<FrameWindow*>(window)->presentSoftwareFrame(pixels);
}

} // namespace

bool GlideRenderer::startGraphics()
{
    // Without a place for its frames the card is not there: the query below
    // then reports no card.
    if (frameWindow_) {
        bool surface = frameWindow_->hasFrameSurface();
        glide2SetPresenter(surface ? &presentToWindow : nullptr, surface ? frameWindow_ : nullptr);
    }
    grGlideInit();
    GrHwConfiguration hardware;
    if (!grSstQueryHardware(&hardware))
        return false;
    grSstSelect(0);
    grSstWinOpen(window_, GR_RESOLUTION_640x480, GR_REFRESH_60Hz, GR_COLORFORMAT_ARGB, GR_ORIGIN_LOWER_LEFT, 2, 1);
    screenActive_ = true;

    grColorCombine(GR_COMBINE_FUNCTION_SCALE_OTHER, GR_COMBINE_FACTOR_LOCAL_ALPHA, GR_COMBINE_LOCAL_CONSTANT,
                   GR_COMBINE_OTHER_ITERATED, FXFALSE);
    grAlphaCombine(GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_NONE, GR_COMBINE_LOCAL_ITERATED,
                   GR_COMBINE_OTHER_CONSTANT, FXFALSE);
    grAlphaBlendFunction(GR_BLEND_SRC_ALPHA, GR_BLEND_ONE_MINUS_SRC_ALPHA, GR_BLEND_ZERO, GR_BLEND_ZERO);
    grDepthBufferMode(GR_DEPTHBUFFER_WBUFFER);
    grDepthBufferFunction(GR_CMP_LESS);
    grDepthMask(FXTRUE);
    grRenderBuffer(GR_BUFFER_BACKBUFFER);
    grBufferClear(0, 0, kDepthFarthest);
    grCullMode(GR_CULL_POSITIVE);
    grClipWindow(0, 0, kScreenWidth, kScreenHeight);

    guFogGenerateLinear(fogTable_, kFogNear, kFogFar);
    grFogTable(fogTable_);
    setFog(fogOn);

    grTexFilterMode(GR_TMU0, GR_TEXTUREFILTER_BILINEAR, GR_TEXTUREFILTER_BILINEAR);
    return true;
}

void GlideRenderer::releaseDisplay()
{
    grSstControl(GR_CONTROL_DEACTIVATE);
    screenActive_ = false;
}

void GlideRenderer::suspendGraphics()
{
    grGlideGetState(&focusState_);
    grSstControl(GR_CONTROL_DEACTIVATE);
    screenActive_ = false;
}

void GlideRenderer::resumeGraphics()
{
    grGlideSetState(&focusState_);
    grSstControl(GR_CONTROL_ACTIVATE);
    screenActive_ = true;
}

void GlideRenderer::shutdownGraphics()
{
    // The window must not show the card's last frame once the card is gone.
    if (frameWindow_)
        frameWindow_->presentSoftwareFrame(nullptr);
    grGlideShutdown();
    if (frameWindow_)
        glide2SetPresenter(nullptr, nullptr);
    screenActive_ = false;
    // A card that starts again has empty texture memory.
    levelTexture_ = GR_NULL_MIPMAP_HANDLE;
    fontTexture_ = GR_NULL_MIPMAP_HANDLE;
}
