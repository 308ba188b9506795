#include "tools/datagen/image.h"

#include <algorithm>
#include <cmath>

Colour hexToColour(uint32_t c) { return {((c >> 16) & 255) / 255.0f, ((c >> 8) & 255) / 255.0f, (c & 255) / 255.0f}; }

float clamp01(float v) { return std::min(1.0f, std::max(0.0f, v)); }

float smoothstep(float edge0, float edge1, float x)
{
    float t = clamp01((x - edge0) / (edge1 - edge0));
    return t * t * (3.0f - 2.0f * t);
}

Colour mix(Colour a, Colour b, float t)
{
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

Colour scaled(Colour c, float k) { return {c.r * k, c.g * k, c.b * k}; }

static uint8_t toByte(float v) { return static_cast<uint8_t>(std::lround(clamp01(v) * 255.0f)); }

void Image::set(int x, int y, float r, float g, float b)
{
    uint8_t* p = at(x, y);
    p[0] = toByte(r);
    p[1] = toByte(g);
    p[2] = toByte(b);
}

Image boxDownsample(const Image& src)
{
    Image dst(std::max(1, src.width / 2), std::max(1, src.height / 2));
    for (int y = 0; y < dst.height; ++y) {
        for (int x = 0; x < dst.width; ++x) {
            int x0 = std::min(2 * x, src.width - 1), x1 = std::min(2 * x + 1, src.width - 1);
            int y0 = std::min(2 * y, src.height - 1), y1 = std::min(2 * y + 1, src.height - 1);
            for (int c = 0; c < 3; ++c) {
                int sum = src.at(x0, y0)[c] + src.at(x1, y0)[c] + src.at(x0, y1)[c] + src.at(x1, y1)[c];
                dst.at(x, y)[c] = static_cast<uint8_t>((sum + 2) / 4);
            }
        }
    }
    return dst;
}

std::vector<Image> mipChain(const Image& top)
{
    std::vector<Image> chain{top};
    while (chain.back().width > 1 || chain.back().height > 1)
        chain.push_back(boxDownsample(chain.back()));
    return chain;
}
