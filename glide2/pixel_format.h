#pragma once

// RGB565 with the card's ordered dither, and back to 8 bits per channel.

#include <cstdint>

struct DitherTables {
    // [row of the dither matrix value 0..15, or 16 for no dither][8-bit value]
    std::uint16_t red[17][256];
    std::uint16_t green[17][256];
    std::uint16_t blue[17][256];
};

extern const DitherTables ditherTables;

// Matrix entries (0..15) per (y & 3, x & 3); 16 everywhere without dithering.
extern const std::uint8_t ditherMatrix4x4[4][4];
extern const std::uint8_t ditherMatrix2x2[4][4];
extern const std::uint8_t ditherMatrixNone[4][4];

const std::uint8_t (*ditherMatrixFor(int ditherMode))[4];

inline std::uint16_t packDithered(int d, int r, int g, int b)
{
    return static_cast<std::uint16_t>(ditherTables.red[d][r] | ditherTables.green[d][g] | ditherTables.blue[d][b]);
}

// 565 to 8-bit channels by replicating the top bits, so that a pixel read,
// blended with nothing and written back keeps its value under every dither.
inline void expand565(std::uint16_t p, int& r, int& g, int& b)
{
    int r5 = p >> 11, g6 = (p >> 5) & 0x3F, b5 = p & 0x1F;
    r = (r5 << 3) | (r5 >> 2);
    g = (g6 << 2) | (g6 >> 4);
    b = (b5 << 3) | (b5 >> 2);
}
