#include "render/renderer.h"

Renderer* renderer = nullptr;

bool Renderer::loadLevelTexture(const std::string&) { return false; }

bool Renderer::loadFontTexture(const std::string&) { return false; }

bool Renderer::prepareTerrainVertex(ScreenVertex& v)
{
    // Exact: a world position is a whole number of 30-unit cells.
    v.s /= 160.0f;
    v.t /= 120.0f;
    // A point at or behind the viewer has no sensible place on screen.
    return v.w > 0.0f;
}
