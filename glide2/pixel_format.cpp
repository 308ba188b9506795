#include "glide2/pixel_format.h"

#include "glide2/glide.h"

namespace {

constexpr DitherTables buildDitherTables()
{
    DitherTables t{};
    for (int d = 0; d <= 16; ++d) {
        for (int v = 0; v < 256; ++v) {
            int r5, g6;
            if (d == 16) {
                r5 = v >> 3;
                g6 = v >> 2;
            } else {
                r5 = (2 * v - (v >> 4) + (v >> 7) + d) >> 4;
                g6 = (4 * v - (v >> 4) + (v >> 6) + d) >> 4;
            }
            t.red[d][v] = static_cast<std::uint16_t>(r5 << 11);
            t.green[d][v] = static_cast<std::uint16_t>(g6 << 5);
            t.blue[d][v] = static_cast<std::uint16_t>(r5);
        }
    }
    return t;
}

} // namespace

constinit const DitherTables ditherTables = buildDitherTables();

const std::uint8_t ditherMatrix4x4[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
const std::uint8_t ditherMatrix2x2[4][4] = {{2, 10, 2, 10}, {14, 6, 14, 6}, {2, 10, 2, 10}, {14, 6, 14, 6}};
const std::uint8_t ditherMatrixNone[4][4] = {{16, 16, 16, 16}, {16, 16, 16, 16}, {16, 16, 16, 16}, {16, 16, 16, 16}};

const std::uint8_t (*ditherMatrixFor(int ditherMode))[4]
{
    if (ditherMode == GR_DITHER_4x4)
        return ditherMatrix4x4;
    if (ditherMode == GR_DITHER_2x2)
        return ditherMatrix2x2;
    return ditherMatrixNone;
}
