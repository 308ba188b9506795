#include "render/terrain_draw.h"

#include "game/edition_rules.h"
#include "render/projection.h"
#include "render/renderer.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

int terrainVerticesProjected = 0;

namespace {

constexpr int kLastCellRow = kGridRows - 2;       // 398
constexpr int kLastCellColumn = kGridColumns - 2; // 48
constexpr int kNearRowLimit = 60;
constexpr float kRight = kScreenWidth;
constexpr float kTop = kScreenHeight;

// Per-frame flags and projected vertices, reset at the start of every draw.
std::array<uint8_t, kGridVertices> needsProjection;
std::array<uint8_t, kGridVertices> visible;
std::array<ScreenVertex, kGridVertices> prepared;

// trunc(v) limited to lo..hi; a value that is not a number counts as lo.
int truncClamped(double v, int lo, int hi)
{
    if (!(v > double(lo)))
        return lo;
    if (v >= double(hi))
        return hi;
    return int(v);
}

// One terrain draw's walk over the grid.
struct GridWalk {
    const LevelMap& level;
    int triangles = 0;

    float screenX(int i) const { return prepared[i].x; }
    float screenY(int i) const { return prepared[i].y; }

    void project(int i, const ViewTransform& view)
    {
        needsProjection[i] = 0;
        ++terrainVerticesProjected;
        const Vec3& world = level.vertices[i];
        ProjectedPoint p = projectPoint(world, view);
        ScreenVertex& v = prepared[i];
        v.x = p.x;
        v.y = p.y;
        v.w = p.w;
        v.oow = 1.0f / p.w;
        v.r = v.g = v.b = v.a = 1.0f;
        v.s = world.x;
        v.t = world.y;
        visible[i] = renderer->prepareTerrainVertex(v);
    }

    ScreenVertex handOver(int i) const
    {
        ScreenVertex v = prepared[i];
        v.w = 1.0f / v.oow;
        return v;
    }

    void triangle(int a, int b, int c)
    {
        renderer->drawTerrainTriangle(handOver(a), handOver(b), handOver(c));
        ++triangles;
    }

    void drawCell(int i)
    {
        if (!visible[i])
            return;
        if (visible[i + 51] && visible[i + 50]) {
            triangle(i, i + 50, i + 51);
            if (visible[i + 1])
                triangle(i, i + 51, i + 1);
        } else if (visible[i + 51] && visible[i + 1]) {
            triangle(i, i + 51, i + 1);
        }
    }
};

// One quarter of the walk: rows from firstRow in rowStep, columns from
// firstColumn in columnStep, each direction stopping at the screen edge it
// walks toward.
struct Sweep {
    int firstRow;
    int rowStep;
    int firstColumn;
    int columnStep;
};

void walk(GridWalk& grid, const ViewTransform& view, const Sweep& sweep, int lastRow)
{
    bool forward = sweep.rowStep > 0;
    bool rightward = sweep.columnStep > 0;
    for (int r = sweep.firstRow;; r += sweep.rowStep) {
        bool rowGoesOn = false;
        for (int c = sweep.firstColumn;; c += sweep.columnStep) {
            if (r < 0 || r > lastRow || c < 0 || c > kLastCellColumn)
                break;
            int i = r * kGridColumns + c;
            for (int corner : {i, i + 1, i + 50, i + 51}) {
                if (needsProjection[corner])
                    grid.project(corner, view);
            }
            bool columnGoesOn = rightward ? (grid.screenX(i + 51) < kRight || grid.screenX(i + 1) < kRight)
                                          : (grid.screenX(i) > 0.0f || grid.screenX(i + 50) > 0.0f);
            if (forward ? (grid.screenY(i + 50) < kTop || grid.screenY(i + 51) < kTop)
                        : (grid.screenY(i) > 0.0f || grid.screenY(i + 1) > 0.0f))
                rowGoesOn = true;
            grid.drawCell(i);
            if (!columnGoesOn)
                break;
        }
        if (!rowGoesOn)
            break;
    }
}

} // namespace

int drawTerrain(const LevelMap& level, const ViewTransform& view, bool farSight, bool fogOn)
{
    terrainVerticesProjected = 0;
    if (!level.vertices)
        return 0;

    needsProjection.fill(1);
    visible.fill(0);

    Vec3 eye = view.position();
    double rowOffset = rules().terrainStartRowOffset;
    // The start column is left unclamped by the walk's rules; the sweeps
    // below keep every cell they touch inside columns 0..48.
    int startColumn = truncClamped(double(eye.x) * 0.03333333333333333 + 25.0, -1, kGridColumns);
    int startRow = truncClamped((double(eye.y) + rowOffset) / 30.0 + 200.0, 0, kLastCellRow);
    int lastRow = farSight ? kLastCellRow : std::min(startRow + kNearRowLimit, kLastCellRow);

    renderer->beginTerrain();
    if (!isGlide())
        renderer->setFog(fogOn);

    // A camera beside the grid still sees the course: the sweeps toward it
    // start at its nearest column.
    int upColumn = std::max(startColumn, 0);
    int downColumn = std::min(startColumn - 1, kLastCellColumn);
    GridWalk grid{level};
    walk(grid, view, Sweep{startRow, 1, upColumn, 1}, lastRow);
    walk(grid, view, Sweep{startRow, 1, downColumn, -1}, lastRow);
    walk(grid, view, Sweep{startRow - 1, -1, downColumn, -1}, lastRow);
    walk(grid, view, Sweep{startRow - 1, -1, upColumn, 1}, lastRow);

    renderer->endTerrain();
    return grid.triangles;
}
