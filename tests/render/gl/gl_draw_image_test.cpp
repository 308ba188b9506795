#include "gl_scene.h"
#include "gl_test_window.h"
#include "grid_level.h"

#include "game/edition.h"
#include "render/marble_draw.h"
#include "render/projection.h"
#include "render/terrain_draw.h"

#include <cmath>
#include <string>
#include <vector>

namespace {

using Rgb = std::array<int, 3>;

// The checker's two greens, or a filtered mix of them.
::testing::AssertionResult isGround(const Rgb& c)
{
    if (c[1] >= 110 && c[1] > c[0] && c[1] > c[2])
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "not ground: (" << c[0] << ", " << c[1] << ", " << c[2] << ")";
}

// The course and the marble as the game draws them, through the real back end.
class GlDrawImageTest : public GlWindowTest {
protected:
    void SetUp() override
    {
        edition = Edition::Gl;
        renderer = gl;
        ASSERT_TRUE(loadFlatLevel(level, dir));
        static const std::vector<uint8_t> texture = checkerTexture();
        gl->uploadLevelTexture(texture.data());
        gl->setFogColour(0xff00ff);
        gl->clearFrame(0.0f, 0.0f, 0.0f);
        // The camera at rest 400 behind and 350 above a marble at the origin.
        view.set(Vec3(0.0f, -400.0f, -350.0f), -std::atan(400.0f / 350.0f), 0.0f, 0.0f);
    }
    void TearDown() override
    {
        gl->setFog(false);
        renderer = nullptr;
    }

    TempDir dir;
    LevelMap level;
    ViewTransform view;
};

// The walk covers the whole screen with front faces; with fog on the near
// ground keeps its texture and the ground at the top edge (about 1700 away)
// is almost pure fog colour.
TEST_F(GlDrawImageTest, CourseCoversTheScreenAndFadesIntoTheFog)
{
    EXPECT_GT(drawTerrain(level, view, false, false), 0);
    for (auto [x, y] : {std::pair{320, 3}, std::pair{5, 240}, std::pair{635, 240}, std::pair{320, 476}})
        EXPECT_TRUE(isGround(pixel(x, y))) << x << ", " << y;

    gl->clearFrame(0.0f, 0.0f, 0.0f);
    drawTerrain(level, view, false, true);
    EXPECT_TRUE(isGround(pixel(320, 3)));
    EXPECT_TRUE(colourNear(pixel(320, 476), {255, 0, 255}, 12));
}

// The disc lands at the ball's projected centre in the marble's colour, on
// top of the ground it rests on.
TEST_F(GlDrawImageTest, MarbleSitsOnTheCourseAtItsProjectedCentre)
{
    Marble ball;
    ball.setColour(40.0f, 40.0f, 230.0f);
    ball.setPosition(Vec3(0.0f, 0.0f, 0.0f));
    drawTerrain(level, view, false, false);
    drawMarble(ball, view, level, false);

    ProjectedPoint centre = projectPoint(Vec3(0.0f, 0.0f, -20.0f), view);
    Rgb c = pixel(int(centre.x), int(centre.y));
    EXPECT_GT(c[2], 180) << c[0] << ", " << c[1] << ", " << c[2];
    EXPECT_LT(c[0], 60);
    float radius = 6400.0f / centre.w;
    EXPECT_TRUE(isGround(pixel(int(centre.x), int(centre.y + radius + 3.0f))));
}

// Pits and mounds spread over the course, so that nearer ground hides
// farther ground and the order of the triangles shows in the picture.
bool loadHillyLevel(LevelMap& level, const TempDir& dir)
{
    std::string text = "holecount= 40\n.data\n";
    for (int i = 0; i < 40; ++i) {
        int x = (i * 397) % 1200 - 600;
        int y = -5600 + i * 280;
        int radius = 60 + (i % 4) * 30;
        int depth = (i % 3 == 0) ? -60 : 80;
        text += std::to_string(x) + " " + std::to_string(y) + " " + std::to_string(radius) + " " +
                std::to_string(depth) + "\n";
    }
    text += ".end";
    Marble unused;
    return level.load(dir.write("hilly.map", text), unused);
}

// Gathering the terrain into one vertex array is only a faster way of sending
// the same triangles: the picture is the one that one glBegin/glEnd pair per
// triangle gives, pixel for pixel, with fog on and off, from the camera of
// play and from high above the course as at a level start.
TEST_F(GlDrawImageTest, GatheredTerrainGivesThePixelsOfOneBeginPerTriangle)
{
    ASSERT_TRUE(loadHillyLevel(level, dir));
    Marble ball;
    ball.setColour(230.0f, 40.0f, 40.0f);
    ball.setPosition(Vec3(0.0f, -2000.0f, level.heightAt(0.0f, -2000.0f)));
    ViewTransform play;
    play.set(Vec3(0.0f, -2400.0f, level.heightAt(0.0f, -2000.0f) - 350.0f), -std::atan(400.0f / 350.0f), 0.0f, 0.0f);
    ViewTransform above;
    above.set(Vec3(150.0f, -5500.0f, -3000.0f), -0.5f, 0.0f, 0.1f);

    for (const ViewTransform* view : {&play, &above})
        for (bool fog : {true, false}) {
            std::vector<uint8_t> shots[2];
            int triangles[2] = {};
            for (int batched : {1, 0}) {
                gl->setTerrainBatching(batched != 0);
                gl->clearFrame(0.0f, 0.0f, 1.0f);
                triangles[batched] = drawTerrain(level, *view, true, fog);
                drawMarble(ball, *view, level, false);
                shots[batched] = picture();
            }
            gl->setTerrainBatching(true);
            SCOPED_TRACE(std::string(view == &play ? "play camera" : "high camera") + (fog ? ", fog" : ""));
            EXPECT_EQ(triangles[0], triangles[1]);
            EXPECT_GT(triangles[1], 1000);
            size_t differing = 0;
            size_t ground = 0;
            for (size_t i = 0; i < shots[0].size(); i += 3) {
                differing += shots[0][i] != shots[1][i] || shots[0][i + 1] != shots[1][i + 1] ||
                             shots[0][i + 2] != shots[1][i + 2];
                ground += !(shots[1][i] == 0 && shots[1][i + 1] == 0 && shots[1][i + 2] == 255);
            }
            EXPECT_EQ(differing, 0u);
            // The course covers a good part of the screen: there is a picture to compare.
            EXPECT_GT(ground, shots[1].size() / 3 / 8) << ground;
        }
}

} // namespace
