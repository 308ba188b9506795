#pragma once

#include "tools/datagen/levels.h"

#include <string>

// A program's icon as a scalable SVG: the same marble on the same tile of
// its first level's surface as the PNG sizes, lit by the same functions
// (icon_shading.h), with the surface texture embedded as a PNG.
std::string makeIconSvg(const LevelDesign& level);
