#pragma once

// Texels of every format the card samples, expanded to 0xAARRGGBB as its
// texture units do before filtering.

#include "glide2/glide.h"

#include <cstdint>

inline std::uint32_t argb(std::uint32_t a, std::uint32_t r, std::uint32_t g, std::uint32_t b)
{
    return (a << 24) | (r << 16) | (g << 8) | b;
}

inline std::uint32_t decode332(std::uint32_t v)
{
    std::uint32_t r3 = (v >> 5) & 7, g3 = (v >> 2) & 7, b2 = v & 3;
    return argb(0xFF, (r3 << 5) | (r3 << 2) | (r3 >> 1), (g3 << 5) | (g3 << 2) | (g3 >> 1), b2 * 0x55);
}

// Texel v (a byte or a host-order 16-bit value) of a format the card decodes;
// formats it does not decode give 0.
inline std::uint32_t decodeTexel(int format, std::uint32_t v)
{
    switch (format) {
    case GR_TEXFMT_RGB_332:
        return decode332(v);
    case GR_TEXFMT_ALPHA_8:
        return argb(v, v, v, v);
    case GR_TEXFMT_INTENSITY_8:
        return argb(0xFF, v, v, v);
    case GR_TEXFMT_ALPHA_INTENSITY_44: {
        std::uint32_t a = (v >> 4) * 17, i = (v & 15) * 17;
        return argb(a, i, i, i);
    }
    case GR_TEXFMT_ARGB_8332:
        return (decode332(v & 0xFF) & 0x00FFFFFF) | ((v >> 8) << 24);
    case GR_TEXFMT_RGB_565: {
        std::uint32_t r = v >> 11, g = (v >> 5) & 0x3F, b = v & 0x1F;
        return argb(0xFF, (r << 3) | (r >> 2), (g << 2) | (g >> 4), (b << 3) | (b >> 2));
    }
    case GR_TEXFMT_ARGB_1555: {
        std::uint32_t r = (v >> 10) & 0x1F, g = (v >> 5) & 0x1F, b = v & 0x1F;
        return argb((v & 0x8000) ? 0xFF : 0, (r << 3) | (r >> 2), (g << 3) | (g >> 2), (b << 3) | (b >> 2));
    }
    case GR_TEXFMT_ARGB_4444:
        return argb(((v >> 12) & 15) * 17, ((v >> 8) & 15) * 17, ((v >> 4) & 15) * 17, (v & 15) * 17);
    case GR_TEXFMT_ALPHA_INTENSITY_88: {
        std::uint32_t i = v & 0xFF;
        return argb(v >> 8, i, i, i);
    }
    default:
        return 0;
    }
}

inline bool textureFormatDecoded(int format)
{
    switch (format) {
    case GR_TEXFMT_RGB_332:
    case GR_TEXFMT_ALPHA_8:
    case GR_TEXFMT_INTENSITY_8:
    case GR_TEXFMT_ALPHA_INTENSITY_44:
    case GR_TEXFMT_ARGB_8332:
    case GR_TEXFMT_RGB_565:
    case GR_TEXFMT_ARGB_1555:
    case GR_TEXFMT_ARGB_4444:
    case GR_TEXFMT_ALPHA_INTENSITY_88:
        return true;
    default:
        return false;
    }
}
