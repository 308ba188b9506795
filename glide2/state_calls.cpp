#include "glide2/card.h"

namespace {

bool validFunction(int f)
{
    return (f >= GR_COMBINE_FUNCTION_ZERO && f <= GR_COMBINE_FUNCTION_SCALE_MINUS_LOCAL_ADD_LOCAL) ||
           f == GR_COMBINE_FUNCTION_SCALE_MINUS_LOCAL_ADD_LOCAL_ALPHA;
}

// Factors the colour and alpha units take: zero, local, other alpha, local
// alpha, texture alpha and their "one minus" forms. TEXTURE_RGB and the
// reserved codes are not built.
bool validUnitFactor(int f)
{
    return (f >= GR_COMBINE_FACTOR_ZERO && f <= GR_COMBINE_FACTOR_TEXTURE_ALPHA) ||
           (f >= GR_COMBINE_FACTOR_ONE && f <= GR_COMBINE_FACTOR_ONE_MINUS_TEXTURE_ALPHA);
}

// 8 to 14 are reserved; 15 is alpha saturate as a source factor and the
// pre-fog colour as a destination factor.
bool validBlend(int f)
{
    return (f >= GR_BLEND_ZERO && f <= GR_BLEND_ONE_MINUS_DST_ALPHA) || f == GR_BLEND_ALPHA_SATURATE;
}

} // namespace

void grColorCombine(GrCombineFunction_t function, GrCombineFactor_t factor, GrCombineLocal_t local,
                    GrCombineOther_t other, FxBool invert)
{
    // The colour unit's local is iterated or constant; a depth local exists
    // only for alpha. Anything else leaves the unit as it was.
    if (!validFunction(function) || !validUnitFactor(factor) || local < GR_COMBINE_LOCAL_ITERATED ||
        local > GR_COMBINE_LOCAL_CONSTANT || other < GR_COMBINE_OTHER_ITERATED || other > GR_COMBINE_OTHER_CONSTANT)
        return;
    card.state.color = {static_cast<std::uint8_t>(function), static_cast<std::uint8_t>(factor),
                        static_cast<std::uint8_t>(local), static_cast<std::uint8_t>(other),
                        static_cast<std::uint8_t>(invert ? 1 : 0)};
    card.pipelineDirty = true;
}

void grAlphaCombine(GrCombineFunction_t function, GrCombineFactor_t factor, GrCombineLocal_t local,
                    GrCombineOther_t other, FxBool invert)
{
    if (!validFunction(function) || !validUnitFactor(factor) || local < GR_COMBINE_LOCAL_ITERATED ||
        local > GR_COMBINE_LOCAL_DEPTH || other < GR_COMBINE_OTHER_ITERATED || other > GR_COMBINE_OTHER_CONSTANT)
        return;
    card.state.alpha = {static_cast<std::uint8_t>(function), static_cast<std::uint8_t>(factor),
                        static_cast<std::uint8_t>(local), static_cast<std::uint8_t>(other),
                        static_cast<std::uint8_t>(invert ? 1 : 0)};
    card.pipelineDirty = true;
}

void grTexCombine(GrChipID_t tmu, GrCombineFunction_t rgbFunction, GrCombineFactor_t rgbFactor,
                  GrCombineFunction_t alphaFunction, GrCombineFactor_t alphaFactor, FxBool rgbInvert,
                  FxBool alphaInvert)
{
    // One texture unit; its factors are zero, local, other alpha (always 0,
    // nothing feeds it), local alpha, the LOD fraction and the "one minus"
    // forms. The detail factor is not built.
    auto validTmuFactor = [](int f) {
        return f == GR_COMBINE_FACTOR_ZERO || f == GR_COMBINE_FACTOR_LOCAL || f == GR_COMBINE_FACTOR_OTHER_ALPHA ||
               f == GR_COMBINE_FACTOR_LOCAL_ALPHA || f == GR_COMBINE_FACTOR_LOD_FRACTION ||
               f == GR_COMBINE_FACTOR_ONE || f == GR_COMBINE_FACTOR_ONE_MINUS_LOCAL ||
               f == GR_COMBINE_FACTOR_ONE_MINUS_OTHER_ALPHA || f == GR_COMBINE_FACTOR_ONE_MINUS_LOCAL_ALPHA ||
               f == GR_COMBINE_FACTOR_ONE_MINUS_LOD_FRACTION;
    };
    if (tmu != GR_TMU0 || !validFunction(rgbFunction) || !validFunction(alphaFunction) || !validTmuFactor(rgbFactor) ||
        !validTmuFactor(alphaFactor))
        return;
    TmuState& t = card.state.tmu;
    t.rgbFunction = static_cast<std::uint8_t>(rgbFunction);
    t.rgbFactor = static_cast<std::uint8_t>(rgbFactor);
    t.alphaFunction = static_cast<std::uint8_t>(alphaFunction);
    t.alphaFactor = static_cast<std::uint8_t>(alphaFactor);
    t.rgbInvert = rgbInvert ? 1 : 0;
    t.alphaInvert = alphaInvert ? 1 : 0;
    card.pipelineDirty = true;
}

