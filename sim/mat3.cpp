#include "sim/mat3.h"

#include <cmath>

namespace {

Mat3 fromRows(float a, float b, float c, float d, float e, float f, float g, float h, float i)
{
    return Mat3{{a, b, c, d, e, f, g, h, i}};
}

} // namespace

Mat3 rotationX(float a)
{
    float c = std::cos(a), s = std::sin(a);
    return fromRows(1, 0, 0, 0, c, s, 0, -s, c);
}

Mat3 rotationY(float a)
{
    float c = std::cos(a), s = std::sin(a);
    return fromRows(c, 0, -s, 0, 1, 0, s, 0, c);
}

Mat3 rotationZ(float a)
{
    float c = std::cos(a), s = std::sin(a);
    return fromRows(c, s, 0, -s, c, 0, 0, 0, 1);
}
