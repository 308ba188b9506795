#include "levels/level_map.h"

#include <cmath>
#include <vector>

// The surface is flat ground plus one bell-shaped offset per hole; every
// length is taken in cells of 30 units and the sums are formed in double.

namespace {

constexpr double kToCells = 1.0 / 30.0;
constexpr double kHoleCaptureFactor = 1.5;
constexpr double kHoleProbeDistance = 250.0;

// A hole of radius 0 would divide zero by zero at its centre; it is treated
// as absent everywhere.
bool isAbsent(const Hole& hole) { return hole.radius == 0.0f; }

// A hole in cell units with the terms of its offset that do not depend on the
// point. Height sums use exactly these terms, so the grid and the queries agree
// to the last bit.
struct CellHole {
    double x, y, e, ee, ed;
};

CellHole toCells(const Hole& hole)
{
    double e = hole.radius * kToCells;
    return CellHole{hole.x * kToCells, hole.y * kToCells, e, e * e, e * hole.depth};
}

double offset(const CellHole& hole, double dx, double dy) { return hole.ed / std::sqrt(dx * dx + dy * dy + hole.ee); }

// Height sums of up to four points in one pass over the hole table: each
// lane adds the holes in table order in double, exactly as a sum of its own.
// Built once more for AVX2, where the four lanes are one register (x86 only).
#if defined(__x86_64__) || defined(__i386__)
#define ORBIVALE_SUM_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define ORBIVALE_SUM_CLONES
#endif
ORBIVALE_SUM_CLONES void sumHeights(const Hole* holes, int32_t count, const double cx[4], const double cy[4],
                                    double sums[4])
{
    double s[4] = {0.0, 0.0, 0.0, 0.0};
    for (int32_t i = 0; i < count; ++i) {
        const Hole& hole = holes[i];
        if (isAbsent(hole))
            continue;
        CellHole h = toCells(hole);
        for (int k = 0; k < 4; ++k)
            s[k] += offset(h, cx[k] - h.x, cy[k] - h.y);
    }
    for (int k = 0; k < 4; ++k)
        sums[k] = s[k];
}

} // namespace

void LevelMap::heightsAt(const float* x, const float* y, float* heights, int count) const
{
    for (int first = 0; first < count; first += 4) {
        int n = count - first < 4 ? count - first : 4;
        if (holeCount < 1 || !holes) {
            for (int k = 0; k < n; ++k)
                heights[first + k] = 0.0f;
            continue;
        }
        // Spare lanes repeat the last point.
        double cx[4], cy[4], sums[4];
        for (int k = 0; k < 4; ++k) {
            int point = first + (k < n ? k : n - 1);
            cx[k] = x[point] * kToCells;
            cy[k] = y[point] * kToCells;
        }
        sumHeights(holes.get(), holeCount, cx, cy, sums);
        for (int k = 0; k < n; ++k)
            heights[first + k] = float(sums[k]);
    }
}

float LevelMap::heightAt(float x, float y) const
{
    if (holeCount < 1 || !holes)
        return 0.0f;
    double cx = x * kToCells;
    double cy = y * kToCells;
    double sum = 0.0;
    for (int32_t i = 0; i < holeCount; ++i) {
        const Hole& hole = holes[i];
        if (isAbsent(hole))
            continue;
        CellHole h = toCells(hole);
        sum += offset(h, cx - h.x, cy - h.y);
    }
    return float(sum);
}

SurfaceAround LevelMap::surfaceAround(float x, float y) const
{
    const float xs[4] = {x, x - 1.0f, x + 1.0f, x};
    const float ys[4] = {y, y, y, y + 1.0f};
    float h[4];
    heightsAt(xs, ys, h, 4);
    return SurfaceAround{h[0], h[1], h[2], h[3]};
}

bool LevelMap::sampleGridHeights()
{
    // The same sums as heightAt, turned inside out: one hole at a time over a
    // whole row, which the compiler can vectorise.
    std::vector<CellHole> table;
    for (int32_t i = 0; holes && i < holeCount; ++i)
        if (!isAbsent(holes[i]))
            table.push_back(toCells(holes[i]));
    double columnX[kGridColumns];
    for (int column = 0; column < kGridColumns; ++column)
        columnX[column] = vertices[column].x * kToCells;
    for (int row = 0; row < kGridRows; ++row) {
        Vec3* rowVertices = vertices.get() + row * kGridColumns;
        double cy = rowVertices[0].y * kToCells;
        double sums[kGridColumns] = {};
        for (const CellHole& h : table) {
            double dy = cy - h.y;
            for (int column = 0; column < kGridColumns; ++column)
                sums[column] += offset(h, columnX[column] - h.x, dy);
        }
        for (int column = 0; column < kGridColumns; ++column)
            rowVertices[column].z = holeCount < 1 ? 0.0f : float(sums[column]);
    }
    return true;
}

float LevelMap::holeAt(float x, float y) const
{
    double nearest = 100000.0;
    if (!holes)
        return 0.0f;
    double cx = x * kToCells;
    double cy = y * kToCells;
    for (int32_t i = 0; i < holeCount; ++i) {
        const Hole& hole = holes[i];
        if (hole.depth <= 0.0f || isAbsent(hole))
            continue;
        double e = hole.radius * kToCells;
        double dx = cx - hole.x * kToCells;
        double dy = cy - hole.y * kToCells;
        double d = std::sqrt(dx * dx + dy * dy);
        if (d * 30.0 < nearest)
            nearest = d * 30.0;
        if (d <= kHoleCaptureFactor * e)
            return hole.radius;
    }
    return nearest < kHoleProbeDistance ? -1.0f : 0.0f;
}

Vec3 SurfaceAround::normal() const { return Vec3(h - hMinusX, hPlusY - h, -1.0f).normalized(); }

Vec3 SurfaceAround::downhill() const { return (normal() + Vec3(0.0f, 0.0f, 1.0f)).normalized(); }

Vec3 SurfaceAround::tangentX() const { return Vec3(1.0f, 0.0f, hPlusX - h).normalized(); }

Vec3 SurfaceAround::tangentY() const { return Vec3(0.0f, 1.0f, hPlusY - h).normalized(); }

Vec3 LevelMap::normalAt(float x, float y) const { return surfaceAround(x, y).normal(); }

Vec3 LevelMap::downhillAt(float x, float y) const { return surfaceAround(x, y).downhill(); }

Vec3 LevelMap::tangentXAt(float x, float y) const { return surfaceAround(x, y).tangentX(); }

Vec3 LevelMap::tangentYAt(float x, float y) const { return surfaceAround(x, y).tangentY(); }
