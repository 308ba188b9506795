#pragma once

// What one pixel goes through after coverage: texture fetch and filtering,
// the texture, colour and alpha combine units, fog and alpha blending.

#include "glide2/pipeline.h"
#include "glide2/w_value.h"

#include <bit>
#include <cstdint>

// round(256 * log2(1 + m / 256)) for the top 8 mantissa bits of a float.
extern std::uint8_t log2Fraction[256];

inline int fastFloor(float f)
{
    int i = static_cast<int>(f);
    return i - (f < static_cast<float>(i));
}

inline int clampInt(int v, int lo, int hi) { return v < lo ? lo : (v > hi ? hi : v); }

inline float clampCoordinate(float v)
{
    // Far outside any map; keeps the integer conversion defined.
    constexpr float limit = 1073741824.0f;
    return v > -limit ? (v < limit ? v : limit) : -limit; // not-a-number too
}

// The level of detail at one pixel, in 1/256 steps, before clamping.
[[gnu::always_inline]] inline int levelOfDetail(const TextureView& t, int baseLod256, float oow)
{
    if (!(oow > 0.0f))
        return t.maxLod256;
    std::uint32_t bits = __builtin_bit_cast(std::uint32_t, oow);
    int log2Oow = (static_cast<int>(bits >> 23) - 127) * 256 + log2Fraction[(bits >> 15) & 0xFF];
    return baseLod256 - log2Oow + t.bias256;
}

// One mip level with its addressing and filter, fixed for a run of pixels.
struct LevelView {
    const std::uint32_t* base;
    float scale;
    int shift, widthMask, heightMask;
    bool bilinear, sWrap, tWrap;
};

[[gnu::always_inline]] inline LevelView levelViewFor(const TextureView& t, int lod, int& lodFraction)
{
    bool magnified = lod <= t.minLod256;
    lod = clampInt(lod, t.minLod256, t.maxLod256);
    int level = lod >> 8;
    lodFraction = lod & 0xFF;
    return {t.texels + t.offset[level],
            t.scale16[level],
            t.widthShift[level],
            t.widthMask[level],
            t.heightMask[level],
            magnified ? t.magBilinear : t.minBilinear,
            t.sWrap,
            t.tWrap};
}

// The texel colour (0xAARRGGBB) at si, ti: texture coordinates in 1/16 texels
// of this level.
[[gnu::always_inline]] inline std::uint32_t fetchLevel(const LevelView& v, int si, int ti)
{
    int wm = v.widthMask, hm = v.heightMask;
    if (!v.bilinear) {
        int i = si >> 4, j = ti >> 4;
        i = v.sWrap ? (i & wm) : clampInt(i, 0, wm);
        j = v.tWrap ? (j & hm) : clampInt(j, 0, hm);
        return v.base[(j << v.shift) + i];
    }
    // Bilinear: texel centres sit half a texel in; 4 bits of fraction.
    si -= 8;
    ti -= 8;
    int i0 = si >> 4, j0 = ti >> 4;
    std::uint32_t fi = static_cast<std::uint32_t>(si & 15), fj = static_cast<std::uint32_t>(ti & 15);
    int i1 = i0 + 1, j1 = j0 + 1;
    if (v.sWrap) {
        i0 &= wm;
        i1 &= wm;
    } else {
        i0 = clampInt(i0, 0, wm);
        i1 = clampInt(i1, 0, wm);
    }
    if (v.tWrap) {
        j0 &= hm;
        j1 &= hm;
    } else {
        j0 = clampInt(j0, 0, hm);
        j1 = clampInt(j1, 0, hm);
    }
    const std::uint32_t* row0 = v.base + (j0 << v.shift);
    const std::uint32_t* row1 = v.base + (j1 << v.shift);
    std::uint32_t c00 = row0[i0], c10 = row0[i1], c01 = row1[i0], c11 = row1[i1];
    std::uint32_t w00 = (16 - fi) * (16 - fj), w10 = fi * (16 - fj), w01 = (16 - fi) * fj, w11 = fi * fj;
    std::uint32_t rb = (((c00 & 0xFF00FF) * w00 + (c10 & 0xFF00FF) * w10 + (c01 & 0xFF00FF) * w01 +
                         (c11 & 0xFF00FF) * w11) >>
                        8) &
                       0xFF00FF;
    std::uint32_t ag = (((c00 >> 8) & 0xFF00FF) * w00 + ((c10 >> 8) & 0xFF00FF) * w10 + ((c01 >> 8) & 0xFF00FF) * w01 +
                        ((c11 >> 8) & 0xFF00FF) * w11) &
                       0xFF00FF00;
    return rb | ag;
}

