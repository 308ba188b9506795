#pragma once

#include "game_fixture.h"
#include "levels/level_map.h"

#include <vector>

// Puts the given hole table into the level in place of a map file.
inline void useHoles(const std::vector<Hole>& holes)
{
    levelMap.holeCount = static_cast<int32_t>(holes.size());
    levelMap.holes = std::make_unique<Hole[]>(holes.size());
    for (size_t i = 0; i < holes.size(); ++i)
        levelMap.holes[i] = holes[i];
}
