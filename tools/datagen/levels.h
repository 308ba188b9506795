#pragma once

#include "levels/level_map.h"
#include "tools/datagen/textures.h"

#include <cstdint>
#include <string>
#include <vector>

// One level as the generator designs it: the hole table and its looks.
struct LevelDesign {
    std::string title;
    Surface surface;
    uint32_t fogColour;
    uint32_t marbleColour;
    std::vector<Hole> holes;
};

// Course limits the layouts keep to.
constexpr float kCourseLeft = -750.0f;
constexpr float kCourseRight = 720.0f;
constexpr float kStartY = -5800.0f;
constexpr float kGoalY = 5800.0f;

// orbivale-gl: six levels of rising difficulty.
std::vector<LevelDesign> glLevelDesigns();
// orbivale-glide: exactly three levels with 58, 62 and 70 holes.
std::vector<LevelDesign> glideLevelDesigns();

// Map file name of level n (1-based), as the level list names it.
std::string mapFileName(int levelNumber);

// The map file text; it ends right after ".end".
std::string mapFileText(const LevelDesign& level, const std::string& textureName);

// The level list text; it ends right after the last name.
std::string levelListText(int levelCount);

// Writes maps/maplist.dat and maps/levelN.map; glide maps name a .3df texture.
bool writeLevels(const std::string& root, const std::vector<LevelDesign>& levels, bool glide);
