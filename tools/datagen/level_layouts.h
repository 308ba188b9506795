#pragma once

#include "levels/level_map.h"

#include <vector>

// Building blocks of the course layouts. Every layout is a plain list of
// holes; these helpers append typical shapes to it.
struct Layout {
    std::vector<Hole> holes;

    void pit(float x, float y, float radius, float depth) { holes.push_back({x, y, radius, depth}); }
    void mound(float x, float y, float radius, float height) { holes.push_back({x, y, radius, -height}); }

    // A wall of overlapping pits across the course from x0 to x1 at y.
    void wall(float x0, float x1, float y, float radius, float depth, float spacing);
    // A staggered field of small pits, thinned out at random to `count` pits.
    void field(float x0, float x1, float y0, float y1, float spacingX, float spacingY, float radius, float depth,
               int count, unsigned seed);
    // Appends holes from `reserve` until the table holds exactly `count`; false when it cannot.
    bool fillTo(size_t count, const std::vector<Hole>& reserve);
};
