#include "gl_scene.h"
#include "gl_test_window.h"
#include "grid_level.h"

#include "render/marble_draw.h"
#include "render/projection.h"
#include "render/terrain_draw.h"
#include "shell/edition.h"

#include <cmath>

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

} // namespace
