#pragma once

#include "levels/level_map.h"
#include "render/projection.h"
#include "render/screen_vertex.h"
#include "sim/view_transform.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <vector>

using TerrainTriangle = std::array<ScreenVertex, 3>;

// A terrain-like scene: a rolling 30 x 60-cell ground (3600 triangles) seen
// from 400 behind and 350 above its near edge, as the game's camera sees the
// course, projected with the game's projection and sent in the grid walk's
// vertex order.
inline std::vector<TerrainTriangle> rollingGround()
{
    constexpr int kColumns = 31;
    constexpr int kRows = 61;
    ViewTransform view;
    view.set(Vec3(0.0f, -400.0f, -350.0f), -std::atan(400.0f / 350.0f), 0.0f, 0.0f);
    std::vector<ScreenVertex> grid;
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kColumns; ++c) {
            float x = float(c - kColumns / 2) * 30.0f;
            float y = float(r) * 30.0f;
            float z = 40.0f * std::sin(x * 0.01f) * std::cos(y * 0.004f);
            ProjectedPoint p = projectPoint(Vec3(x, y, z), view);
            ScreenVertex v;
            v.x = p.x;
            v.y = p.y;
            v.w = p.w;
            v.oow = 1.0f / p.w;
            v.s = float(c - kColumns / 2) * 0.1875f;
            v.t = float(r) * 0.25f;
            grid.push_back(v);
        }
    std::vector<TerrainTriangle> out;
    for (int r = 0; r + 1 < kRows; ++r)
        for (int c = 0; c + 1 < kColumns; ++c) {
            int i = r * kColumns + c;
            int up = i + kColumns;
            out.push_back({grid[i], grid[up], grid[up + 1]});
            out.push_back({grid[i], grid[up + 1], grid[i + 1]});
        }
    return out;
}

// A level texture of green squares, 32 texels each, on every mipmap level.
inline std::vector<uint8_t> checkerTexture()
{
    std::vector<uint8_t> mips(size_t(kLevelMipLevels) * kLevelMipSlotBytes);
    for (int level = 0; level < kLevelMipLevels; ++level) {
        int size = 128 >> level;
        uint8_t* slot = &mips[size_t(level) * kLevelMipSlotBytes];
        for (int row = 0; row < size; ++row)
            for (int col = 0; col < size; ++col) {
                bool dark = (((row << level) / 32) + ((col << level) / 32)) % 2 != 0;
                uint8_t* p = &slot[size_t(row * size + col) * 3];
                p[0] = dark ? 60 : 170;
                p[1] = dark ? 120 : 200;
                p[2] = dark ? 50 : 90;
            }
    }
    return mips;
}
