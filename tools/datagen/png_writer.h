#pragma once

#include <cstdint>
#include <vector>

// An 8-bit RGBA PNG (colour type 6, no interlace, filter 0 on every row).
// The zlib stream holds stored (uncompressed) deflate blocks: icons are small,
// and any PNG reader takes them. `rgba` is width * height * 4 bytes, top row first.
// Empty on a size that does not match.
std::vector<uint8_t> encodePng(int width, int height, const std::vector<uint8_t>& rgba);
