#include "levels/level_map.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

namespace {

void setHoles(LevelMap& level, const std::vector<Hole>& table)
{
    level.holeCount = int32_t(table.size());
    level.holes.reset(new Hole[table.size()]);
    for (size_t i = 0; i < table.size(); ++i)
        level.holes[i] = table[i];
}

void expectVec(const Vec3& v, float x, float y, float z, float tol = 1e-6f)
{
    EXPECT_NEAR(v.x, x, tol);
    EXPECT_NEAR(v.y, y, tol);
    EXPECT_NEAR(v.z, z, tol);
}

TEST(TerrainTest, LevelWithoutHolesIsFlat)
{
    LevelMap level;
    for (float x : {0.0f, -750.0f, 5000.0f}) {
        EXPECT_EQ(level.heightAt(x, 123.0f), 0.0f);
        EXPECT_EQ(level.holeAt(x, 123.0f), 0.0f);
        expectVec(level.normalAt(x, 123.0f), 0, 0, -1);
        expectVec(level.downhillAt(x, 123.0f), 0, 0, 0);
        expectVec(level.tangentXAt(x, 123.0f), 1, 0, 0);
        expectVec(level.tangentYAt(x, 123.0f), 0, 1, 0);
    }
}

TEST(TerrainTest, OnePitShapesTheSurfaceEverywhere)
{
    LevelMap level;
    setHoles(level, {{0, 0, 60, 45}});
    EXPECT_FLOAT_EQ(level.heightAt(0, 0), 45.0f);
    EXPECT_NEAR(level.heightAt(60, 0), 31.82f, 0.005f);
    EXPECT_NEAR(level.heightAt(600, 0), 4.48f, 0.005f);
    EXPECT_NEAR(level.heightAt(5000, 0), 45.0 * 60 / std::sqrt(5000.0 * 5000 + 3600), 1e-5);

    EXPECT_EQ(level.holeAt(0, 0), 60.0f);
    EXPECT_EQ(level.holeAt(89, 0), 60.0f);
    EXPECT_EQ(level.holeAt(0, -89), 60.0f);
    EXPECT_EQ(level.holeAt(91, 0), -1.0f);
    EXPECT_EQ(level.holeAt(249, 0), -1.0f);
    EXPECT_EQ(level.holeAt(251, 0), 0.0f);

    // Beside the pit the surface climbs away from it (z falls with x): the
    // slope across x is a backward difference, the one along y a forward one.
    Vec3 n = level.normalAt(100, 0);
    float h = level.heightAt(100, 0);
    float slopeX = h - level.heightAt(99, 0);
    float slopeY = level.heightAt(100, 1) - h;
    Vec3 expected = Vec3(slopeX, slopeY, -1).normalized();
    expectVec(n, expected.x, expected.y, expected.z);
    EXPECT_LT(slopeX, 0.0f);
    EXPECT_NEAR(n.length(), 1.0f, 1e-6f);

    // Downhill points back to the pit (towards -x) and halfway down.
    Vec3 down = level.downhillAt(100, 0);
    EXPECT_LT(down.x, 0.0f);
    expectVec(down, (n + Vec3(0, 0, 1)).normalized().x, (n + Vec3(0, 0, 1)).normalized().y,
              (n + Vec3(0, 0, 1)).normalized().z);

    Vec3 tx = level.tangentXAt(100, 0);
    expectVec(tx, Vec3(1, 0, level.heightAt(101, 0) - h).normalized().x, 0,
              Vec3(1, 0, level.heightAt(101, 0) - h).normalized().z);
    EXPECT_LT(tx.z, 0.0f) << "the surface rises (z falls) going out of the pit";
    Vec3 ty = level.tangentYAt(0, 100);
    EXPECT_EQ(ty.x, 0.0f);
    EXPECT_LT(ty.z, 0.0f);
}

TEST(TerrainTest, MoundsRaiseTheSurfaceButAreNeverHoles)
{
    LevelMap level;
    setHoles(level, {{0, 0, 60, -45}});
    EXPECT_FLOAT_EQ(level.heightAt(0, 0), -45.0f);
    for (float x : {0.0f, 50.0f, 100.0f, 300.0f})
        EXPECT_EQ(level.holeAt(x, 0), 0.0f);
}

TEST(TerrainTest, HolesAddUpAndTheFirstCapturingPitWins)
{
    LevelMap level;
    setHoles(level, {{0, 0, 60, 45}, {0, 300, 30, -20}});
    EXPECT_NEAR(level.heightAt(0, 0), 43.01f, 0.005f);
    EXPECT_NEAR(level.heightAt(0, 300), -11.17f, 0.005f);

    // Overlapping capture circles: the earlier record answers.
    setHoles(level, {{0, 0, 60, 45}, {40, 0, 40, 30}});
    EXPECT_EQ(level.holeAt(20, 0), 60.0f);
    setHoles(level, {{40, 0, 40, 30}, {0, 0, 60, 45}});
    EXPECT_EQ(level.holeAt(20, 0), 40.0f);
    // Only the second pit reaches this point.
    EXPECT_EQ(level.holeAt(-80, 0), 60.0f);
}

TEST(TerrainTest, HoleOfRadiusZeroIsAbsentEvenAtItsCentre)
{
    LevelMap level;
    setHoles(level, {{0, 0, 0, 45}, {600, 0, 60, 45}});
    float h = level.heightAt(0, 0);
    EXPECT_TRUE(std::isfinite(h));
    EXPECT_NEAR(h, 4.48f, 0.005f);
    EXPECT_TRUE(std::isfinite(level.normalAt(0, 0).x));
    EXPECT_TRUE(std::isfinite(level.normalAt(1, 0).x));
    EXPECT_TRUE(std::isfinite(level.downhillAt(1, 0).x));
    EXPECT_TRUE(std::isfinite(level.tangentXAt(-1, 0).z));
    EXPECT_TRUE(std::isfinite(level.tangentYAt(0, -1).z));
    EXPECT_EQ(level.holeAt(0, 0), 0.0f) << "nor is it a pit to be caught in or kept away from";
}

} // namespace

