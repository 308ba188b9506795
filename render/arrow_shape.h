#pragma once

#include "render/screen_vertex.h"

// The outline of a "Normal" arrow in projected space, shared by the back ends.
struct ArrowShape {
    float theta;                  // direction of the shaft, atan2 of tip - tail
    float headLeftX, headLeftY;   // P1: 10 pixels back from the tip, +0.3927 rad off the shaft
    float headRightX, headRightY; // P2: the same on the other side
    float sideX, sideY;           // one pixel across the shaft, for back ends that draw it as a quad
};

ArrowShape arrowShape(const ProjectedPoint& tail, const ProjectedPoint& tip);
