#pragma once

#include "render/screen_vertex.h"

// The card's 1/16-pixel coordinate form: at 3 * 2^18 a float's spacing is
// exactly 1/16, so adding this rounds a position to the card's grid.
constexpr float kSnapBias = 786432.0f;

// Rounds to the 1/16 pixel the card works in. volatile keeps the two steps
// in single precision.
inline float snapToSixteenth(float v)
{
    volatile float biased = v + kSnapBias;
    return biased - kSnapBias;
}

// A terrain vertex as the card takes it (see Renderer::prepareTerrainVertex):
// nothing nearer than 25, and up to a depth of 300 only what the card's 12.4
// fixed-point range (-2048..2047) holds; s and t in the 256-texel texture
// space, divided by w; x and y on the 1/16-pixel grid. A refused vertex keeps
// its position for the walk's edge tests.
inline bool prepareGlideTerrainVertex(ScreenVertex& v)
{
    constexpr float kNearDepth = 25.0f;
    constexpr float kGuardDepth = 300.0f;
    constexpr float kGuardMin = -2048.0f;
    constexpr float kGuardMax = 2047.0f;
    if (v.w < kNearDepth)
        return false;
    if (v.w < kGuardDepth && (v.x < kGuardMin || v.x > kGuardMax || v.y < kGuardMin || v.y > kGuardMax))
        return false;
    v.s = 2.0f * v.s * v.oow;
    v.t = 2.0f * v.t * v.oow;
    v.x = snapToSixteenth(v.x);
    v.y = snapToSixteenth(v.y);
    return true;
}
