// The generated courses must be playable: a way through, a safe place to be
// put back behind every pit, a clear start, and gentle ground between holes.
#include "tools/datagen/levels.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <deque>
#include <string>
#include <vector>

namespace {

// The course surface and the pit test as the game evaluates them.
double surfaceHeight(const std::vector<Hole>& holes, double x, double y)
{
    double sum = 0;
    for (const Hole& h : holes) {
        double e = h.radius / 30.0, dx = (x - h.x) / 30.0, dy = (y - h.y) / 30.0;
        sum += e * h.depth / std::sqrt(dx * dx + dy * dy + e * e);
    }
    return sum;
}

float pitAt(const std::vector<Hole>& holes, float x, float y)
{
    float nearest = 100000.0f;
    for (const Hole& h : holes) {
        if (h.depth <= 0)
            continue;
        float d = std::hypot(x - h.x, y - h.y);
        nearest = std::min(nearest, d);
        if (d <= 1.5f * h.radius)
            return h.radius;
    }
    return nearest < 250.0f ? -1.0f : 0.0f;
}

// Cells of 10 units from which the goal line can be reached without
// touching a capture circle (widened by the marble's drawn size).
struct Reach {
    static constexpr int kStep = 10;
    int columns = static_cast<int>((kCourseRight - kCourseLeft) / kStep) + 1;
    int rows = static_cast<int>((kGoalY + 10 - (-6000)) / kStep) + 1;
    std::vector<char> open, reached;

    explicit Reach(const std::vector<Hole>& holes) : open(columns * rows, 1), reached(columns * rows, 0)
    {
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < columns; ++c)
                for (const Hole& h : holes)
                    if (h.depth > 0 && std::hypot(xOf(c) - h.x, yOf(r) - h.y) <= 1.5f * h.radius + 15.0f)
                        open[r * columns + c] = 0;
        std::deque<int> queue;
        for (int c = 0; c < columns; ++c)
            if (open[(rows - 1) * columns + c]) {
                reached[(rows - 1) * columns + c] = 1;
                queue.push_back((rows - 1) * columns + c);
            }
        while (!queue.empty()) {
            int i = queue.front();
            queue.pop_front();
            int r = i / columns, c = i % columns;
            const int dr[] = {1, -1, 0, 0}, dc[] = {0, 0, 1, -1};
            for (int k = 0; k < 4; ++k) {
                int nr = r + dr[k], nc = c + dc[k];
                if (nr < 0 || nr >= rows || nc < 0 || nc >= columns)
                    continue;
                int j = nr * columns + nc;
                if (open[j] && !reached[j]) {
                    reached[j] = 1;
                    queue.push_back(j);
                }
            }
        }
    }
    float xOf(int c) const { return kCourseLeft + c * kStep; }
    float yOf(int r) const { return -6000.0f + r * kStep; }
    bool goalReachableFrom(float x, float y) const
    {
        int c = static_cast<int>(std::lround((x - kCourseLeft) / kStep));
        int r = static_cast<int>(std::lround((y + 6000.0f) / kStep));
        return c >= 0 && c < columns && r >= 0 && r < rows && reached[r * columns + c];
    }
};

