#include "sim_fixture.h"

#include "game/game_state.h"
#include "game/joystick_menu.h"
#include "game/options.h"
#include "levels/level_list.h"
#include "shell/run_frame.h"
#include "sim/marble.h"
#include "sim/marble_control.h"

#include <algorithm>
#include <cmath>

namespace {

class ControlTest : public GameTest {
protected:
    void SetUp() override
    {
        GameTest::SetUp();
        prepare(Edition::Gl);
    }
    void prepare(Edition which)
    {
        startFresh(which);
        resetOptions();
        resetMarbleControlState();
        useHoles({});
        levelCount = 3;
        levelTimes.assign(3, 45.0f);
        levelNumber = 2;
        levelDone = false;
        timeLeft = 30.0f;
        penaltyTimer = 0.0f;
        frameTime = 1.0f / 60.0f;
        place(0.0f, 0.0f);
    }
    void place(float x, float y)
    {
        marble.setPosition(Vec3(x, y, levelMap.heightAt(x, y)));
        marble.setVelocity(Vec3(0, 0, 0));
    }
    void hold(std::initializer_list<int> keys) { scripted.heldKeys = keys; }
};

TEST_F(ControlTest, ArrowKeysSteerAlongTheSurfaceAndOppositesCancel)
{
    hold({kKeyRight, kKeyUp});
    MarbleReport report = updateMarble();
    EXPECT_FALSE(report.fell || report.reachedGoal);
    EXPECT_FLOAT_EQ(controlForce.x, 40.0f);
    EXPECT_FLOAT_EQ(controlForce.y, 40.0f);
    EXPECT_GT(marble.position().x, 0.0f);
    EXPECT_GT(marble.position().y, 0.0f);

    hold({kKeyLeft, kKeyRight, kKeyUp, kKeyDown});
    updateMarble();
    EXPECT_EQ(controlForce.length(), 0.0f);
}

TEST_F(ControlTest, GlPadStickPushesByItsDeflectionOnAxesWhoseKeysAreFree)
{
    struct Case {
        int16_t x, y;
        std::initializer_list<int> keys;
        float forceX, forceY;
    };
    const float half = 40.0f * (16384 - 8000) / (32767 - 8000);
    for (Case c :
         {Case{32767, -32768, {}, 40.0f, 40.0f}, Case{16384, 0, {}, half, 0.0f}, Case{7999, -8000, {}, 0.0f, 0.0f},
          Case{-32768, 32767, {kKeyRight, kKeyUp}, 40.0f, 40.0f}, Case{-32768, 0, {kKeyUp}, -40.0f, 40.0f}}) {
        place(0.0f, 0.0f);
        scripted.pad = std::make_pair(c.x, c.y);
        hold(c.keys);
        updateMarble();
        EXPECT_FLOAT_EQ(controlForce.x, c.forceX) << c.x << ", " << c.y;
        EXPECT_FLOAT_EQ(controlForce.y, c.forceY) << c.x << ", " << c.y;
    }
    // orbivale-glide has its own joystick and no controller.
    prepare(Edition::Glide);
    scripted.pad = std::make_pair(int16_t(32767), int16_t(0));
    updateMarble();
    EXPECT_EQ(controlForce.length(), 0.0f);
}

TEST_F(ControlTest, MarbleStandsStillOutsideTheRaceButIsStillJudged)
{
    hold({kKeyUp});
    timeLeft = 46.0f; // ready phase
    updateMarble();
    EXPECT_EQ(marble.position().y, 0.0f);
    timeLeft = -1.0f; // after time-up
    updateMarble();
    EXPECT_EQ(marble.position().y, 0.0f);
    timeLeft = 20.0f;
    penaltyTimer = 0.5f; // after a fall
    updateMarble();
    EXPECT_EQ(marble.position().y, 0.0f);

    // Standing in a pit during the ready phase is still a fall.
    timeLeft = 46.0f;
    penaltyTimer = 0.0f;
    useHoles({{0.0f, 0.0f, 20.0f, 30.0f}});
    updateMarble();
    EXPECT_LT(marble.position().y, -79.0f);
}

TEST_F(ControlTest, GlBoostDrainsOnlyWhileRacingAndStopsAtEmpty)
{
    hold({kKeyShift});
    timeLeft = 46.0f;
    updateMarble();
    EXPECT_EQ(marble.power(), 65.0f);
    EXPECT_EQ(boostReserve, 5.0f);

    timeLeft = 30.0f;
    frameTime = 0.5f;
    for (int i = 0; i < 10; ++i)
        updateMarble();
    EXPECT_LE(boostReserve, 0.0f);
    updateMarble();
    EXPECT_EQ(marble.power(), 40.0f);
    EXPECT_EQ(boostReserve, 0.0f);

    hold({});
    updateMarble();
    EXPECT_EQ(marble.power(), 40.0f);
}

TEST_F(ControlTest, PitPutsTheMarbleBackFourRadiiBehindAtTheFirstClearPlace)
{
    // A pit of radius 20 at y = 1000; a second pit near 920 makes that spot
    // unsafe (-1), so the search walks on to the first exact 0.
    useHoles({{0.0f, 1000.0f, 20.0f, 30.0f}, {0.0f, 700.0f, 10.0f, 20.0f}});
    place(0.0f, 1000.0f);
    updateMarble();
    float y = marble.position().y;
    EXPECT_LT(y, 920.0f);
    EXPECT_EQ(levelMap.holeAt(0.0f, y), 0.0f);
    EXPECT_EQ(levelMap.holeAt(0.0f, y + 30.0f), -1.0f);
    float steps = (920.0f - y) / 30.0f;
    EXPECT_NEAR(steps, std::round(steps), 1e-3f);
    EXPECT_EQ(marble.velocity().length(), 0.0f);
    EXPECT_EQ(penaltyTimer, 1.0f);
    EXPECT_TRUE(fallPending);
    EXPECT_EQ(timeLeft, 30.0f); // gl takes the seconds when the "-5" lands

    // orbivale-glide takes four seconds at once and never goes below zero.
    prepare(Edition::Glide);
    useHoles({{0.0f, 1000.0f, 20.0f, 30.0f}});
    place(0.0f, 1000.0f);
    updateMarble();
    EXPECT_NEAR(marble.position().y, 740.0f, 0.05f); // 250 clear of the pit, on the 30-unit walk
    EXPECT_EQ(timeLeft, 26.0f);
    EXPECT_FALSE(fallPending);
    place(0.0f, 1000.0f);
    penaltyTimer = 0.0f;
    timeLeft = 2.5f;
    updateMarble();
    EXPECT_EQ(timeLeft, 0.0f);
}

TEST_F(ControlTest, NoClearPlaceLeavesGlMarbleInThePitAndSendsGlideToTheStart)
{
    // Pits every 200 units from the start line up: nothing on x = 0 is clear.
    std::vector<Hole> holes;
    for (float y = -6000.0f; y <= 1200.0f; y += 200.0f)
        holes.push_back({0.0f, y, 20.0f, 30.0f});
    useHoles(holes);
    place(0.0f, 1000.0f);
    timeLeft = -0.5f;
    updateMarble();
    EXPECT_EQ(marble.position().y, 1000.0f);
    EXPECT_EQ(timeLeft, 0.0f);
    EXPECT_EQ(penaltyTimer, 1.0f);

    prepare(Edition::Glide);
    useHoles(holes);
    place(0.0f, 1000.0f);
    updateMarble();
    EXPECT_EQ(marble.position().x, 0.0f);
    EXPECT_EQ(marble.position().y, -5800.0f);
}

TEST_F(ControlTest, EdgesOfTheTrackAreExactAndLeavingThemCostsAFall)
{
    place(-750.0f, 100.0f);
    penaltyTimer = 0.5f;
    updateMarble();
    EXPECT_EQ(marble.position().x, -750.0f);
    place(720.0f, 100.0f);
    updateMarble();
    EXPECT_EQ(marble.position().x, 720.0f);

    place(720.01f, 100.0f);
    updateMarble();
    EXPECT_EQ(marble.position().x, 0.0f);
    EXPECT_EQ(marble.position().y, 100.0f);
    EXPECT_TRUE(fallPending);

    place(-100.0f, -6000.5f);
    EXPECT_TRUE(updateMarble().fell);
    EXPECT_EQ(marble.position().x, -100.0f);
    EXPECT_EQ(marble.position().y, -5700.0f);

    prepare(Edition::Glide);
    place(-100.0f, -6000.5f);
    penaltyTimer = 0.5f;
    updateMarble();
    EXPECT_EQ(marble.position().y, -5800.0f);
    EXPECT_EQ(timeLeft, 26.0f);
}

TEST_F(ControlTest, GoalLineIsStrictAndStoresTheLevelTimeOnce)
{
    penaltyTimer = 0.5f;
    place(0.0f, 5800.0f);
    moveMarble();
    EXPECT_FALSE(levelDone);
    place(0.0f, 5800.01f);
    EXPECT_TRUE(moveMarble().reachedGoal);
    EXPECT_TRUE(levelDone);
    EXPECT_EQ(levelTimes[1], 15.0f);
    EXPECT_EQ(endThreshold, 29.0f);
    EXPECT_EQ(scripted.sounds, std::vector<std::string>{"sounds/allright.wav"});

    timeLeft = 20.0f;
    moveMarble();
    EXPECT_EQ(levelTimes[1], 15.0f);
    EXPECT_EQ(scripted.sounds.size(), 1u);
}

TEST_F(ControlTest, GlideJoystickSteersAndItsButtonBoosts)
{
    prepare(Edition::Glide);
    joystickPresent = true;
    joystickControl = true;
    scripted.joystick = JoystickPosition{65535, 0, 1};
    updateMarble();
    EXPECT_FLOAT_EQ(controlForce.x, 65.0f);
    EXPECT_FLOAT_EQ(controlForce.y, 65.0f); // stick pushed up is forward
    EXPECT_EQ(marble.power(), 65.0f);

    // A failed read keeps the last position in force.
    scripted.joystick.reset();
    updateMarble();
    EXPECT_FLOAT_EQ(controlForce.x, 65.0f);

    // With the keyboard option the stick is ignored and Shift boosts.
    joystickControl = false;
    scripted.joystick = JoystickPosition{65535, 0, 1};
    hold({kKeyLeft, kKeyShift});
    updateMarble();
    EXPECT_FLOAT_EQ(controlForce.x, -65.0f);
    EXPECT_EQ(boostReserve, 5.0f); // no reserve in orbivale-glide
}

} // namespace
