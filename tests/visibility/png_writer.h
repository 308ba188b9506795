#pragma once

#include <zlib.h>

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

// Writes 8-bit RGB rows (top row first) as a PNG file, for people to look at.
inline bool writePng(const std::string& path, int width, int height, const std::vector<uint8_t>& rgb)
{
    std::vector<uint8_t> raw;
    raw.reserve(size_t(height) * (size_t(width) * 3 + 1));
    for (int y = 0; y < height; ++y) {
        raw.push_back(0); // no filter
        raw.insert(raw.end(), rgb.begin() + size_t(y) * width * 3, rgb.begin() + size_t(y + 1) * width * 3);
    }
    uLongf packedSize = compressBound(uLong(raw.size()));
    std::vector<uint8_t> packed(packedSize);
    if (compress2(packed.data(), &packedSize, raw.data(), uLong(raw.size()), 6) != Z_OK)
        return false;
    packed.resize(packedSize);

    std::ofstream out(path, std::ios::binary);
    auto put32 = [&out](uint32_t v) {
        const char b[4] = {char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
        out.write(b, 4);
    };
    auto chunk = [&](const char* type, const std::vector<uint8_t>& data) {
        put32(uint32_t(data.size()));
        out.write(type, 4);
        out.write(reinterpret_cast<const char*>(data.data()), std::streamsize(data.size()));
        uLong crc = crc32(0, reinterpret_cast<const Bytef*>(type), 4);
        if (!data.empty()) // zlib answers 0 for a null buffer
            crc = crc32(crc, data.data(), uInt(data.size()));
        put32(uint32_t(crc));
    };
    out.write("\x89PNG\r\n\x1a\n", 8);
    std::vector<uint8_t> header = {uint8_t(width >> 24),
                                   uint8_t(width >> 16),
                                   uint8_t(width >> 8),
                                   uint8_t(width),
                                   uint8_t(height >> 24),
                                   uint8_t(height >> 16),
                                   uint8_t(height >> 8),
                                   uint8_t(height),
                                   8,
                                   2,
                                   0,
                                   0,
                                   0};
    chunk("IHDR", header);
    chunk("IDAT", packed);
    chunk("IEND", {});
    return bool(out);
}
