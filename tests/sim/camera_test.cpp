#include "sim_fixture.h"

#include "game/game_state.h"
#include "game/options.h"
#include "sim/camera.h"
#include "sim/marble.h"
#include "sim/view_transform.h"

#include <cmath>

namespace {

class CameraTest : public GameTest {
protected:
    void SetUp() override
    {
        GameTest::SetUp();
        resetOptions();
        resetCameraState();
        useHoles({});
        marble.setPosition(Vec3(0, 1000, 0));
    }
    // Lag 0 and a frame of 0.1 s or more put the camera exactly on its target.
    void snapToTarget()
    {
        cameraLag = 0.0f;
        frameTime = 0.1f;
        updateCamera();
    }
};

TEST_F(CameraTest, RestsBehindAndAboveTheMarbleLookingAtIt)
{
    cameraPosition = Vec3(0, 600, -350);
    snapToTarget();
    EXPECT_FLOAT_EQ(cameraPosition.x, 0.0f);
    EXPECT_FLOAT_EQ(cameraPosition.y, 600.0f);
    EXPECT_FLOAT_EQ(cameraPosition.z, -350.0f); // flat ground never lifts it
    // On the centre line the y and z angles aim straight ahead.
    EXPECT_FLOAT_EQ(cameraAngles[1], 0.0f);
    EXPECT_FLOAT_EQ(cameraAngles[2], 0.0f);
    EXPECT_NEAR(cameraAngles[0], -std::atan(400.0f / 350.0f), 1e-6f);
    Vec3 v = cameraView.toView(marble.position());
    EXPECT_NEAR(v.x, 0.0f, 1e-3f);
    EXPECT_NEAR(v.y, 0.0f, 1e-3f);
    EXPECT_NEAR(v.z, 531.5f, 0.05f);
}

TEST_F(CameraTest, ClearanceLiftsTheTargetAboveEverySample)
{
    // A mound ahead of and beside the target point (600, z up is negative).
    useHoles({{60.0f, 760.0f, 90.0f, -700.0f}});
    cameraPosition = Vec3(0, 600, -350);
    snapToTarget();
    float expected = -350.0f;
    const float samples[4][2] = {{0, 600}, {0, 750}, {75, 600}, {-75, 600}};
    for (const auto& s : samples)
        expected = std::min(expected, levelMap.heightAt(s[0], s[1]) - 270.0f);
    ASSERT_LT(expected, -350.0f);
    EXPECT_FLOAT_EQ(cameraPosition.z, expected);
}

TEST_F(CameraTest, EasingFollowsTheLagAndCapsLongFramesInGl)
{
    cameraPosition = Vec3(0, 0, -350);
    cameraLag = 6.0f;
    frameTime = 0.5f; // gl eases by at most 0.1 s: k = 0.4
    updateCamera();
    EXPECT_NEAR(cameraPosition.y, 0.0f + (600.0f - 0.0f) * 0.4f, 1e-3f);

    // Lag 9 closes a tenth of the gap in 0.1 s.
    cameraPosition = Vec3(0, 0, -350);
    cameraLag = 9.0f;
    frameTime = 0.1f;
    updateCamera();
    EXPECT_NEAR(cameraPosition.y, 60.0f, 1e-3f);
}

TEST_F(CameraTest, CameraLevelWithTheMarbleGivesNoNaN)
{
    cameraPosition = Vec3(30, 900, 0); // same z as the marble
    cameraLag = 6.0f;
    frameTime = 0.01f;
    updateCamera();
    for (float a : cameraAngles)
        EXPECT_FALSE(std::isnan(a));
    Mat3 r = cameraView.rotation();
    for (float e : r.m)
        EXPECT_FALSE(std::isnan(e));
}

} // namespace
