#pragma once

#include "tools/datagen/image.h"

// How a program's icon is lit, shared by its PNG sizes and its SVG so both
// show the same picture. Coordinates are u, v in 0..1 across the icon, top
// left first.

// The rounded tile of ground.
constexpr float kTileHalf = 0.45f, kTileCorner = 0.16f;
// The marble resting on it, and its shadow down and to the right.
constexpr float kMarbleU = 0.5f, kMarbleV = 0.47f, kMarbleRadius = 0.29f;
constexpr float kShadowU = kMarbleU + 0.06f, kShadowV = kMarbleV + 0.08f;
constexpr float kShadowStretchU = 1.1f, kShadowStretchV = 0.9f;
// Towards the light, unit length.
constexpr float kLightX = -0.45f, kLightY = -0.55f, kLightZ = 0.70f;

// Signed distance (negative inside) from the tile's edge.
float tileEdgeDistance(float u, float v);
// What the ground's colour is multiplied by: the light from the upper left,
// and the darker rim like the course border (`inside` is -tileEdgeDistance).
float groundLight(float u, float v);
float rimLight(float inside);
// The shadow's factor at `distance`, measured in the stretched frame
// ((u - kShadowU) / kShadowStretchU, (v - kShadowV) / kShadowStretchV).
float shadowLight(float distance);
// The marble's colour and highlight at (dx, dy), relative to its centre in
// radii (inside the unit circle); the highlight is mixed in as white.
Colour marbleShade(Colour marble, float dx, float dy);
float marbleHighlight(float dx, float dy);
