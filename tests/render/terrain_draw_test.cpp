#include "game_fixture.h"
#include "grid_level.h"

#include "render/projection.h"
#include "render/terrain_draw.h"

#include <cmath>
#include <map>
#include <numbers>
#include <set>
#include <utility>

namespace {

using Cell = std::pair<int, int>; // row, column of the cell's lower corner

constexpr int kBothTriangles = 3; // bit 1: (i, i+50, i+51); bit 2: (i, i+51, i+1)

class TerrainDrawTest : public GameTest {
protected:
    void use(Edition which)
    {
        startFresh(which);
        level = LevelMap();
        ASSERT_TRUE(loadFlatLevel(level, dir));
        recorder.calls.clear();
    }

    // A camera straight above (x, y) at the given height, looking down with
    // the course's +y up the screen.
    static ViewTransform lookingDown(float x, float y, float height)
    {
        ViewTransform view;
        view.set(Vec3(x, y, -height), 0.0f, 0.0f, 0.0f);
        return view;
    }

    // The grid vertex a handed-over vertex came from, read back from its
    // texture coordinates (orbivale-glide's are divided by w).
    static Cell gridPointOf(const ScreenVertex& v)
    {
        if (isGlide())
            return {int(std::lround(v.t / (2.0f * v.oow) / 30.0f)) + 200,
                    int(std::lround(v.s / (2.0f * v.oow) / 30.0f)) + 25};
        return {int(std::lround(v.t / 0.25f)) + 200, int(std::lround(v.s / 0.1875f)) + 25};
    }

    // Every terrain triangle sent, by cell. Fails on a triangle that is not
    // one of a cell's two or that is sent twice.
    std::map<Cell, int> drawnCells() const
    {
        std::map<Cell, int> cells;
        for (const RenderCall& call : recorder.of(RenderOp::TerrainTriangle)) {
            Cell a = gridPointOf(call.triangle[0]);
            Cell b = gridPointOf(call.triangle[1]);
            Cell c = gridPointOf(call.triangle[2]);
            int bit = 0;
            if (b == Cell{a.first + 1, a.second} && c == Cell{a.first + 1, a.second + 1})
                bit = 1;
            else if (b == Cell{a.first + 1, a.second + 1} && c == Cell{a.first, a.second + 1})
                bit = 2;
            EXPECT_NE(bit, 0) << "not a cell triangle at row " << a.first << " column " << a.second;
            EXPECT_EQ(cells[a] & bit, 0) << "sent twice: row " << a.first << " column " << a.second;
            cells[a] |= bit;
        }
        return cells;
    }

    static std::map<Cell, int> fullCells(int firstRow, int lastRow, int firstColumn, int lastColumn)
    {
        std::map<Cell, int> cells;
        for (int r = firstRow; r <= lastRow; ++r)
            for (int c = firstColumn; c <= lastColumn; ++c)
                cells[{r, c}] = kBothTriangles;
        return cells;
    }

    static int rowsOf(const std::map<Cell, int>& cells, bool highest)
    {
        return highest ? cells.rbegin()->first.first : cells.begin()->first.first;
    }

