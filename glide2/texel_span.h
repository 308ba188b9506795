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

// Up to eight pixels from pieces of rows (the short rows and the ends of long
// ones), of one triangle or of several drawn alike, so that small triangles
// fill whole lane groups. Each lane keeps its row's values at the row's first
// pixel, its triangle's steps along x and its distance from there, and comes
// out exactly as in a run of that row. No two lanes share a pixel; lanes past
// count hold values of earlier pixels (or 0) and are neither read nor written.
struct TexelLanes {
    int count = 0;
    std::int32_t pixel[8] = {};                  // index in the colour and depth buffers (rows of 4n pixels)
    float step[8] = {};                          // pixels from the row's first pixel
    float oow[8] = {}, sow[8] = {}, tow[8] = {}; // at the row's first pixel
    float doow[8] = {}, dsow[8] = {}, dtow[8] = {};
    std::int32_t dither[8] = {};
    // The runs of pixels in the lanes, [pieceFrom, pieceTo); the first
    // earlierPieces of them came from triangles drawn before the current one,
    // whose pixels must not be drawn before those.
    int pieces = 0, earlierPieces = 0;
    std::int32_t pieceFrom[8] = {}, pieceTo[8] = {};

    // Whether pixels [from, to) meet a piece of an earlier triangle.
    bool meetsEarlier(int from, int to) const
    {
        for (int n = 0; n < earlierPieces; ++n)
            if (pieceFrom[n] < to && from < pieceTo[n])
                return true;
        return false;
    }
};

// Draws the lanes.
typedef void (*TexelLanesFunction)(const TexelSpanModes& modes, const TexelSpanLevel& level, std::uint16_t* color,
                                   std::uint16_t* depth, const TexelLanes& lanes);

// One triangle whose pixels all read one level: where its rows are and its
// planes of 1/w, s/w and t/w (value at the origin and steps along x and y),
// from which each row's values at its first pixel are taken in double
// precision, as for a run.
struct TexelTriangle {
    std::uint16_t* color; // the buffers, pixel 0
    std::uint16_t* depth;
    const std::uint8_t (*dither)[4];
    bool lowerLeft;    // rows counted from the bottom
    int width, height; // of the buffers
    double originX, originY;
    double start[3], dx[3], dy[3]; // 1/w, s/w, t/w
    float doow, dsow, dtow;
};

// Draws rows [firstRow, firstRow + count) of the triangle, row i covering
// columns [left[i], right[i]) (none where left >= right; count at most 32,
// both arrays of a multiple of four entries):
// whole groups of eight at once, the rest into the lanes, which are drawn
// whenever they fill and keep what is left for the next rows or triangle.
typedef void (*TexelRowsFunction)(const TexelSpanModes& modes, const TexelSpanLevel& level, const TexelTriangle& t,
                                  int firstRow, int count, const int* left, const int* right, TexelLanes& lanes);

// The loops of one build with the fog and depth stages on or off.
struct TexelLoops {
    TexelSpanFunction span;
    TexelLanesFunction lanes;
    TexelRowsFunction rows;
};

// The loops for this processor.
const TexelLoops& texelLoops(bool fog, bool depth);

// Tests compare the builds: true draws with the loops for any processor, false
// with the widest this one runs (the default).
void glide2UsePortablePixelLoops(bool portable);
// And against the one-pixel pipeline: true draws every pixel through it.
void glide2UseOnePixelLoop(bool onePixel);
