#include "game_fixture.h"

#include "game/game_state.h"
#include "shell/event_loop.h"

namespace {

using LoopTest = GameTest;

TEST_F(LoopTest, EmptyQueuePostsExactlyOneFrameEventPerTurn)
{
    ASSERT_TRUE(turn());
    EXPECT_EQ(scripted.countPosted(kEventFrame), 1);
    ASSERT_EQ(scripted.queue.size(), 1u);
    EXPECT_EQ(scripted.queue.front().type, kEventFrame);

    // The frame event is pending now: the next turn handles it, posts nothing.
    ASSERT_TRUE(turn());
    EXPECT_EQ(scripted.countPosted(kEventFrame), 1);
    EXPECT_TRUE(scripted.queue.empty());

    ASSERT_TRUE(turn());
    EXPECT_EQ(scripted.countPosted(kEventFrame), 2);
}

TEST_F(LoopTest, PendingEventsAreHandledBeforeAnyFrame)
{
    scripted.pressKey('A');
    scripted.pressKey('B');
    scripted.pressKey('C');
    ASSERT_TRUE(turn());
    ASSERT_TRUE(turn());
    EXPECT_EQ(scripted.countPosted(kEventFrame), 0);
    EXPECT_EQ(lastKey, 'B');
    ASSERT_TRUE(turn());
    EXPECT_EQ(lastKey, 'C');
    EXPECT_EQ(scripted.countPosted(kEventFrame), 0);
    ASSERT_TRUE(turn());
    EXPECT_EQ(scripted.countPosted(kEventFrame), 1);
}

TEST_F(LoopTest, KeyPressedDuringAFrameIsHandledBeforeTheNextFrame)
{
    bool pressed = false;
    scripted.onCounterRead = [&] {
        if (!pressed) {
            pressed = true;
            scripted.pressKey(kKeyF2);
        }
    };
    ASSERT_TRUE(turn()); // posts the frame
    ASSERT_TRUE(turn()); // the frame; the key arrives meanwhile
    ASSERT_TRUE(pressed);
    EXPECT_EQ(lastKey, 0);
    ASSERT_TRUE(turn()); // the key, not a frame
    EXPECT_EQ(lastKey, kKeyF2);
    EXPECT_EQ(scripted.countPosted(kEventFrame), 1);
}

TEST_F(LoopTest, QuitEventEndsTheLoopWithItsExitCode)
{
    scripted.pressKey('X');
    scripted.requestQuit(7);
    scripted.pressKey('Y');
    EXPECT_EQ(runEventLoop(), 7);
    EXPECT_EQ(lastKey, 'X');
    ASSERT_EQ(scripted.queue.size(), 1u); // what came after quit stays unhandled
}

TEST_F(LoopTest, StatisticsTickCopiesAndResetsTheCountersInAnyState)
{
    frameCount = 123;
    polygonCount = 45678;
    gameState = GameState::Title;
    handleEvent(Event{kEventTimer, 1});
    EXPECT_EQ(framesPerSecond, 123);
    EXPECT_EQ(polygonsPerSecond, 45678);
    EXPECT_EQ(frameCount, 0);
    EXPECT_EQ(polygonCount, 0);

    handleEvent(Event{kEventTimer, 99}); // the timer id is not checked
    EXPECT_EQ(framesPerSecond, 0);
    EXPECT_EQ(polygonsPerSecond, 0);
}

} // namespace
