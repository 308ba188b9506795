#include "sim_fixture.h"

#include "sim/marble.h"

#include <gtest/gtest.h>

namespace {

class PhysicsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        useHoles({});
        ball.setPosition(Vec3(0, 0, 0));
        ball.setVelocity(Vec3(0, 0, 0));
        ball.setPower(40.0f);
    }
    Marble ball;
};

TEST_F(PhysicsTest, SteeringFromRestOnFlatGround)
{
    ball.step(levelMap, Vec3(40, 0, 0), 0.02f);
    EXPECT_NEAR(ball.velocity().x, 0.08f, 1e-6f);
    EXPECT_NEAR(ball.position().x, 0.336f, 1e-5f);
    EXPECT_EQ(ball.position().y, 0.0f);
    EXPECT_EQ(ball.position().z, 0.0f);
    EXPECT_EQ(ball.velocity().z, 0.0f);
}

TEST_F(PhysicsTest, DragDecaysTheSpeedWithoutSteering)
{
    ball.setVelocity(Vec3(2.0f, -1.0f, 0.0f));
    ball.step(levelMap, Vec3(0, 0, 0), 0.05f);
    float factor = 1.0f - 0.95f * 0.05f;
    EXPECT_NEAR(ball.velocity().x, 2.0f * factor, 1e-6f);
    EXPECT_NEAR(ball.velocity().y, -1.0f * factor, 1e-6f);
}

TEST_F(PhysicsTest, SpeedCapAppliesOnlyAboveTheLimit)
{
    // A step with no force multiplies by 1 - 0.95 dt first; start just above
    // the cap by that factor so the capped value is the comparison.
    float dt = 0.001f;
    float factor = 1.0f - 0.95f * dt;
    ball.setVelocity(Vec3(4.0001f / factor, 0, 0));
    ball.step(levelMap, Vec3(0, 0, 0), dt);
    EXPECT_FLOAT_EQ(ball.velocity().length(), 4.0f);

    // Boost raises the cap to 6.5: a long push saturates exactly there.
    ball.setPower(65.0f);
    for (int i = 0; i < 200; ++i)
        ball.step(levelMap, Vec3(0, 65.0f, 0), 0.05f);
    EXPECT_FLOAT_EQ(ball.velocity().length(), 6.5f);
    // Normal power settles at the cap, below the 40/9.5 the drag would allow.
    ball.setPower(40.0f);
    for (int i = 0; i < 200; ++i)
        ball.step(levelMap, Vec3(0, 40.0f, 0), 0.05f);
    EXPECT_FLOAT_EQ(ball.velocity().length(), 4.0f);
}

TEST_F(PhysicsTest, MarbleIsPinnedToTheSurfaceAndRollsIntoAPit)
{
    useHoles({{0.0f, 0.0f, 60.0f, 45.0f}});
    ball.setPosition(Vec3(80.0f, 10.0f, levelMap.heightAt(80.0f, 10.0f)));
    float startDistance = 80.6f;
    for (int i = 0; i < 20; ++i) {
        ball.step(levelMap, Vec3(0, 0, 0), 1.0f / 60.0f);
        Vec3 p = ball.position();
        EXPECT_EQ(p.z, levelMap.heightAt(p.x, p.y));
    }
    Vec3 p = ball.position();
    EXPECT_LT(std::sqrt(p.x * p.x + p.y * p.y), startDistance - 5.0f);
    // Rolling down means moving to larger z: the climb rate is negative.
    EXPECT_LT(ball.velocity().z, 0.0f);
}

TEST_F(PhysicsTest, LongFrameMovesFarAndZeroFrameMovesNothing)
{
    ball.setVelocity(Vec3(0, 4.0f, 0));
    ball.step(levelMap, Vec3(0, 40.0f, 0), 0.5f);
    EXPECT_NEAR(ball.position().y, 420.0f, 1e-3f);

    Vec3 before = ball.position();
    ball.step(levelMap, Vec3(0, 40.0f, 0), 0.0f);
    EXPECT_EQ(ball.position().y, before.y);
    EXPECT_FALSE(std::isnan(ball.velocity().z));
}

} // namespace
