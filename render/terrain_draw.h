#pragma once

#include "levels/level_map.h"
#include "sim/view_transform.h"

// Draws the level's height field as seen from view and returns the number of
// terrain triangles sent. orbivale-gl sets the fog from fogOn on every call;
// orbivale-glide switches fog only when the option changes, so it ignores it.
int drawTerrain(const LevelMap& level, const ViewTransform& view, bool farSight, bool fogOn);

// Grid vertices projected by the last drawTerrain call (each at most once).
extern int terrainVerticesProjected;