void grAlphaBlendFunction(GrAlphaBlendFnc_t rgbSf, GrAlphaBlendFnc_t rgbDf, GrAlphaBlendFnc_t alphaSf,
                          GrAlphaBlendFnc_t alphaDf)
{
    if (!validBlend(rgbSf) || !validBlend(rgbDf))
        return;
    // Without alpha planes only (ONE, ZERO) is meaningful for alpha; the card
    // forces it.
    (void)alphaSf;
    (void)alphaDf;
    card.state.blend[0] = static_cast<std::uint8_t>(rgbSf);
    card.state.blend[1] = static_cast<std::uint8_t>(rgbDf);
    card.state.blend[2] = GR_BLEND_ONE;
    card.state.blend[3] = GR_BLEND_ZERO;
    card.pipelineDirty = true;
}

void grConstantColorValue(GrColor_t value)
{
    card.state.constantColor = value;
    card.pipelineDirty = true;
}

void grDisableAllEffects(void)
{
    RenderState& s = card.state;
    s.blend[0] = GR_BLEND_ONE;
    s.blend[1] = GR_BLEND_ZERO;
    s.blend[2] = GR_BLEND_ONE;
    s.blend[3] = GR_BLEND_ZERO;
    s.depthBias = 0;
    s.depthMode = GR_DEPTHBUFFER_DISABLE;
    s.fogMode = GR_FOG_DISABLE;
    card.pipelineDirty = true;
}

void grColorMask(FxBool rgb, FxBool)
{
    // Alpha planes share the aux buffer with depth; our card keeps depth there.
    card.state.colorMask = rgb ? 1 : 0;
    card.pipelineDirty = true;
}

void grDitherMode(GrDitherMode_t mode)
{
    if (mode < GR_DITHER_DISABLE || mode > GR_DITHER_4x4)
        return;
    card.state.ditherMode = static_cast<std::uint8_t>(mode);
    card.pipelineDirty = true;
}

void grDepthBufferMode(GrDepthBufferMode_t mode)
{
    // The compare-to-bias modes are not built; they leave the mode unchanged.
    if (mode != GR_DEPTHBUFFER_DISABLE && mode != GR_DEPTHBUFFER_ZBUFFER && mode != GR_DEPTHBUFFER_WBUFFER)
        return;
    card.state.depthMode = static_cast<std::uint8_t>(mode);
    card.pipelineDirty = true;
}

void grDepthBufferFunction(GrCmpFnc_t function)
{
    if (function < GR_CMP_NEVER || function > GR_CMP_ALWAYS)
        return;
    card.state.depthFunction = static_cast<std::uint8_t>(function);
    card.pipelineDirty = true;
}

void grDepthMask(FxBool enable)
{
    card.state.depthMask = enable ? 1 : 0;
    card.pipelineDirty = true;
}

void grDepthBiasLevel(FxI16 level)
{
    card.state.depthBias = level;
    card.pipelineDirty = true;
}

void grCullMode(GrCullMode_t mode)
{
    if (mode < GR_CULL_DISABLE || mode > GR_CULL_POSITIVE)
        return;
    card.state.cullMode = static_cast<std::uint8_t>(mode);
}

void grClipWindow(FxU32 minx, FxU32 miny, FxU32 maxx, FxU32 maxy)
{
    if (maxx > static_cast<FxU32>(screenWidth))
        maxx = screenWidth;
    if (maxy > static_cast<FxU32>(screenHeight))
        maxy = screenHeight;
    if (minx > maxx)
        minx = maxx;
    if (miny > maxy)
        miny = maxy;
    RenderState& s = card.state;
    s.clipMinX = static_cast<std::int16_t>(minx);
    s.clipMinY = static_cast<std::int16_t>(miny);
    s.clipMaxX = static_cast<std::int16_t>(maxx);
    s.clipMaxY = static_cast<std::int16_t>(maxy);
}

void grSstOrigin(GrOriginLocation_t origin)
{
    if (origin != GR_ORIGIN_UPPER_LEFT && origin != GR_ORIGIN_LOWER_LEFT)
        return;
    card.state.origin = static_cast<std::uint8_t>(origin);
}

void grRenderBuffer(GrBuffer_t buffer)
{
    if (buffer != GR_BUFFER_FRONTBUFFER && buffer != GR_BUFFER_BACKBUFFER)
        return;
    card.state.renderBuffer = static_cast<std::uint8_t>(buffer);
}
