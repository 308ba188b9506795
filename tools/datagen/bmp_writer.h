#pragma once

#include "tools/datagen/image.h"

#include <cstdint>
#include <vector>

// Uncompressed 24-bit BMP: 14-byte file header, 40-byte info header, pixels
// right after them, bottom row first, blue-green-red. Rows are packed
// (width * 3 bytes, no padding) for every width, because the game's reader
// takes them packed; for widths that are multiples of 4 this is the common
// padded layout too, so only the 1- and 2-pixel mipmap files differ from it.
std::vector<uint8_t> encodeBmp(const Image& image);