    TempDir dir;
    LevelMap level;
};

// gl: start row 400 ahead of the camera; the forward sweeps stop after the
// first row above the screen, the backward ones after the first below it.
TEST_F(TerrainDrawTest, GlWalksFromTheStartCellToEveryScreenEdge)
{
    use(Edition::Gl);
    // Rows project to y = 240 + 12 (r - 200), columns to x = 320 + 12 (c - 25):
    // the whole width is on screen; row 180 lies at y = 0 and row 220 at 480.
    int sent = drawTerrain(level, lookingDown(0.0f, 0.0f, 1000.0f), false, true);

    EXPECT_EQ(drawnCells(), fullCells(180, 219, 0, 48));
    EXPECT_EQ(sent, 40 * 49 * 2);
    EXPECT_EQ(recorder.count(RenderOp::TerrainTriangle), sent);
    // Each of the 41 x 50 corners touched is projected once.
    EXPECT_EQ(terrainVerticesProjected, 41 * 50);

    std::vector<RenderOp> ops = recorder.ops();
    ASSERT_GE(ops.size(), 3u);
    EXPECT_EQ(ops[0], RenderOp::BeginTerrain);
    EXPECT_EQ(ops[1], RenderOp::SetFog);
    EXPECT_TRUE(recorder.calls[1].on);
    EXPECT_EQ(ops.back(), RenderOp::EndTerrain);

    // Pixel positions, depth key and the stored texture coordinates.
    RenderCall first = recorder.of(RenderOp::TerrainTriangle).front();
    for (const ScreenVertex& v : first.triangle) {
        Cell p = gridPointOf(v);
        EXPECT_FLOAT_EQ(v.x, 320.0f + 12.0f * float(p.second - 25));
        EXPECT_FLOAT_EQ(v.y, 240.0f + 12.0f * float(p.first - 200));
        EXPECT_FLOAT_EQ(v.oow, 0.001f);
        EXPECT_EQ(v.s, float(p.second - 25) * 0.1875f);
        EXPECT_EQ(v.t, float(p.first - 200) * 0.25f);
    }

    recorder.calls.clear();
    drawTerrain(level, lookingDown(0.0f, 0.0f, 1000.0f), false, false);
    ASSERT_EQ(recorder.count(RenderOp::SetFog), 1);
    EXPECT_FALSE(recorder.of(RenderOp::SetFog)[0].on);
}

// glide: start row 1000 ahead, so the forward sweep draws one row beyond the
// top and the backward sweep every row down to the bottom edge; perspective
// texture coordinates; fog is not touched per frame.
TEST_F(TerrainDrawTest, GlideStartsFurtherAheadWithPerspectiveTextureCoordinates)
{
    use(Edition::Glide);
    int sent = drawTerrain(level, lookingDown(0.0f, 0.0f, 1000.0f), false, true);

    EXPECT_EQ(drawnCells(), fullCells(180, 233, 0, 48));
    EXPECT_EQ(sent, 54 * 49 * 2);
    EXPECT_EQ(recorder.count(RenderOp::SetFog), 0);
    EXPECT_EQ(recorder.ops().front(), RenderOp::BeginTerrain);
    EXPECT_EQ(recorder.ops().back(), RenderOp::EndTerrain);

    for (const RenderCall& call : recorder.of(RenderOp::TerrainTriangle)) {
        for (const ScreenVertex& v : call.triangle) {
            Cell p = gridPointOf(v);
            float worldX = float(p.second - 25) * 30.0f;
            float worldY = float(p.first - 200) * 30.0f;
            EXPECT_FLOAT_EQ(v.s, 2.0f * worldX * 0.001f);
            EXPECT_FLOAT_EQ(v.t, 2.0f * worldY * 0.001f);
            EXPECT_FLOAT_EQ(v.x, 320.0f + 0.4f * worldX);
            EXPECT_FLOAT_EQ(v.y, 240.0f + 0.4f * worldY);
            EXPECT_EQ(v.a, 1.0f);
        }
    }
}

// Vertices are snapped to 1/16 pixel, rounding to the nearest.
TEST_F(TerrainDrawTest, GlideSnapsVerticesToSixteenthsOfAPixel)
{
    use(Edition::Glide);
    ViewTransform view = lookingDown(0.7f, -0.45f, 1000.0f);
    drawTerrain(level, view, false, false);
    ASSERT_GT(recorder.count(RenderOp::TerrainTriangle), 0);
    for (const RenderCall& call : recorder.of(RenderOp::TerrainTriangle)) {
        for (const ScreenVertex& v : call.triangle) {
            Cell p = gridPointOf(v);
            ProjectedPoint exact = projectPoint(level.vertices[gridIndex(p.first, p.second)], view);
            EXPECT_EQ(v.x * 16.0f, std::round(v.x * 16.0f));
            EXPECT_EQ(v.y * 16.0f, std::round(v.y * 16.0f));
            EXPECT_LE(std::fabs(v.x - exact.x), 1.0f / 32.0f);
            EXPECT_LE(std::fabs(v.y - exact.y), 1.0f / 32.0f);
        }
    }
}

TEST_F(TerrainDrawTest, StartRowIsClampedToTheGridPerProgram)
{
    // y = -6500: gl's start row (-3.33) clamps to 0, so only the forward
    // sweeps draw, rows 0 to 3 (row 4 projects to 488); glide's is 16.
    use(Edition::Gl);
    drawTerrain(level, lookingDown(0.0f, -6500.0f, 1000.0f), false, false);
    EXPECT_EQ(drawnCells(), fullCells(0, 3, 0, 48));

    use(Edition::Glide);
    drawTerrain(level, lookingDown(0.0f, -6500.0f, 1000.0f), false, false);
    EXPECT_EQ(drawnCells(), fullCells(0, 16, 0, 48));
}

// A camera 350 above flat ground looking far ahead: the horizon lies below
// the top of the screen, so only the row limit ends the forward walk.
TEST_F(TerrainDrawTest, FarSightDrawsToTheFarEndAndNearSightSixtyRowsAhead)
{
    use(Edition::Gl);
    ViewTransform view;
    view.set(Vec3(0.0f, -3400.0f, -350.0f), -1.3f, 0.0f, 0.0f);
    // Start row: (-3400 + 400) / 30 + 200 = 100.

    int near = drawTerrain(level, view, false, false);
    std::map<Cell, int> nearCells = drawnCells();
    EXPECT_EQ(rowsOf(nearCells, true), 160);

    recorder.calls.clear();
    int far = drawTerrain(level, view, true, false);
    std::map<Cell, int> farCells = drawnCells();
    EXPECT_EQ(rowsOf(farCells, true), 398);
    EXPECT_GT(far, near);
    EXPECT_EQ(far, recorder.count(RenderOp::TerrainTriangle));

    // Rows nearer than the bottom edge are not drawn: the lowest row drawn is
    // the first whose near edge is at or below y = 0, and no row before it.
    int lowest = rowsOf(farCells, false);
    auto screenY = [&](int row, int column) { return projectPoint(level.vertices[gridIndex(row, column)], view).y; };
    EXPECT_LE(screenY(lowest, 25), 0.0f);
    EXPECT_GT(screenY(lowest + 1, 25), 0.0f);

    // Every cell wholly on screen is drawn; each row runs without gaps and
    // ends with the first cell past the left and right edges (or the grid's).
    std::map<int, std::pair<int, int>> columnsOfRow;
    for (const auto& [cell, triangles] : farCells) {
        EXPECT_EQ(triangles, kBothTriangles);
        auto [it, fresh] = columnsOfRow.try_emplace(cell.first, cell.second, cell.second);
        if (!fresh) {
            EXPECT_EQ(cell.second, it->second.second + 1) << "gap in row " << cell.first;
            it->second.second = cell.second;
        }
    }
    auto screenX = [&](int row, int column) { return projectPoint(level.vertices[gridIndex(row, column)], view).x; };
    for (const auto& rowColumns : columnsOfRow) {
        int row = rowColumns.first; // a lambda cannot capture a structured binding before C++20
        auto [left, right] = rowColumns.second;
        auto beyondRight = [&](int c) { return screenX(row, c + 1) >= 640.0f && screenX(row + 1, c + 1) >= 640.0f; };
        auto beyondLeft = [&](int c) { return screenX(row, c) <= 0.0f && screenX(row + 1, c) <= 0.0f; };
        EXPECT_TRUE(right == 48 || (beyondRight(right) && !beyondRight(right - 1))) << "row " << row;
        EXPECT_TRUE(left == 0 || (beyondLeft(left) && !beyondLeft(left + 1))) << "row " << row;
    }
    for (int r = lowest + 1; r <= 397; ++r) {
        for (int c = 0; c <= 48; ++c) {
            bool onScreen = true;
            for (int corner : {gridIndex(r, c), gridIndex(r, c + 1), gridIndex(r + 1, c), gridIndex(r + 1, c + 1)}) {
                ProjectedPoint p = projectPoint(level.vertices[corner], view);
                onScreen = onScreen && p.x > 0.0f && p.x < 640.0f && p.y > 0.0f && p.y < 480.0f;
            }
            if (onScreen) {
                EXPECT_EQ(farCells.count({r, c}), 1u) << "row " << r << " column " << c;
            }
        }
    }
}

// Near 25 units and, up to depth 300, outside the card's -2048..2047 range a
// vertex is rejected; a cell then draws the triangle that avoids it.
TEST_F(TerrainDrawTest, GlideRejectsNearAndOutOfRangeVerticesAndKeepsTheOtherTriangle)
{
    use(Edition::Glide);
    // 100 above the ground: 120 pixels a cell. Columns 22 to 27 reach the
    // screen sides; rows from 198 (y = 0) upward, but row 216 and beyond
    // project above y = 2047 and are rejected, so row 214 is the last drawn.
    ViewTransform view = lookingDown(0.0f, 0.0f, 100.0f);
    int sent = drawTerrain(level, view, false, false);
    EXPECT_EQ(drawnCells(), fullCells(198, 214, 22, 27));
    EXPECT_EQ(sent, 17 * 6 * 2);

    // Lift the vertex under the camera to 20 units from it.
    level.vertices[gridIndex(200, 25)].z = -80.0f;
    recorder.calls.clear();
    sent = drawTerrain(level, view, false, false);
    std::map<Cell, int> expected = fullCells(198, 214, 22, 27);
    expected.erase({200, 25}); // the lifted vertex is corner i: nothing
    expected.erase({199, 24}); // corner i + 51: nothing
    expected[{200, 24}] = 1;   // corner i + 1: (i, i+50, i+51) remains
    expected[{199, 25}] = 2;   // corner i + 50: (i, i+51, i+1) remains
    EXPECT_EQ(drawnCells(), expected);
    EXPECT_EQ(sent, 17 * 6 * 2 - 6);
    for (const RenderCall& call : recorder.of(RenderOp::TerrainTriangle))
        for (const ScreenVertex& v : call.triangle)
            EXPECT_GE(v.w, 25.0f);

    // gl keeps everything in front of the camera.
    use(Edition::Gl);
    level.vertices[gridIndex(200, 25)].z = -80.0f;
    drawTerrain(level, lookingDown(0.0f, -400.0f, 100.0f), false, false);
    EXPECT_EQ(drawnCells().count({200, 25}), 1u);
}

// Looking back along the course from just above it, between rows 200 and
// 201: the walk meets ground behind the camera up to row 201 and stops on row
// 200, whose cells straddle the camera plane. None of it is drawn.
TEST_F(TerrainDrawTest, NothingBehindTheCameraIsDrawn)
{
    for (Edition which : {Edition::Gl, Edition::Glide}) {
        use(which);
        ViewTransform view;
        view.set(Vec3(0.0f, 15.0f, -20.0f), -std::numbers::pi_v<float> / 2.0f, 0.0f, std::numbers::pi_v<float>);
        EXPECT_EQ(drawTerrain(level, view, true, false), 0);
        EXPECT_GT(terrainVerticesProjected, 0);
        EXPECT_EQ(recorder.count(RenderOp::TerrainTriangle), 0);
    }
}

// The flags are reset every frame: a second frame from another camera draws
// exactly what a first frame from that camera draws.
TEST_F(TerrainDrawTest, EachFrameProjectsAfresh)
{
    for (Edition which : {Edition::Gl, Edition::Glide}) {
        use(which);
        ViewTransform before = lookingDown(100.0f, -2000.0f, 900.0f);
        ViewTransform after = lookingDown(-200.0f, -1700.0f, 800.0f);
        drawTerrain(level, before, false, false);
        recorder.calls.clear();
        int second = drawTerrain(level, after, false, false);
        std::vector<RenderCall> secondCalls = recorder.of(RenderOp::TerrainTriangle);

        use(which);
        EXPECT_EQ(drawTerrain(level, after, false, false), second);
        std::vector<RenderCall> freshCalls = recorder.of(RenderOp::TerrainTriangle);
        ASSERT_EQ(freshCalls.size(), secondCalls.size());
        for (size_t k = 0; k < freshCalls.size(); ++k)
            for (int v = 0; v < 3; ++v) {
                EXPECT_EQ(freshCalls[k].triangle[v].x, secondCalls[k].triangle[v].x);
                EXPECT_EQ(freshCalls[k].triangle[v].y, secondCalls[k].triangle[v].y);
                EXPECT_EQ(freshCalls[k].triangle[v].oow, secondCalls[k].triangle[v].oow);
            }
    }
}

// A camera beside the course (as while the marble falls off an edge) sees the
// course from outside; the walk stays within the grid.
TEST_F(TerrainDrawTest, CameraBesideTheGridStillSeesTheCourse)
{
    use(Edition::Gl);
    for (float x : {-1500.0f, 1500.0f}) {
        recorder.calls.clear();
        EXPECT_GT(drawTerrain(level, lookingDown(x, 0.0f, 1000.0f), false, false), 0);
        std::map<Cell, int> cells = drawnCells();
        for (const auto& [cell, triangles] : cells) {
            EXPECT_GE(cell.second, 0);
            EXPECT_LE(cell.second, 48);
        }
        // Looking down from 1000 above x = -1500, screen x 0 is world x -2300 and
        // 640 is -700: only the two leftmost columns lie under it.
        if (x < 0.0f) {
            EXPECT_EQ(cells.rbegin()->first.second, 1);
        }
    }
}

TEST_F(TerrainDrawTest, NoLevelNoDrawing)
{
    use(Edition::Gl);
    LevelMap empty;
    EXPECT_EQ(drawTerrain(empty, lookingDown(0.0f, 0.0f, 1000.0f), true, true), 0);
    EXPECT_TRUE(recorder.calls.empty());
}

} // namespace
