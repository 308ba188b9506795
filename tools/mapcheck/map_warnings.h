#pragma once

#include "levels/level_map.h"

#include <string>
#include <vector>

// Traps in a map that loads: a start point in or at a capture circle, a row
// of the course closed edge to edge by capture circles, pits whose floor no
// marble can reach. Holes count from 1.
std::vector<std::string> layoutWarnings(const LevelMap& map);

// orbivale-gl level texture files (textureName + "_0.bmp" ... "_7.bmp") whose
// rows are padded to four bytes, as common image editors write them: the
// game reads rows packed, so such a picture is read shifted.
std::vector<std::string> textureWarnings(const std::string& textureName);