// The texel colour at texture-space s/w, t/w, 1/w in one level. A negative
// 1/w reads the texel at s = t = 0.
[[gnu::always_inline]] inline std::uint32_t sampleLevel(const LevelView& v, float oow, float sow, float tow)
{
    float w = oow > 0.0f ? v.scale / oow : 0.0f;
    return fetchLevel(v, fastFloor(clampCoordinate(sow * w)), fastFloor(clampCoordinate(tow * w)));
}

// The texel colour at one pixel, choosing its level there.
[[gnu::always_inline]] inline std::uint32_t sampleTexture(const TextureView& t, int baseLod256, float oow, float sow,
                                                          float tow, int& lodFraction)
{
    LevelView v = levelViewFor(t, levelOfDetail(t, baseLod256, oow), lodFraction);
    return sampleLevel(v, oow, sow, tow);
}

// One channel through a combine unit.
inline int combineChannel(const CombineOps& op, int other, int local, int localAlpha, int factor)
{
    int x = (op.useOther ? other : 0) - (op.subtractLocal ? local : 0);
    int f = op.oneMinus ? 255 - factor : factor;
    int y = (x * (f + 1)) >> 8;
    if (op.add == 1)
        y += local;
    else if (op.add == 2)
        y += localAlpha;
    y = clampInt(y, 0, 255);
    return op.invert ? 255 - y : y;
}

struct PixelColor {
    int r, g, b, a;
};

// Iterated values already clamped to 0..255; depthAlpha is the top byte of iterated z.
inline void combinePixel(const Pipeline& p, const PixelColor& iter, int depthAlpha, std::uint32_t texel,
                         int lodFraction, PixelColor& out)
{
    PixelColor tex;
    int texelA = static_cast<int>(texel >> 24);
    int texel3[3] = {static_cast<int>((texel >> 16) & 0xFF), static_cast<int>((texel >> 8) & 0xFF),
                     static_cast<int>(texel & 0xFF)};
    if (p.tmuIsTexel) {
        tex = {texel3[0], texel3[1], texel3[2], texelA};
    } else {
        // Nothing feeds our single texture unit: its "other" is 0.
        auto tmuFactor = [&](int sel, int channel) {
            switch (sel) {
            case 1:
                return channel;
            case 3:
                return texelA;
            case 5:
                return lodFraction;
            default:
                return 0;
            }
        };
        int t3[3];
        for (int c = 0; c < 3; ++c)
            t3[c] = combineChannel(p.tmuRgb, 0, texel3[c], texelA, tmuFactor(p.tmuRgb.factor, texel3[c]));
        tex = {t3[0], t3[1], t3[2],
               combineChannel(p.tmuAlpha, 0, texelA, texelA, tmuFactor(p.tmuAlpha.factor, texelA))};
    }

    int other[3], local[3];
    if (p.colorOther == GR_COMBINE_OTHER_ITERATED) {
        other[0] = iter.r, other[1] = iter.g, other[2] = iter.b;
    } else if (p.colorOther == GR_COMBINE_OTHER_TEXTURE) {
        other[0] = tex.r, other[1] = tex.g, other[2] = tex.b;
    } else {
        other[0] = p.constR, other[1] = p.constG, other[2] = p.constB;
    }
    if (p.colorLocal == GR_COMBINE_LOCAL_ITERATED) {
        local[0] = iter.r, local[1] = iter.g, local[2] = iter.b;
    } else {
        local[0] = p.constR, local[1] = p.constG, local[2] = p.constB;
    }
    int aLocal = p.alphaLocal == GR_COMBINE_LOCAL_ITERATED   ? iter.a
                 : p.alphaLocal == GR_COMBINE_LOCAL_CONSTANT ? p.constA
                                                             : depthAlpha;
    int aOther = p.alphaOther == GR_COMBINE_OTHER_ITERATED  ? iter.a
                 : p.alphaOther == GR_COMBINE_OTHER_TEXTURE ? tex.a
                                                            : p.constA;
    int rgb[3];
    for (int c = 0; c < 3; ++c) {
        int f;
        switch (p.color.factor) {
        case 1:
            f = local[c];
            break;
        case 2:
            f = aOther;
            break;
        case 3:
            f = aLocal;
            break;
        case 4:
            f = tex.a;
            break;
        default:
            f = 0;
            break;
        }
        rgb[c] = combineChannel(p.color, other[c], local[c], aLocal, f);
    }
    int fa;
    switch (p.alpha.factor) {
    case 1:
    case 3:
        fa = aLocal;
        break;
    case 2:
        fa = aOther;
        break;
    case 4:
        fa = tex.a;
        break;
    default:
        fa = 0;
        break;
    }
    out = {rgb[0], rgb[1], rgb[2], combineChannel(p.alpha, aOther, aLocal, aLocal, fa)};
}

