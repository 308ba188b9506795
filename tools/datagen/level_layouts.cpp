#include "tools/datagen/level_layouts.h"

#include "tools/datagen/noise.h"

#include <cmath>

void Layout::wall(float x0, float x1, float y, float radius, float depth, float spacing)
{
    int count = static_cast<int>(std::floor((x1 - x0) / spacing + 0.5f));
    for (int i = 0; i <= count; ++i)
        pit(std::round(x0 + (x1 - x0) * i / (count > 0 ? count : 1)), y, radius, depth);
}

void Layout::field(float x0, float x1, float y0, float y1, float spacingX, float spacingY, float radius, float depth,
                   int count, unsigned seed)
{
    Rng rng(seed);
    std::vector<Hole> grid;
    std::vector<bool> kept; // the ends of the unshifted rows stay: no lane along the course edges
    int row = 0;
    for (float y = y0; y <= y1 + 0.5f; y += spacingY, ++row) {
        float offset = (row & 1) ? spacingX * 0.5f : 0.0f;
        for (float x = x0 + offset; x <= x1 + 0.5f; x += spacingX) {
            float jx = rng.range(-0.12f, 0.12f) * spacingX;
            float jy = rng.range(-0.12f, 0.12f) * spacingY;
            float r = radius * rng.range(0.85f, 1.15f);
            bool end = !(row & 1) && (x == x0 || x + spacingX > x1 + 0.5f);
            // Edge pits are wider: seen from the far side of the course, they are the farthest.
            grid.push_back({std::round(end ? x : x + jx), std::round(y + jy), std::round(end ? 1.35f * r : r), depth});
            kept.push_back(end);
        }
    }
    // Drop random pits until `count` are left; the rest keep their order.
    while (static_cast<int>(grid.size()) > count && !grid.empty()) {
        size_t i = rng.next() % grid.size();
        if (kept[i])
            continue;
        grid.erase(grid.begin() + i);
        kept.erase(kept.begin() + i);
    }
    holes.insert(holes.end(), grid.begin(), grid.end());
}

bool Layout::fillTo(size_t count, const std::vector<Hole>& reserve)
{
    for (const Hole& hole : reserve) {
        if (holes.size() >= count)
            break;
        holes.push_back(hole);
    }
    return holes.size() == count;
}
