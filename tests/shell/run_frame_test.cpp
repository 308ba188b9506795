#include "game_fixture.h"

#include "game/game_state.h"
#include "levels/level_list.h"

#include <algorithm>

namespace {

class FrameTest : public GameTest {
protected:
    // A level in its ready phase, as a level start leaves it.
    void beginLevel(float countdown)
    {
        clockStopped = false;
        paused = false;
        levelDone = false;
        timeLeft = countdown;
        penaltyTimer = 0.0f;
        endThreshold = kTimeOutThreshold;
        gameState = GameState::Playing;
        frameClock = scripted.now;
    }
    // Runs frames of dt until one posts the level event; returns how many ran,
    // and the countdown before and at that frame.
    int framesUntilLevelEvent(double dt, float& before, float& at)
    {
        for (int n = 1; n <= 1000; ++n) {
            before = timeLeft;
            runFrames(1, dt);
            if (scripted.countPosted(kEventLevel) > 0 || gameState != GameState::Playing) {
                at = timeLeft;
                return n;
            }
        }
        return -1;
    }
    int soundCount(const std::string& file) const
    {
        return static_cast<int>(std::count(scripted.sounds.begin(), scripted.sounds.end(), file));
    }
};

TEST_F(FrameTest, PausedOrStoppedClockHoldsTheCountdownWhileFramesGoOn)
{
    beginLevel(30.0f);
    penaltyTimer = 0.5f;
    paused = true;
    runFrames(5, 0.25);
    EXPECT_EQ(timeLeft, 30.0f);
    EXPECT_EQ(penaltyTimer, 0.5f);
    EXPECT_EQ(frameClock, scripted.now); // each frame still measured its time
    EXPECT_FLOAT_EQ(frameTime, 0.25f);

    paused = false;
    clockStopped = true;
    runFrames(3, 0.25);
    EXPECT_EQ(timeLeft, 30.0f);
    EXPECT_EQ(penaltyTimer, 0.5f);

    clockStopped = false;
    runFrames(2, 0.25);
    EXPECT_FLOAT_EQ(timeLeft, 29.5f);
    EXPECT_FLOAT_EQ(penaltyTimer, 0.0f);
}

TEST_F(FrameTest, LongStallIsCappedOnlyInGlide)
{
    beginLevel(40.0f);
    runFrames(1, 2.0);
    EXPECT_FLOAT_EQ(frameTime, 2.0f);
    EXPECT_FLOAT_EQ(timeLeft, 38.0f);

    startFresh(Edition::Glide);
    beginLevel(40.0f);
    runFrames(1, 2.0);
    EXPECT_FLOAT_EQ(frameTime, 0.1f);
    EXPECT_FLOAT_EQ(timeLeft, 39.9f);
}

TEST_F(FrameTest, GoSoundPlaysOnceWhenTheRaceStarts)
{
    beginLevel(52.0f);
    float playedAt = 100.0f, before = 100.0f;
    for (int n = 0; n < 100 && playedAt == 100.0f; ++n) {
        before = timeLeft;
        runFrames(1, 0.1);
        if (soundCount("sounds/go.wav") > 0)
            playedAt = timeLeft;
    }
    EXPECT_GT(before, 45.0f);
    EXPECT_LE(playedAt, 45.0f);
    runFrames(20, 0.1);
    EXPECT_EQ(soundCount("sounds/go.wav"), 1);
}

TEST_F(FrameTest, TimeOutInGlEndsTheGameThroughALevelEvent)
{
    levelCount = 6;
    levelNumber = 2;
    beginLevel(0.5f);
    goSoundPlayed = true;
    runFrames(1, 0.4); // 0.1 left
    EXPECT_EQ(soundCount("sounds/timeup.wav"), 0);
    runFrames(1, 0.2); // below zero
    EXPECT_EQ(soundCount("sounds/timeup.wav"), 1);
    float before = 0, at = 0;
    ASSERT_GT(framesUntilLevelEvent(0.1, before, at), 35);
    EXPECT_GE(before, -4.0f);
    EXPECT_LT(at, -4.0f);
    EXPECT_EQ(scripted.countPosted(kEventLevel), 1);
    EXPECT_EQ(levelNumber, 6);
    EXPECT_EQ(soundCount("sounds/timeup.wav"), 1);
}

TEST_F(FrameTest, TimeOutInGlideGoesStraightToTheScoreTable)
{
    startFresh(Edition::Glide);
    levelCount = 3;
    levelNumber = 2;
    beginLevel(0.1f);
    goSoundPlayed = true;
    runFrames(1, 0.1); // exactly zero counts as up in glide
    EXPECT_EQ(soundCount("sounds/timeup.wav"), 1);
    float before = 0, at = 0;
    ASSERT_GT(framesUntilLevelEvent(0.1, before, at), 35);
    EXPECT_GE(before, -4.0f);
    EXPECT_LT(at, -4.0f);
    EXPECT_EQ(gameState, GameState::ScoreTable);
    EXPECT_EQ(scripted.countPosted(kEventLevel), 0);
    EXPECT_EQ(levelNumber, 2);
}

TEST_F(FrameTest, ReachedGoalEndsTheLevelAtItsOwnThresholdWithoutTimeUpSound)
{
    for (Edition which : {Edition::Gl, Edition::Glide}) {
        startFresh(which);
        levelCount = 3;
        levelNumber = 1;
        beginLevel(0.5f);
        goSoundPlayed = true;
        endThreshold = 0.5f - 1.0f; // the goal was reached with 0.5 s left
        float before = 0, at = 0;
        ASSERT_GT(framesUntilLevelEvent(0.1, before, at), 8);
        EXPECT_GE(before, -0.5f);
        EXPECT_LT(at, -0.5f);
        EXPECT_EQ(scripted.countPosted(kEventLevel), 1);
        EXPECT_EQ(levelNumber, 1);
        EXPECT_EQ(gameState, GameState::Playing);
        EXPECT_EQ(soundCount("sounds/timeup.wav"), 0);
    }
}

} // namespace
