#pragma once

#include "files/bmp.h"

#include <cstdint>
#include <vector>

// Builds BMP file bytes for tests: 54 header bytes, then optional junk (which
// the declared pixel offset then skips), then the pixel rows given in file
// order (blue, green, red), packed, width * 3 bytes per row.
inline std::vector<uint8_t> makeBmp(int32_t width, int32_t height, const std::vector<uint8_t>& pixelRows,
                                    int bitsPerPixel = 24, uint32_t gapAfterHeader = 0)
{
    std::vector<uint8_t> out(54, 0);
    auto put32 = [&out](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i)
            out[at + i] = uint8_t(v >> (8 * i));
    };
    out[0] = 'B';
    out[1] = 'M';
    put32(2, uint32_t(54 + gapAfterHeader + pixelRows.size()));
    put32(10, 54 + gapAfterHeader);
    put32(14, 40);
    put32(18, uint32_t(width));
    put32(22, uint32_t(height));
    out[26] = 1;
    out[28] = uint8_t(bitsPerPixel);
    out[29] = uint8_t(bitsPerPixel >> 8);
    out.insert(out.end(), gapAfterHeader, 0xEE);
    out.insert(out.end(), pixelRows.begin(), pixelRows.end());
    return out;
}

// Rows of a width x height image where every pixel is the given blue, green, red.
inline std::vector<uint8_t> solidRows(int width, int height, uint8_t blue, uint8_t green, uint8_t red)
{
    std::vector<uint8_t> rows(bmpImageBytes(width, height), 0);
    for (int r = 0; r < height; ++r)
        for (int c = 0; c < width; ++c) {
            size_t at = (size_t(r) * width + c) * 3;
            rows[at] = blue;
            rows[at + 1] = green;
            rows[at + 2] = red;
        }
    return rows;
}
