#include "tools/datagen/icon_shading.h"

#include <algorithm>
#include <cmath>

float tileEdgeDistance(float u, float v)
{
    const float qx = std::fabs(u - 0.5f) - (kTileHalf - kTileCorner),
                qy = std::fabs(v - 0.5f) - (kTileHalf - kTileCorner);
    const float outside = std::hypot(std::max(qx, 0.0f), std::max(qy, 0.0f));
    return outside + std::min(std::max(qx, qy), 0.0f) - kTileCorner;
}

float groundLight(float u, float v) { return 1.05f - 0.35f * v + 0.1f * (0.5f - u); }

float rimLight(float inside) { return 0.55f + 0.45f * smoothstep(0.0f, 0.05f, inside); }

float shadowLight(float distance)
{
    return 0.5f + 0.5f * smoothstep(kMarbleRadius * 0.75f, kMarbleRadius * 1.15f, distance);
}

// Shaded as on the title picture: diffuse, a rim and a highlight.
Colour marbleShade(Colour marble, float dx, float dy)
{
    const float nz = std::sqrt(std::max(0.0f, 1.0f - dx * dx - dy * dy));
    const float diffuse = std::max(0.0f, dx * kLightX + dy * kLightY + nz * kLightZ);
    const float rim = std::pow(1.0f - nz, 3.0f) * 0.25f;
    return scaled(marble, 0.22f + 0.85f * diffuse + rim);
}

// The reflection of the view ray (0, 0, -1) about the normal, against the light.
float marbleHighlight(float dx, float dy)
{
    const float nz = std::sqrt(std::max(0.0f, 1.0f - dx * dx - dy * dy));
    const float rx = 2 * nz * dx, ry = 2 * nz * dy, rz = 2 * nz * nz - 1;
    return std::min(1.0f, std::pow(std::max(0.0f, rx * kLightX + ry * kLightY + rz * kLightZ), 40.0f));
}
