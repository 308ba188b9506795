#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Uncompressed 24-bit BMP files as the game reads them.
//
// The 14-byte file header and the 40-byte information header are read; only
// width, height (positive: bottom row first) and bits per pixel (24) are
// looked at. Pixels are read from byte 54 on, whatever the header says their
// offset is, as packed rows of width * 3 bytes for every width: the 1- and
// 2-pixel mipmap levels have no row padding either, and writers of game data
// store them so. The buffer gets the same packed rows, every pixel turned from
// blue-green-red into red-green-blue; row 0 is the bottom row. (OpenGL has to
// unpack such images with an alignment of 1.)

struct BmpSize {
    int width = 0;
    int height = 0;
};

// Larger sides are refused as not a picture of this game.
constexpr int kBmpMaxSide = 16384;

// Bytes of the pixel block of a width x height image, in the file and in the buffer.
size_t bmpImageBytes(int width, int height);

// Reads the file into buffer. False when it cannot be opened or read, when
// width, height or bits per pixel are not a positive 24-bit picture, or when
// the pixel block would not fit in capacity bytes (nothing is read then).
// On success size, when given, receives the picture's dimensions.
bool readBmp(const std::string& path, uint8_t* buffer, size_t capacity, BmpSize* size = nullptr);
