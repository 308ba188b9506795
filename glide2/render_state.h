#pragma once

// Everything grGlideGetState saves: the card's mode registers. It is plain
// bytes so that a GrState copy on the caller's stack can hold it.

#include <cstdint>
#include <type_traits>

struct CombineUnitState {
    std::uint8_t function;
    std::uint8_t factor;
    std::uint8_t local;
    std::uint8_t other;
    std::uint8_t invert;
};

struct TmuState {
    std::uint32_t mipmap; // current guTexSource id, or the null handle
    std::uint8_t rgbFunction, rgbFactor, alphaFunction, alphaFactor, rgbInvert, alphaInvert;
    std::uint8_t sClamp, tClamp, minFilter, magFilter, mipmapMode;
    std::int8_t largeLod, smallLod, aspect, format;
    std::int8_t lodBiasQuarters;
};

struct RenderState {
    CombineUnitState color;
    CombineUnitState alpha;
    TmuState tmu;
    std::uint8_t blend[4];       // rgb src, rgb dst, alpha src, alpha dst
    std::uint32_t constantColor; // GrColor_t as given
    std::uint32_t fogColor;      // GrColor_t as given
    std::int32_t fogMode;
    std::uint8_t depthMode, depthFunction, depthMask, cullMode;
    std::uint8_t origin, renderBuffer, colorMask, ditherMode;
    std::uint8_t colorFormat;
    std::int16_t depthBias;
    std::int16_t clipMinX, clipMinY, clipMaxX, clipMaxY;
    std::uint32_t hints[4];
    std::uint8_t lfbConstantAlpha;
    std::uint16_t lfbConstantDepth;
};

static_assert(std::is_trivially_copyable_v<RenderState>);
static_assert(sizeof(RenderState) <= 312, "must fit GrState");
