#include "files/bmp.h"

#include "files/data_file.h"

#include <utility>

namespace {

constexpr size_t kHeaderBytes = 54;

int32_t readLe32(const uint8_t* p)
{
    return static_cast<int32_t>(uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24);
}

int readLe16(const uint8_t* p) { return int(p[0]) | int(p[1]) << 8; }

} // namespace

size_t bmpImageBytes(int width, int height) { return size_t(width) * size_t(height) * 3; }

bool readBmp(const std::string& path, uint8_t* buffer, size_t capacity, BmpSize* size)
{
    DataFile file;
    if (!file.open(path, kHeaderBytes + capacity))
        return false;

    uint8_t header[kHeaderBytes];
    bool ok = file.read(header, kHeaderBytes) == kHeaderBytes;
    int32_t width = ok ? readLe32(header + 18) : 0;
    int32_t height = ok ? readLe32(header + 22) : 0;
    int bitsPerPixel = ok ? readLe16(header + 28) : 0;

    ok = ok && width > 0 && width <= kBmpMaxSide && height > 0 && height <= kBmpMaxSide && bitsPerPixel == 24;
    size_t bytes = ok ? bmpImageBytes(width, height) : 0;
    ok = ok && buffer != nullptr && bytes <= capacity;
    ok = ok && file.read(buffer, bytes) == bytes;
    if (!file.close() || !ok)
        return false;

    for (uint8_t* pixel = buffer; pixel < buffer + bytes; pixel += 3)
        std::swap(pixel[0], pixel[2]);
    if (size) {
        size->width = width;
        size->height = height;
    }
    return true;
}
