#include "render/terrain_draw.h"

#include "game/edition.h"
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
constexpr double kGlStartRowOffset = 400.0;
constexpr double kGlideStartRowOffset = 1000.0;
// orbivale-glide: nearer vertices are dropped; up to kGuardDepth the card's
// 12.4 fixed-point range (-2048..2047) must hold the projected position.
constexpr float kGlideNearDepth = 25.0f;
constexpr float kGuardDepth = 300.0f;
constexpr float kGuardMin = -2048.0f;
constexpr float kGuardMax = 2047.0f;
constexpr float kSnapBias = 786432.0f;

// Per-frame flags, reset at the start of every draw.
std::array<uint8_t, kGridVertices> needsProjection;
std::array<uint8_t, kGridVertices> visible;

// Rounds to the 1/16 pixel the Glide card works in: at 3 * 2^18 a float's
// spacing is exactly 1/16. volatile keeps the two steps in single precision.
float snapToSixteenth(float v)
{
    volatile float biased = v + kSnapBias;
    return biased - kSnapBias;
}

// trunc(v) limited to lo..hi; a value that is not a number counts as lo.
int truncClamped(double v, int lo, int hi)
{
    if (!(v > double(lo)))
        return lo;
    if (v >= double(hi))
        return hi;
    return int(v);
}

// The pixel position a sweep test looks at, for either work record.
struct GridWalk {
    const LevelMap& level;
    bool glide;
    int triangles = 0;

    float screenX(int i) const { return glide ? level.glideVertices[i].x : level.screenVertices[i].x; }
    float screenY(int i) const { return glide ? level.glideVertices[i].y : level.screenVertices[i].y; }

    void project(int i, const ViewTransform& view)
    {
        needsProjection[i] = 0;
        ++terrainVerticesProjected;
        const Vec3& world = level.vertices[i];
        ProjectedPoint p = projectPoint(world, view);
        float oow = 1.0f / p.w;
        if (!glide) {
            level.screenVertices[i] = Vec3(p.x, p.y, oow);
            // A point at or behind the viewer has no sensible place on screen.
            visible[i] = p.w > 0.0f;
            return;
        }
        GlideScreenVertex& g = level.glideVertices[i];
        // A rejected vertex keeps its screen position for the sweep tests.
        g.x = p.x;
        g.y = p.y;
        if (p.w < kGlideNearDepth)
            return;
        if (p.w < kGuardDepth && (p.x < kGuardMin || p.x > kGuardMax || p.y < kGuardMin || p.y > kGuardMax))
            return;
        g.oow = oow;
        // World x and y in the 256-texel Glide texture space, divided by w.
        g.sow0 = 2.0f * world.x * oow;
        g.tow0 = 2.0f * world.y * oow;
        g.x = snapToSixteenth(p.x);
        g.y = snapToSixteenth(p.y);
        visible[i] = 1;
    }

    ScreenVertex handOver(int i) const
    {
        ScreenVertex v;
        if (glide) {
            const GlideScreenVertex& g = level.glideVertices[i];
            v.x = g.x;
            v.y = g.y;
            v.oow = g.oow;
            v.s = g.sow0;
            v.t = g.tow0;
            v.a = g.a / 255.0f;
        } else {
            const Vec3& p = level.screenVertices[i];
            v.x = p.x;
            v.y = p.y;
            v.oow = p.z;
            v.s = level.texCoords[i].x;
            v.t = level.texCoords[i].y;
            v.a = 1.0f;
        }
        v.w = 1.0f / v.oow;
        v.r = v.g = v.b = 1.0f;
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
    bool glide = isGlide();
    terrainVerticesProjected = 0;
    if (!level.vertices || (glide ? !level.glideVertices : (!level.screenVertices || !level.texCoords)))
        return 0;

    needsProjection.fill(1);
    visible.fill(0);

    Vec3 eye = view.position();
    double rowOffset = glide ? kGlideStartRowOffset : kGlStartRowOffset;
    // The start column is left unclamped by the walk's rules; the sweeps
    // below keep every cell they touch inside columns 0..48.
    int startColumn = truncClamped(double(eye.x) * 0.03333333333333333 + 25.0, -1, kGridColumns);
    int startRow = truncClamped((double(eye.y) + rowOffset) / 30.0 + 200.0, 0, kLastCellRow);
    int lastRow = farSight ? kLastCellRow : std::min(startRow + kNearRowLimit, kLastCellRow);

    renderer->beginTerrain();
    if (!glide)
        renderer->setFog(fogOn);

    // A camera beside the grid still sees the course: the sweeps toward it
    // start at its nearest column.
    int upColumn = std::max(startColumn, 0);
    int downColumn = std::min(startColumn - 1, kLastCellColumn);
    GridWalk grid{level, glide};
    walk(grid, view, Sweep{startRow, 1, upColumn, 1}, lastRow);
    walk(grid, view, Sweep{startRow, 1, downColumn, -1}, lastRow);
    walk(grid, view, Sweep{startRow - 1, -1, downColumn, -1}, lastRow);
    walk(grid, view, Sweep{startRow - 1, -1, upColumn, 1}, lastRow);

    renderer->endTerrain();
    return grid.triangles;
}