// Table fog on RGB: the w value indexes 64 entries, interpolated in 1/256 steps.
[[gnu::always_inline]] inline void applyFog(const Pipeline& p, std::uint16_t wv, PixelColor& c)
{
    int index = wv >> 10;
    int fraction = (wv >> 2) & 0xFF;
    int f1 = card.fogTable[index] + ((card.fogDelta[index] * fraction) >> 10) + 1;
    if (p.fogMode & (GR_FOG_MULT2 | GR_FOG_ADD2)) {
        bool mult = (p.fogMode & GR_FOG_MULT2) != 0;
        c.r = clampInt(mult ? (p.fogR * f1) >> 8 : c.r - ((c.r * f1) >> 8), 0, 255);
        c.g = clampInt(mult ? (p.fogG * f1) >> 8 : c.g - ((c.g * f1) >> 8), 0, 255);
        c.b = clampInt(mult ? (p.fogB * f1) >> 8 : c.b - ((c.b * f1) >> 8), 0, 255);
        return;
    }
    c.r = clampInt(c.r + (((p.fogR - c.r) * f1) >> 8), 0, 255);
    c.g = clampInt(c.g + (((p.fogG - c.g) * f1) >> 8), 0, 255);
    c.b = clampInt(c.b + (((p.fogB - c.b) * f1) >> 8), 0, 255);
}

inline int blendFactor(int code, bool source, int channelSrc, int channelDst, int srcAlpha, int prefog)
{
    switch (code) {
    case GR_BLEND_ZERO:
        return 0;
    case GR_BLEND_SRC_ALPHA:
        return srcAlpha + 1;
    case GR_BLEND_SRC_COLOR:
        return (source ? channelDst : channelSrc) + 1;
    case GR_BLEND_DST_ALPHA:
        return 256; // no alpha planes: destination alpha reads 255
    case GR_BLEND_ONE:
        return 256;
    case GR_BLEND_ONE_MINUS_SRC_ALPHA:
        return 256 - srcAlpha;
    case GR_BLEND_ONE_MINUS_SRC_COLOR:
        return 256 - (source ? channelDst : channelSrc);
    case GR_BLEND_ONE_MINUS_DST_ALPHA:
        return 1;
    case GR_BLEND_ALPHA_SATURATE:
        return source ? (srcAlpha < 1 ? srcAlpha : 1) + 1 : prefog + 1;
    default:
        return 0;
    }
}

inline void blendPixel(const Pipeline& p, std::uint16_t dstPixel, const PixelColor& prefog, PixelColor& c)
{
    int d3[3];
    int r5 = dstPixel >> 11, g6 = (dstPixel >> 5) & 0x3F, b5 = dstPixel & 0x1F;
    d3[0] = (r5 << 3) | (r5 >> 2);
    d3[1] = (g6 << 2) | (g6 >> 4);
    d3[2] = (b5 << 3) | (b5 >> 2);
    int s3[3] = {c.r, c.g, c.b};
    int pf[3] = {prefog.r, prefog.g, prefog.b};
    int out[3];
    for (int k = 0; k < 3; ++k) {
        int sf = blendFactor(p.blendSrc, true, s3[k], d3[k], c.a, pf[k]);
        int df = blendFactor(p.blendDst, false, s3[k], d3[k], c.a, pf[k]);
        int v = ((s3[k] * sf) >> 8) + ((d3[k] * df) >> 8);
        out[k] = v > 255 ? 255 : v;
    }
    c.r = out[0];
    c.g = out[1];
    c.b = out[2];
}

inline bool depthPasses(int function, int value, int stored)
{
    int bit = value < stored ? 1 : (value == stored ? 2 : 4);
    return (function & bit) != 0;
}
