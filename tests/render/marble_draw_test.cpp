#include "game_fixture.h"
#include "grid_level.h"

#include "render/arrow_shape.h"
#include "render/marble_draw.h"
#include "render/projection.h"

#include <cmath>

namespace {

constexpr float kStep = 0.39269912f;

class MarbleDrawTest : public GameTest {
protected:
    void use(Edition which)
    {
        startFresh(which);
        level = LevelMap();
        ball.setColour(255.0f, 128.0f, 0.0f);
        // On flat ground, 420 below a camera looking straight down: the ball's
        // centre is 20 above the ground, 400 from the camera, at (320, 240).
        ball.setPosition(Vec3(0.0f, 0.0f, 0.0f));
        view.set(Vec3(0.0f, 0.0f, -420.0f), 0.0f, 0.0f, 0.0f);
    }

    void expectColour(const ScreenVertex& v, float scale, float opacity)
    {
        EXPECT_FLOAT_EQ(v.r, 255.0f / scale);
        EXPECT_FLOAT_EQ(v.g, 128.0f / scale);
        EXPECT_FLOAT_EQ(v.b, 0.0f);
        EXPECT_FLOAT_EQ(v.a, opacity);
    }

    // Each triangle k: centre, rim at (k + 1) pi/8, rim at k pi/8.
    void expectFan(RenderOp op, float radius, float tolerance, float rimKey, float opacity)
    {
        std::vector<RenderCall> fan = recorder.of(op);
        ASSERT_EQ(fan.size(), 16u);
        for (int k = 0; k < 16; ++k) {
            const auto& [centre, next, rim] = fan[k].triangle;
            EXPECT_NEAR(centre.x, 320.0f, tolerance);
            EXPECT_NEAR(centre.y, 240.0f, tolerance);
            EXPECT_FLOAT_EQ(centre.oow, 1.0f / 380.0f);
            expectColour(centre, 255.0f, opacity);
            float angles[2] = {float(k + 1) * kStep, float(k) * kStep};
            const ScreenVertex* rims[2] = {&next, &rim};
            for (int e = 0; e < 2; ++e) {
                EXPECT_NEAR(rims[e]->x, 320.0f + radius * std::cos(angles[e]), tolerance);
                EXPECT_NEAR(rims[e]->y, 240.0f + radius * std::sin(angles[e]), tolerance);
                EXPECT_FLOAT_EQ(rims[e]->oow, rimKey);
                expectColour(*rims[e], 2550.0f, opacity);
            }
        }
    }

