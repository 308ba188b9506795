#pragma once

// Writes .3df texture files for the glide edition's data: an RGBA picture,
// its mip chain and the texel encoding of one format, as the card's loader
// reads them back (glide2/tdf_format.h holds the shared description).

#include <cstdint>
#include <string>
#include <vector>

// 8-bit RGBA, 4 bytes per texel, row-major, top row first.
struct TdfImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgba;
};

// Level 0 is `top`; each further level halves it with a 2x2 box filter (pairs
// once a side is 1) until the long side equals smallestSize. Refuses sizes
// that are not powers of two up to 256, aspect ratios beyond 8:1, a smallest
// size that is not a power of two between 1 and the long side, and short pixel
// data.
bool tdfMakeMipChain(const TdfImage& top, int smallestSize, std::vector<TdfImage>& levels);

// The whole file for these levels (largest first, each half the previous) in
// the named format. Refuses unknown names, the colour-table formats and a
// chain whose level sizes do not follow each other.
bool tdfEncode(const std::string& formatName, const std::vector<TdfImage>& levels, std::vector<std::uint8_t>& file);

// One texel in a format's encoding (16-bit formats as a 16-bit value).
std::uint16_t tdfEncodeTexel(int formatCode, std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a);

// tdfMakeMipChain + tdfEncode, written to path. False on any refusal or a
// file that cannot be written completely.
bool tdfWriteFile(const std::string& path, const std::string& formatName, const TdfImage& top, int smallestSize);
