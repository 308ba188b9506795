#include "tools/datagen/bmp_writer.h"

#include "tools/datagen/output.h"

std::vector<uint8_t> encodeBmp(const Image& image)
{
    const uint32_t pixelBytes = static_cast<uint32_t>(image.width) * image.height * 3;
    std::vector<uint8_t> out;
    out.reserve(54 + pixelBytes);
    out.push_back('B');
    out.push_back('M');
    putU32(out, 54 + pixelBytes);
    putU32(out, 0);
    putU32(out, 54);
    putU32(out, 40);
    putU32(out, static_cast<uint32_t>(image.width));
    putU32(out, static_cast<uint32_t>(image.height));
    putU16(out, 1);
    putU16(out, 24);
    putU32(out, 0); // no compression
    putU32(out, pixelBytes);
    putU32(out, 2835); // 72 dpi
    putU32(out, 2835);
    putU32(out, 0);
    putU32(out, 0);
    for (int y = image.height - 1; y >= 0; --y) {
        for (int x = 0; x < image.width; ++x) {
            const uint8_t* p = image.at(x, y);
            out.push_back(p[2]);
            out.push_back(p[1]);
            out.push_back(p[0]);
        }
    }
    return out;
}
