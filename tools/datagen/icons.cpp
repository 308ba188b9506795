#include "tools/datagen/icons.h"

#include "tools/datagen/icon_shading.h"
#include "tools/datagen/icon_svg.h"
#include "tools/datagen/output.h"
#include "tools/datagen/png_writer.h"
#include "tools/datagen/textures.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

Colour bilinear(const Image& img, float x, float y)
{
    x = x - std::floor(x / img.width) * img.width - 0.5f;
    y = y - std::floor(y / img.height) * img.height - 0.5f;
    const int ix = static_cast<int>(std::floor(x)), iy = static_cast<int>(std::floor(y));
    const float tx = x - ix, ty = y - iy;
    Colour sum{0, 0, 0};
    for (int dy = 0; dy < 2; ++dy)
        for (int dx = 0; dx < 2; ++dx) {
            const uint8_t* p = img.at((ix + dx + img.width) % img.width, (iy + dy + img.height) % img.height);
            const float w = (dx ? tx : 1 - tx) * (dy ? ty : 1 - ty);
            sum = {sum.r + w * p[0] / 255.0f, sum.g + w * p[1] / 255.0f, sum.b + w * p[2] / 255.0f};
        }
    return sum;
}

// Colour and coverage of one sample point (u, v in 0..1, top left first).
float iconSample(const Image& texture, Colour marble, float u, float v, Colour& out)
{
    const float edge = tileEdgeDistance(u, v);
    if (edge > 0)
        return 0.0f;
    Colour c = bilinear(texture, u * texture.width, v * texture.height);
    c = scaled(c, groundLight(u, v) * rimLight(-edge));
    const float sx = (u - kShadowU) / kShadowStretchU, sy = (v - kShadowV) / kShadowStretchV;
    c = scaled(c, shadowLight(std::hypot(sx, sy)));
    const float dx = (u - kMarbleU) / kMarbleRadius, dy = (v - kMarbleV) / kMarbleRadius;
    if (dx * dx + dy * dy < 1.0f)
        c = mix(marbleShade(marble, dx, dy), Colour{1, 1, 1}, marbleHighlight(dx, dy));
    out = c;
    return 1.0f;
}

std::string byteArray(const char* name, const std::vector<uint8_t>& bytes)
{
    std::string text = "const unsigned char " + std::string(name) + "[] = {";
    for (size_t i = 0; i < bytes.size(); ++i) {
        char number[16];
        std::snprintf(number, sizeof number, "%s%u,", i % 16 ? " " : "\n    ", bytes[i]);
        text += number;
    }
    return text + "\n};\n";
}

} // namespace

std::vector<uint8_t> makeIcon(const LevelDesign& level, int size)
{
    const Image texture = makeSurfaceTexture(level.surface);
    const Colour marble = hexToColour(level.marbleColour);
    constexpr int kGrid = 4; // 4 x 4 samples a pixel smooth the edges at every size
    std::vector<uint8_t> rgba(static_cast<size_t>(size) * size * 4, 0);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            Colour sum{0, 0, 0};
            float coverage = 0;
            for (int sy = 0; sy < kGrid; ++sy)
                for (int sx = 0; sx < kGrid; ++sx) {
                    Colour c{0, 0, 0};
                    const float u = (x + (sx + 0.5f) / kGrid) / size, v = (y + (sy + 0.5f) / kGrid) / size;
                    const float w = iconSample(texture, marble, u, v, c);
                    sum = {sum.r + c.r * w, sum.g + c.g * w, sum.b + c.b * w};
                    coverage += w;
                }
            uint8_t* p = &rgba[(static_cast<size_t>(y) * size + x) * 4];
            if (coverage <= 0)
                continue;
            const float k = 1.0f / coverage;
            p[0] = static_cast<uint8_t>(std::lround(clamp01(sum.r * k) * 255));
            p[1] = static_cast<uint8_t>(std::lround(clamp01(sum.g * k) * 255));
            p[2] = static_cast<uint8_t>(std::lround(clamp01(sum.b * k) * 255));
            p[3] = static_cast<uint8_t>(std::lround(coverage / (kGrid * kGrid) * 255));
        }
    return rgba;
}

bool writeIcons(const std::string& out)
{
    const struct {
        const char* program;
        const char* arrayName;
        LevelDesign level;
    } editions[] = {{"orbivale-gl", "kWindowIconGl", glLevelDesigns().front()},
                    {"orbivale-glide", "kWindowIconGlide", glideLevelDesigns().front()}};
    std::string windowIcons = "// Written by orbivale-datagen: each program's window icon, " +
                              std::to_string(kWindowIconSide) + " x " + std::to_string(kWindowIconSide) +
                              " pixels, RGBA bytes, top row first\n// (SDL_PIXELFORMAT_RGBA32).\n#pragma "
                              "once\n\nconstexpr int kWindowIconSize = " +
                              std::to_string(kWindowIconSide) + ";\n";
    for (const auto& edition : editions) {
        for (int size : kIconSizes) {
            const std::string side = std::to_string(size);
            const std::vector<uint8_t> png = encodePng(size, size, makeIcon(edition.level, size));
            if (!writeFile(out, "icons/hicolor/" + side + "x" + side + "/apps/" + edition.program + ".png", png))
                return false;
        }
        if (!writeText(out, "icons/hicolor/scalable/apps/" + std::string(edition.program) + ".svg",
                       makeIconSvg(edition.level)))
            return false;
        windowIcons += "\n" + byteArray(edition.arrayName, makeIcon(edition.level, kWindowIconSide));
    }
    return writeText(out, "icons/window_icon.inc", windowIcons);
}
