#pragma once

#include "levels/level_map.h"
#include "sim/marble.h"
#include "sim/view_transform.h"

// Draws the marble as a shaded disc facing the camera, its translucent ghost
// over everything in front of it, orbivale-gl's rim lines, and with normalView
// the arrows of the terrain's normal and downhill direction under it.
void drawMarble(const Marble& marble, const ViewTransform& view, const LevelMap& level, bool normalView);

// The ghost of a recorded run at the position: the marble's disc in its
// colour (0 to 255 each), blended at half opacity, nothing else.
void drawGhostMarble(const Vec3& position, const float* colour, const ViewTransform& view, const LevelMap& level);
