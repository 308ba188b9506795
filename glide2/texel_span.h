#pragma once

// The terrain's pixels, eight at a time: colour = texel from one mip level,
// optional table fog and w-buffer, no blending. Every lane computes what the
// one-pixel pipeline computes, bit for bit.

#include <cstdint>

// What stays fixed for every span of a triangle.
struct TexelSpanModes {
    const std::uint32_t* fogEntries; // fog table | step << 8, 64 entries
    int fogKind;                     // 0 plain, 1 GR_FOG_MULT2, 2 GR_FOG_ADD2
    int fogR, fogG, fogB;
    int depthBias, depthFunction;
    bool depthWrite, colorWrite;
    bool sWrap, tWrap;
    bool dithered; // false: the dither entries are 16
};

// One mip level and its filter.
struct TexelSpanLevel {
    const std::uint32_t* base;
    float scale; // texture-space units to 1/16 texels
    int shift, widthMask, heightMask;
    bool bilinear;
};

// Pixels [from, to) of one row; the values are interpolated from x0 where
// 1/w = oow, s/w = sow and t/w = tow.
struct TexelSpanRun {
    std::uint16_t* color; // the row, column 0
    std::uint16_t* depth;
    const std::uint8_t* ditherRow; // 4 entries, 16 for no dither
    int x0, from, to;
    int rowWidth; // pixels in the row: lanes past it are neither read nor written
    float oow, doow, sow, dsow, tow, dtow;
};

// Draws one run; no pixel outside [from, to) changes.
typedef void (*TexelSpanFunction)(const TexelSpanModes& modes, const TexelSpanLevel& level, const TexelSpanRun& run);

// Up to eight pixels of one triangle in pieces of rows (the short rows and
// the ends of long ones), so that a small triangle fills whole lane groups.
// Each pixel keeps its row's values at the row's first pixel and its distance
// from there, and comes out exactly as in a run of that row.
struct TexelLanes {
    struct Piece {
        std::int32_t pixel;   // index of its first pixel in the colour and depth buffers (rows of 4n pixels)
        std::int32_t length;
        float step;           // pixels from the row's first pixel to the piece's
        float oow, sow, tow;  // at the row's first pixel
        std::uint32_t dither; // the row's four dither entries, one a byte, by x & 3
    };
    int count = 0; // pixels, at most 8
    int pieces = 0;
    Piece piece[8];
};

// Draws the lanes; the steps along x of 1/w, s/w and t/w are the triangle's.
typedef void (*TexelLanesFunction)(const TexelSpanModes& modes, const TexelSpanLevel& level, std::uint16_t* color,
                                   std::uint16_t* depth, float doow, float dsow, float dtow, const TexelLanes& lanes);

// The loops for this processor with the fog and depth stages on or off.
TexelSpanFunction texelSpanFunction(bool fog, bool depth);
TexelLanesFunction texelLanesFunction(bool fog, bool depth);

// Tests compare the builds: true draws with the loops for any processor, false
// with the widest this one runs (the default).
void glide2UsePortablePixelLoops(bool portable);
// And against the one-pixel pipeline: true draws every pixel through it.
void glide2UseOnePixelLoop(bool onePixel);