// The batched sums (several points to a pass over the holes) against the
// one-point sum, bit for bit, on random maps: pits, mounds, absent holes,
// tables of every length around the four lanes of a pass.
TEST(TerrainTest, BatchedHeightsEqualSingleOnes)
{
    std::mt19937 rng(7);
    auto uniform = [&](float a, float b) { return std::uniform_real_distribution<float>(a, b)(rng); };
    for (int map = 0; map < 40; ++map) {
        std::vector<Hole> table(rng() % 90);
        for (Hole& h : table)
            h = Hole{uniform(-800, 800), uniform(-6000, 6000), rng() % 9 == 0 ? 0.0f : uniform(1, 200),
                     uniform(-60, 60)};
        LevelMap level;
        setHoles(level, table);
        float xs[7], ys[7], heights[7];
        for (int k = 0; k < 7; ++k)
            xs[k] = uniform(-900, 900), ys[k] = uniform(-6500, 6500);
        int count = 1 + map % 7;
        level.heightsAt(xs, ys, heights, count);
        for (int k = 0; k < count; ++k)
            EXPECT_EQ(heights[k], level.heightAt(xs[k], ys[k])) << map << " " << k;
        SurfaceAround around = level.surfaceAround(xs[0], ys[0]);
        EXPECT_EQ(around.h, level.heightAt(xs[0], ys[0]));
        EXPECT_EQ(around.hMinusX, level.heightAt(xs[0] - 1.0f, ys[0]));
        EXPECT_EQ(around.hPlusX, level.heightAt(xs[0] + 1.0f, ys[0]));
        EXPECT_EQ(around.hPlusY, level.heightAt(xs[0], ys[0] + 1.0f));
    }
}
