#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Uncompressed 24-bit BMP files as the game reads them.
//
// The 14-byte file header and the 40-byte information header are read; only
// width, height (positive: bottom row first) and bits per pixel (24) are
// looked at. Pixels are read from byte 54 on, whatever the header says their
// offset is, as rows of bmpRowBytes(width) bytes each:
//   - width 4 and up: packed rows of width * 3 bytes;
//   - widths 1 to 3: rows padded to a multiple of four bytes, as every common
//     writer stores them (1 pixel: 4 bytes, 2 pixels: 8, 3 pixels: 12).
// A writer of game data stores images with exactly these rows. The buffer gets
// the same row layout (which is also what OpenGL's default unpack alignment of
// 4 expects for the 1- and 2-pixel mipmap levels), with every pixel turned
// from blue-green-red into red-green-blue. Row 0 of the buffer is the bottom row.

struct BmpSize {
    int width = 0;
    int height = 0;
};

// Larger sides are refused as not a picture of this game.
constexpr int kBmpMaxSide = 16384;

// Bytes of one pixel row, in the file and in the buffer.
size_t bmpRowBytes(int width);
// Bytes of the whole pixel block of a width x height image.
size_t bmpImageBytes(int width, int height);

// Reads the file into buffer. False when it cannot be opened or read, when
// width, height or bits per pixel are not a positive 24-bit picture, or when
// the pixel block would not fit in capacity bytes (nothing is read then).
// On success size, when given, receives the picture's dimensions.
bool readBmp(const std::string& path, uint8_t* buffer, size_t capacity, BmpSize* size = nullptr);
