#include "tools/tdf/tdf_writer.h"

#include "glide2/tdf_format.h"

#include <cstdio>

namespace {

bool isPowerOfTwoUpTo256(int v) { return v >= 1 && v <= 256 && (v & (v - 1)) == 0; }

bool validShape(int w, int h)
{
    if (!isPowerOfTwoUpTo256(w) || !isPowerOfTwoUpTo256(h))
        return false;
    return w <= 8 * h && h <= 8 * w;
}

TdfImage halve(const TdfImage& src)
{
    TdfImage dst;
    dst.width = src.width > 1 ? src.width / 2 : 1;
    dst.height = src.height > 1 ? src.height / 2 : 1;
    dst.rgba.resize(static_cast<std::size_t>(dst.width) * dst.height * 4);
    for (int y = 0; y < dst.height; ++y) {
        for (int x = 0; x < dst.width; ++x) {
            for (int c = 0; c < 4; ++c) {
                auto at = [&](int sx, int sy) {
                    return static_cast<int>(src.rgba[(static_cast<std::size_t>(sy) * src.width + sx) * 4 + c]);
                };
                int value;
                if (src.width > 1 && src.height > 1)
                    value = (at(2 * x, 2 * y) + at(2 * x + 1, 2 * y) + at(2 * x, 2 * y + 1) +
                             at(2 * x + 1, 2 * y + 1) + 2) /
                            4;
                else if (src.width > 1)
                    value = (at(2 * x, y) + at(2 * x + 1, y) + 1) / 2;
                else
                    value = (at(x, 2 * y) + at(x, 2 * y + 1) + 1) / 2;
                dst.rgba[(static_cast<std::size_t>(y) * dst.width + x) * 4 + c] = static_cast<std::uint8_t>(value);
            }
        }
    }
    return dst;
}

} // namespace

bool tdfMakeMipChain(const TdfImage& top, int smallestSize, std::vector<TdfImage>& levels)
{
    if (!validShape(top.width, top.height))
        return false;
    if (top.rgba.size() < static_cast<std::size_t>(top.width) * top.height * 4)
        return false;
    int longSide = top.width > top.height ? top.width : top.height;
    if (!isPowerOfTwoUpTo256(smallestSize) || smallestSize > longSide)
        return false;
    levels.clear();
    levels.push_back(top);
    levels.back().rgba.resize(static_cast<std::size_t>(top.width) * top.height * 4);
    while (longSide > smallestSize) {
        levels.push_back(halve(levels.back()));
        longSide /= 2;
    }
    return true;
}

std::uint16_t tdfEncodeTexel(int formatCode, std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a)
{
    int intensity = (30 * r + 59 * g + 11 * b + 50) / 100;
    switch (formatCode) {
    case GR_TEXFMT_RGB_332:
        return static_cast<std::uint16_t>((r & 0xE0) | ((g >> 3) & 0x1C) | (b >> 6));
    case GR_TEXFMT_ALPHA_8:
        return a;
    case GR_TEXFMT_INTENSITY_8:
        return static_cast<std::uint16_t>(intensity);
    case GR_TEXFMT_ALPHA_INTENSITY_44:
        return static_cast<std::uint16_t>((a & 0xF0) | (intensity >> 4));
    case GR_TEXFMT_ARGB_8332:
        return static_cast<std::uint16_t>((a << 8) | (r & 0xE0) | ((g >> 3) & 0x1C) | (b >> 6));
    case GR_TEXFMT_RGB_565:
        return static_cast<std::uint16_t>(((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3));
    case GR_TEXFMT_ARGB_1555:
        return static_cast<std::uint16_t>((a ? 0x8000 : 0) | ((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3));
    case GR_TEXFMT_ARGB_4444:
        return static_cast<std::uint16_t>(((a >> 4) << 12) | ((r >> 4) << 8) | ((g >> 4) << 4) | (b >> 4));
    case GR_TEXFMT_ALPHA_INTENSITY_88:
        return static_cast<std::uint16_t>((a << 8) | intensity);
    default:
        return 0;
    }
}

bool tdfEncode(const std::string& formatName, const std::vector<TdfImage>& levels, std::vector<std::uint8_t>& file)
{
    const TdfFormat* format = tdfFindFormat(formatName);
    if (!format || format->tableBytes != 0 || levels.empty())
        return false;
    const TdfImage& top = levels.front();
    if (!validShape(top.width, top.height))
        return false;
    int aspect = top.width >= top.height ? tdfAspectCode(top.width / top.height, 1)
                                         : tdfAspectCode(1, top.height / top.width);
    int largeLod = tdfLodForSize(top.width > top.height ? top.width : top.height);
    int smallLod = largeLod + static_cast<int>(levels.size()) - 1;
    if (aspect < 0 || largeLod < 0 || smallLod > GR_LOD_1)
        return false;
    for (int k = 0; k < static_cast<int>(levels.size()); ++k) {
        int w, h;
        tdfLevelSize(largeLod + k, aspect, w, h);
        if (levels[k].width != w || levels[k].height != h ||
            levels[k].rgba.size() < static_cast<std::size_t>(w) * h * 4)
            return false;
    }
    std::string header = tdfHeaderText(*format, tdfSizeForLod(smallLod), tdfSizeForLod(largeLod), aspect);
    file.assign(header.begin(), header.end());
    file.reserve(file.size() + tdfTexelCount(smallLod, largeLod, aspect) * format->bytesPerTexel);
    for (const TdfImage& level : levels) {
        std::size_t count = static_cast<std::size_t>(level.width) * level.height;
        for (std::size_t i = 0; i < count; ++i) {
            const std::uint8_t* p = &level.rgba[i * 4];
            std::uint16_t v = tdfEncodeTexel(format->code, p[0], p[1], p[2], p[3]);
            if (format->bytesPerTexel == 2)
                file.push_back(static_cast<std::uint8_t>(v >> 8));
            file.push_back(static_cast<std::uint8_t>(v & 0xFF));
        }
    }
    return true;
}

bool tdfWriteFile(const std::string& path, const std::string& formatName, const TdfImage& top, int smallestSize)
{
    std::vector<TdfImage> levels;
    std::vector<std::uint8_t> bytes;
    if (!tdfMakeMipChain(top, smallestSize, levels) || !tdfEncode(formatName, levels, bytes))
        return false;
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    ok = (std::fclose(f) == 0) && ok;
    return ok;
}
