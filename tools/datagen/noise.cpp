#include "tools/datagen/noise.h"

#include <cmath>

static uint32_t mixBits(uint32_t h)
{
    h ^= h >> 16;
    h *= 0x7feb352dU;
    h ^= h >> 15;
    h *= 0x846ca68bU;
    h ^= h >> 16;
    return h;
}

float hashUnit(uint32_t a, uint32_t b, uint32_t seed)
{
    uint32_t h = mixBits(a * 0x9e3779b1U ^ mixBits(b * 0x85ebca77U ^ mixBits(seed + 0x632be5abU)));
    return static_cast<float>(h >> 8) * (1.0f / 16777216.0f);
}

static int wrap(int i, int period)
{
    int m = i % period;
    return m < 0 ? m + period : m;
}

float tiledNoise(float x, float y, int period, uint32_t seed) { return tiledNoise2(x, y, period, period, seed); }

float tiledNoise2(float x, float y, int periodX, int periodY, uint32_t seed)
{
    float fx = std::floor(x), fy = std::floor(y);
    int ix = static_cast<int>(fx), iy = static_cast<int>(fy);
    float tx = x - fx, ty = y - fy;
    tx = tx * tx * tx * (tx * (tx * 6.0f - 15.0f) + 10.0f);
    ty = ty * ty * ty * (ty * (ty * 6.0f - 15.0f) + 10.0f);
    auto corner = [&](int cx, int cy) {
        return hashUnit(static_cast<uint32_t>(wrap(cx, periodX)), static_cast<uint32_t>(wrap(cy, periodY)), seed);
    };
    float a = corner(ix, iy), b = corner(ix + 1, iy);
    float c = corner(ix, iy + 1), d = corner(ix + 1, iy + 1);
    float top = a + (b - a) * tx;
    float bottom = c + (d - c) * tx;
    return top + (bottom - top) * ty;
}

float tiledFbm(float u, float v, int basePeriod, int octaves, float gain, uint32_t seed)
{
    float sum = 0.0f, amplitude = 1.0f, total = 0.0f;
    int period = basePeriod;
    for (int o = 0; o < octaves; ++o) {
        sum += amplitude * tiledNoise(u * period, v * period, period, seed + 101u * o);
        total += amplitude;
        amplitude *= gain;
        period *= 2;
    }
    return sum / total;
}

CellSample tiledCells(float u, float v, int period, uint32_t seed)
{
    float x = u * period, y = v * period;
    int cx = static_cast<int>(std::floor(x)), cy = static_cast<int>(std::floor(y));
    CellSample best{1e9f, 1e9f, 0};
    for (int dy = -2; dy <= 2; ++dy) {
        for (int dx = -2; dx <= 2; ++dx) {
            int gx = cx + dx, gy = cy + dy;
            uint32_t wx = static_cast<uint32_t>(wrap(gx, period)), wy = static_cast<uint32_t>(wrap(gy, period));
            float px = gx + 0.15f + 0.7f * hashUnit(wx, wy, seed);
            float py = gy + 0.15f + 0.7f * hashUnit(wx, wy, seed + 7u);
            float d = std::sqrt((px - x) * (px - x) + (py - y) * (py - y));
            if (d < best.nearest) {
                best.second = best.nearest;
                best.nearest = d;
                best.cellId = wy * static_cast<uint32_t>(period) + wx;
            } else if (d < best.second) {
                best.second = d;
            }
        }
    }
    return best;
}

uint32_t Rng::next()
{
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
}

float Rng::unit() { return static_cast<float>(next() >> 8) * (1.0f / 16777216.0f); }

float Rng::range(float lo, float hi) { return lo + (hi - lo) * unit(); }