    LevelMap level;
    Marble ball;
    ViewTransform view;
};

TEST_F(MarbleDrawTest, GlDiscGhostAndRimLines)
{
    use(Edition::Gl);
    drawMarble(ball, view, level, false);

    // 6400 / 400 = 16 pixels; the centre key is that of the ball's near point.
    expectFan(RenderOp::MarbleTriangle, 16.0f, 1e-3f, 1.0f / 400.0f, 1.0f);
    expectFan(RenderOp::GhostTriangle, 16.0f, 1e-3f, 1.0f / 400.0f, 0.3f);
    for (const RenderCall& ghost : recorder.of(RenderOp::GhostTriangle))
        EXPECT_FLOAT_EQ(ghost.opacity, 0.3f);

    // Each outer edge three times, rim colour at 0.3, after disc and ghost.
    std::vector<RenderCall> lines = recorder.of(RenderOp::RimLine);
    ASSERT_EQ(lines.size(), 48u);
    for (int k = 0; k < 16; ++k) {
        for (int repeat = 0; repeat < 3; ++repeat) {
            const RenderCall& line = lines[k * 3 + repeat];
            EXPECT_NEAR(line.points[0].x, 320.0f + 16.0f * std::cos(float(k + 1) * kStep), 1e-3f);
            EXPECT_NEAR(line.points[0].y, 240.0f + 16.0f * std::sin(float(k + 1) * kStep), 1e-3f);
            EXPECT_NEAR(line.points[1].x, 320.0f + 16.0f * std::cos(float(k) * kStep), 1e-3f);
            EXPECT_NEAR(line.points[1].y, 240.0f + 16.0f * std::sin(float(k) * kStep), 1e-3f);
            EXPECT_FLOAT_EQ(line.points[0].w, 400.0f);
            EXPECT_FLOAT_EQ(line.colour.r, 255.0f / 2550.0f);
            EXPECT_FLOAT_EQ(line.colour.a, 0.3f);
        }
    }
    std::vector<RenderOp> ops = recorder.ops();
    EXPECT_EQ(ops[15], RenderOp::MarbleTriangle);
    EXPECT_EQ(ops[16], RenderOp::GhostTriangle);
    EXPECT_EQ(ops[31], RenderOp::GhostTriangle);
    EXPECT_EQ(ops[32], RenderOp::RimLine);
    EXPECT_EQ(ops.size(), 16u + 16u + 48u);
}

TEST_F(MarbleDrawTest, GlideDiscIsLargerAndItsGhostRimLiesInFrontOfEverything)
{
    use(Edition::Glide);
    drawMarble(ball, view, level, false);

    // 8000 / 400 = 20 pixels.
    expectFan(RenderOp::MarbleTriangle, 20.0f, 1.0f / 32.0f, 1.0f / 400.0f, 1.0f);
    expectFan(RenderOp::GhostTriangle, 20.0f, 1.0f / 32.0f, 100.0f, 40.0f / 255.0f);
    for (const RenderCall& ghost : recorder.of(RenderOp::GhostTriangle))
        EXPECT_FLOAT_EQ(ghost.opacity, 40.0f / 255.0f);
    EXPECT_EQ(recorder.count(RenderOp::RimLine), 0);
    EXPECT_EQ(recorder.calls.size(), 32u);
}

// glide draws nothing nearer than 25, farther than 65535 or more than a
// radius off the screen; gl has no such test but never draws a ball whose
// near point is at or behind the camera.
TEST_F(MarbleDrawTest, VisibilityPerProgram)
{
    struct Case {
        Vec3 camera;
        bool glideDraws;
        bool glDraws;
    };
    // Centre at (0, 0, -20). Looking down, a sideways offset d moves the disc
    // 400 d / w pixels; at w = 400 the glide radius is 20.
    const Case cases[] = {
        {Vec3(0.0f, 0.0f, -44.0f), false, true},     // w = 24
        {Vec3(0.0f, 0.0f, -46.0f), true, true},      // w = 26
        {Vec3(0.0f, 0.0f, -20.0f), false, false},    // w = 0
        {Vec3(0.0f, 0.0f, 100.0f), false, false},    // behind
        {Vec3(0.0f, 0.0f, -65600.0f), false, true},  // w = 65580
        {Vec3(-339.0f, 0.0f, -420.0f), true, true},  // cx = 659, within R of the edge
        {Vec3(-341.0f, 0.0f, -420.0f), false, true}, // cx = 661
        {Vec3(0.0f, 261.0f, -420.0f), false, true},  // cy = -21
        {Vec3(0.0f, -259.0f, -420.0f), true, true},  // cy = 499
    };
    for (const Case& c : cases) {
        for (Edition which : {Edition::Gl, Edition::Glide}) {
            use(which);
            view.set(c.camera, 0.0f, 0.0f, 0.0f);
            drawMarble(ball, view, level, true);
            bool expected = which == Edition::Glide ? c.glideDraws : c.glDraws;
            EXPECT_EQ(recorder.count(RenderOp::MarbleTriangle), expected ? 16 : 0)
                << "camera z " << c.camera.z << " x " << c.camera.x << " y " << c.camera.y;
            if (!expected) {
                EXPECT_TRUE(recorder.calls.empty());
            }
        }
    }
}

TEST_F(MarbleDrawTest, NormalArrowsStartAtTheCentreInGlAndAtTheContactInGlide)
{
    // Flat ground: the normal points straight up and the downhill arrow has
    // no length, so its tip is its tail.
    for (Edition which : {Edition::Gl, Edition::Glide}) {
        use(which);
        view.set(Vec3(0.0f, -300.0f, -420.0f), -0.6f, 0.0f, 0.0f);
        drawMarble(ball, view, level, false);
        EXPECT_EQ(recorder.count(RenderOp::Arrow), 0);

        recorder.calls.clear();
        drawMarble(ball, view, level, true);
        std::vector<RenderCall> arrows = recorder.of(RenderOp::Arrow);
        ASSERT_EQ(arrows.size(), 2u);
        EXPECT_EQ(recorder.ops().back(), RenderOp::Arrow);
        Vec3 tail = which == Edition::Gl ? Vec3(0.0f, 0.0f, -20.0f) : Vec3(0.0f, 0.0f, 0.0f);
        ProjectedPoint expectedTail = projectPoint(tail, view);
        ProjectedPoint up = projectPoint(tail + Vec3(0.0f, 0.0f, -100.0f), view);
        for (const RenderCall& arrow : arrows) {
            EXPECT_FLOAT_EQ(arrow.points[0].x, expectedTail.x);
            EXPECT_FLOAT_EQ(arrow.points[0].y, expectedTail.y);
            EXPECT_FLOAT_EQ(arrow.points[0].w, expectedTail.w);
        }
        EXPECT_FLOAT_EQ(arrows[0].points[1].y, up.y);
        EXPECT_FLOAT_EQ(arrows[0].points[1].w, up.w);
        EXPECT_FLOAT_EQ(arrows[1].points[1].x, expectedTail.x);
        EXPECT_FLOAT_EQ(arrows[1].points[1].y, expectedTail.y);
    }

    // On a slope the disc sits off the contact point along the normal, and the
    // downhill arrow points down the slope (a mound at +x tilts ground to -x).
    use(Edition::Gl);
    level.holeCount = 1;
    level.holes = std::make_unique<Hole[]>(1);
    level.holes[0] = Hole{60.0f, 0.0f, 60.0f, -40.0f};
    ball.setPosition(Vec3(0.0f, 0.0f, level.heightAt(0.0f, 0.0f)));
    view.set(Vec3(0.0f, 0.0f, -420.0f), 0.0f, 0.0f, 0.0f);
    drawMarble(ball, view, level, true);
    Vec3 normal = level.normalAt(0.0f, 0.0f);
    ASSERT_LT(normal.x, -0.1f);
    Vec3 centre = ball.position() + normal * 20.0f;
    ProjectedPoint c = projectPoint(centre, view);
    EXPECT_NEAR(recorder.of(RenderOp::MarbleTriangle)[0].triangle[0].x, c.x, 1e-3f);
    std::vector<RenderCall> arrows = recorder.of(RenderOp::Arrow);
    ASSERT_EQ(arrows.size(), 2u);
    EXPECT_FLOAT_EQ(arrows[0].points[0].x, c.x);
    EXPECT_LT(arrows[1].points[1].x, arrows[1].points[0].x);
}

TEST(ArrowShapeTest, HeadTenPixelsBackAtEitherSideOfTheShaft)
{
    ArrowShape right = arrowShape(ProjectedPoint{100.0f, 100.0f, 50.0f}, ProjectedPoint{200.0f, 100.0f, 60.0f});
    EXPECT_FLOAT_EQ(right.theta, 0.0f);
    EXPECT_NEAR(right.headLeftX, 200.0f - 10.0f * std::cos(0.3927f), 1e-3f);
    EXPECT_NEAR(right.headLeftY, 100.0f + 10.0f * std::sin(0.3927f), 1e-3f);
    EXPECT_NEAR(right.headRightX, 200.0f - 10.0f * std::cos(0.3927f), 1e-3f);
    EXPECT_NEAR(right.headRightY, 100.0f - 10.0f * std::sin(0.3927f), 1e-3f);
    EXPECT_NEAR(right.sideX, 0.0f, 1e-4f);
    EXPECT_NEAR(right.sideY, 1.0f, 1e-4f);

    ArrowShape up = arrowShape(ProjectedPoint{10.0f, 10.0f, 50.0f}, ProjectedPoint{10.0f, 40.0f, 50.0f});
    EXPECT_NEAR(up.headLeftY, 40.0f - 10.0f * std::cos(0.3927f), 1e-3f);
    EXPECT_NEAR(up.headLeftX + up.headRightX, 20.0f, 1e-3f);
    EXPECT_NEAR(up.sideX, -1.0f, 1e-4f);

    // No length: atan2(0, 0) = 0, the head points right of the tip.
    ArrowShape none = arrowShape(ProjectedPoint{5.0f, 5.0f, 50.0f}, ProjectedPoint{5.0f, 5.0f, 50.0f});
    EXPECT_EQ(none.theta, 0.0f);
    EXPECT_LT(none.headLeftX, 5.0f);
}

} // namespace
