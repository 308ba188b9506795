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

} // namespace

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

Vec3 LevelMap::normalAt(float x, float y) const
{
    float h = heightAt(x, y);
    return Vec3(h - heightAt(x - 1.0f, y), heightAt(x, y + 1.0f) - h, -1.0f).normalized();
}

Vec3 LevelMap::downhillAt(float x, float y) const
{
    return (normalAt(x, y) + Vec3(0.0f, 0.0f, 1.0f)).normalized();
}

Vec3 LevelMap::tangentXAt(float x, float y) const
{
    return Vec3(1.0f, 0.0f, heightAt(x + 1.0f, y) - heightAt(x, y)).normalized();
}

Vec3 LevelMap::tangentYAt(float x, float y) const
{
    return Vec3(0.0f, 1.0f, heightAt(x, y + 1.0f) - heightAt(x, y)).normalized();
}
