#include "render/arrow_shape.h"

#include <cmath>

namespace {
constexpr float kHeadLength = 10.0f;
}

ArrowShape arrowShape(const ProjectedPoint& tail, const ProjectedPoint& tip)
{
    ArrowShape shape;
    // A zero-length shaft gives atan2(0, 0) = 0: the head alone, pointing right.
    shape.theta = std::atan2(tip.y - tail.y, tip.x - tail.x);
    shape.headLeftX = tip.x + kHeadLength * std::cos(shape.theta + 3.1416f - 0.3927f);
    shape.headLeftY = tip.y + kHeadLength * std::sin(shape.theta + 3.1416f - 0.3927f);
    shape.headRightX = tip.x + kHeadLength * std::cos(shape.theta + 3.5343f);
    shape.headRightY = tip.y + kHeadLength * std::sin(shape.theta + 3.5343f);
    shape.sideX = std::cos(shape.theta + 1.5708f);
    shape.sideY = std::sin(shape.theta + 1.5708f);
    return shape;
}
