#pragma once

// A triangle as the card sees it: 12.4 fixed-point corners sorted top to
// bottom, and plane equations for every iterated value.

#include "glide2/glide.h"

#include <cstdint>

enum Param { paramR, paramG, paramB, paramA, paramOow, paramSow, paramTow, paramOoz, paramCount };

struct TriangleSetup {
    std::int32_t x[3], y[3]; // sorted by y, 1/16 pixel
    double originX, originY; // corner 0 in pixels: the planes are anchored there
    double start[paramCount];
    double dx[paramCount];
    double dy[paramCount];
    double oowMin, oowMax; // over the corners; not-a-number if one is not finite
    int baseLod256;        // log2 of the texture footprint at w = 1, in 1/256 steps
};

// The vertex's x or y as the card's 12.4 register holds it: 1/16 pixels,
// truncated, the low 16 bits sign-extended (so the 786432 snap bias drops out).
std::int32_t toFixed124(float v);

// The three corners in 12.4 fixed point, in the caller's order.
struct FixedCorners {
    std::int32_t x[3], y[3];
};
FixedCorners fixedCorners(const GrVertex* a, const GrVertex* b, const GrVertex* c);

// Fills setup from three vertices (corners: theirs in fixed point); false when
// they enclose no area. Without `colourAndZ` only the planes of 1/w, s/w and
// t/w are made (the others read 0).
bool setupTriangle(const GrVertex* a, const GrVertex* b, const GrVertex* c, const FixedCorners& corners,
                   TriangleSetup& setup, bool colourAndZ = true);
bool setupTriangle(const GrVertex* a, const GrVertex* b, const GrVertex* c, TriangleSetup& setup,
                   bool colourAndZ = true);

// Signed area in the caller's vertex order (1/256 square pixels).
std::int64_t signedArea(const FixedCorners& corners);
std::int64_t signedArea(const GrVertex* a, const GrVertex* b, const GrVertex* c);
