#pragma once

#include "game/edition.h"
#include "levels/level_map.h"
#include "sim/marble.h"
#include "temp_dir.h"

#include <string>

// Loads a flat level with its drawing grid for the running edition (without a
// texture): no holes for orbivale-gl, 58 holes of radius 0 (absent from the
// surface) for orbivale-glide, which accepts only its known hole counts.
inline bool loadFlatLevel(LevelMap& level, const TempDir& dir)
{
    std::string text = "holecount= 0\n.data\n.end";
    if (isGlide()) {
        text = "holecount= 58\n.data\n";
        for (int i = 0; i < 58; ++i)
            text += "0 0 0 0\n";
        text += ".end";
    }
    Marble unused;
    return level.load(dir.write("flat.map", text), unused);
}

// The grid vertex of a row and column.
inline int gridIndex(int row, int column) { return row * kGridColumns + column; }
