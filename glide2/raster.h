#pragma once

// Turning one set-up triangle into pixels: the rows it covers within the
// target's clip rectangle, span by span.

#include "glide2/pipeline.h"
#include "glide2/triangle_setup.h"

#include <cstdint>

struct Target {
    std::uint16_t* color;
    std::uint16_t* depth;
    bool lowerLeft;
    int clipMinX, clipMaxX, clipMinY, clipMaxY; // rows counted from the origin
    bool blend;                                 // this triangle blends (constant opaque alpha needs none)
};

// Whether the triangle's colour is the texel alone (the terrain's way): then
// only 1/w, s/w and t/w are read of its setup.
bool texelOnly(const Pipeline& p, const Target& target, bool textured);

// Draws the triangle's rows inside the target's clip rectangle.
void rasterize(const Pipeline& p, const TriangleSetup& s, const Target& target, bool textured);

// Draws the pixels this thread still holds back for a full lane group; due
// before anything else reads or writes the buffers.
void flushGatheredLanes();

// The rows [first, end) the triangle covers, before clipping.
void triangleRows(const TriangleSetup& s, int& first, int& end);