void expectPlayable(const LevelDesign& level)
{
    SCOPED_TRACE(level.title);
    const std::vector<Hole>& holes = level.holes;
    for (const Hole& h : holes) {
        EXPECT_GT(h.radius, 0.0f);
        EXPECT_GE(h.x, kCourseLeft);
        EXPECT_LE(h.x, kCourseRight);
        // A capture circle wider than the probe distance could swallow a put-back spot.
        if (h.depth > 0) {
            EXPECT_LT(1.5f * h.radius, 250.0f);
        }
    }
    // The start line and the first 300 units are clear.
    for (float y = -6000; y <= -5500; y += 10)
        for (float x = kCourseLeft; x <= kCourseRight; x += 10)
            ASSERT_EQ(pitAt(holes, x, y), 0.0f) << x << "," << y;

    Reach reach(holes);
    EXPECT_TRUE(reach.goalReachableFrom(0, kStartY));

    // Caught anywhere in a pit, the marble is put back on x = 0 at a clear
    // spot not far behind it, from which the goal can still be reached.
    for (const Hole& h : holes) {
        if (h.depth <= 0)
            continue;
        for (float caughtY : {h.y - 1.5f * h.radius, h.y, h.y + 1.5f * h.radius}) {
            float y = caughtY - 4.0f * h.radius;
            while (y >= -6000.0f && pitAt(holes, 0, y) != 0.0f)
                y -= 30.0f;
            ASSERT_GE(y, -6000.0f) << "no put-back place behind " << h.x << "," << h.y;
            EXPECT_LT(h.y - y, 1600.0f) << "put back far behind " << h.x << "," << h.y;
            EXPECT_TRUE(reach.goalReachableFrom(0, y)) << "trapped behind " << h.x << "," << h.y;
        }
    }

    // Wherever the marble may roll, the slope pulls (58.8 * sine of its angle)
    // clearly less than the steering pushes (40), and the start stands level,
    // however much all the holes together lower the course.
    double steepest = 0;
    for (float y = -5800; y <= 5800; y += 20)
        for (float x = kCourseLeft; x <= kCourseRight; x += 20) {
            if (pitAt(holes, x, y) > 0)
                continue;
            double gx = surfaceHeight(holes, x + 1, y) - surfaceHeight(holes, x, y);
            double gy = surfaceHeight(holes, x, y + 1) - surfaceHeight(holes, x, y);
            steepest = std::max(steepest, std::hypot(gx, gy));
        }
    double pull = 58.8 * steepest / std::sqrt(1 + steepest * steepest);
    EXPECT_LT(pull, 25.0) << "slope " << steepest;
    double startSlope = surfaceHeight(holes, 0, kStartY + 1) - surfaceHeight(holes, 0, kStartY);
    EXPECT_LT(std::fabs(startSlope), 0.03);
    std::printf("%-16s holes %3zu  steepest %.3f  start slope %.4f  depth start %.1f mid %.1f goal %.1f\n",
                level.title.c_str(), holes.size(), steepest, startSlope, surfaceHeight(holes, 0, kStartY),
                surfaceHeight(holes, 0, 0), surfaceHeight(holes, 0, kGoalY));
}

} // namespace

// The first level lets a newcomer feel the keys: holding Up from the start
// meets no pit (its capture circle widened by the marble) for 1800 units.
void expectAFreeRunUp(const LevelDesign& first)
{
    SCOPED_TRACE(first.title);
    for (const Hole& h : first.holes)
        if (h.depth > 0 && std::fabs(h.x) < 1.5f * h.radius + 20.0f) {
            float reach = std::sqrt(std::pow(1.5f * h.radius + 20.0f, 2.0f) - h.x * h.x);
            EXPECT_GT(h.y - reach - kStartY, 1800.0f) << "pit at " << h.x << "," << h.y;
        }
}

TEST(LevelLayouts, GlLevelsArePlayable)
{
    std::vector<LevelDesign> levels = glLevelDesigns();
    expectAFreeRunUp(levels.front());
    EXPECT_GE(levels.size(), 6u);
    for (const LevelDesign& level : levels)
        expectPlayable(level);
}

TEST(LevelLayouts, GlideLevelsHaveTheKnownHoleCountsAndArePlayable)
{
    std::vector<LevelDesign> levels = glideLevelDesigns();
    ASSERT_EQ(levels.size(), 3u);
    EXPECT_EQ(levels[0].holes.size(), 58u);
    EXPECT_EQ(levels[1].holes.size(), 62u);
    EXPECT_EQ(levels[2].holes.size(), 70u);
    expectAFreeRunUp(levels.front());
    for (const LevelDesign& level : levels)
        expectPlayable(level);
}
