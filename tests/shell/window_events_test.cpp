#include "game_fixture.h"

#include "game/game_state.h"
#include "game/sound.h"
#include "shell/event_loop.h"
#include "shell/program.h"

namespace {

using WindowEventsTest = GameTest;

TEST_F(WindowEventsTest, FocusLossPausesAndItsReturnResumesEvenUnderTheMenu)
{
    gameState = GameState::Playing;
    clockStopped = false;
    handleEvent(Event{kEventKillFocus, 0});
    EXPECT_FALSE(windowActive);
    EXPECT_TRUE(paused);
    EXPECT_EQ(scripted.minimizeCount, 0);

    menuShown = true;
    handleEvent(Event{kEventSetFocus, 0});
    EXPECT_TRUE(windowActive);
    EXPECT_FALSE(paused);
    EXPECT_TRUE(menuShown);
    EXPECT_EQ(penaltyTimer, 0.0f);

    // A focus event while already active changes nothing.
    paused = true;
    handleEvent(Event{kEventSetFocus, 0});
    EXPECT_TRUE(paused);
}

TEST_F(WindowEventsTest, GlideMinimisesOnFocusLossAndHoldsTheMarbleOnReturn)
{
    startFresh(Edition::Glide);
    handleEvent(Event{kEventKillFocus, 0});
    EXPECT_EQ(scripted.minimizeCount, 1);
    EXPECT_TRUE(paused);
    handleEvent(Event{kEventSetFocus, 0});
    EXPECT_FALSE(paused);
    EXPECT_EQ(penaltyTimer, 2.0f);
}

TEST_F(WindowEventsTest, ClosingEndsEachProgramItsOwnWay)
{
    musicPlaying = true;
    handleEvent(Event{kEventClose, 0});
    ASSERT_EQ(scripted.queue.size(), 1u);
    EXPECT_EQ(scripted.queue.front().type, kEventQuit);
    EXPECT_FALSE(musicPlaying);
    EXPECT_TRUE(clockStopped);
    EXPECT_FALSE(windowActive);

    // orbivale-glide lets the window go first; destroy then ends the loop.
    startFresh(Edition::Glide);
    musicPlaying = true;
    handleEvent(Event{kEventClose, 0});
    ASSERT_EQ(scripted.queue.size(), 1u);
    EXPECT_EQ(scripted.queue.front().type, kEventDestroy);
    EXPECT_TRUE(musicPlaying);
    EXPECT_EQ(runEventLoop(), 0);
    EXPECT_FALSE(musicPlaying);
}

TEST_F(WindowEventsTest, ProgramOpensItsWindowAndStartsTheTimerEvenWhenStartUpFails)
{
    for (Edition which : {Edition::Gl, Edition::Glide}) {
        startFresh(which);
        EXPECT_EQ(runProgram(), 1); // no data here
        ASSERT_TRUE(scripted.windowStyle.has_value());
        EXPECT_EQ(*scripted.windowStyle,
                  which == Edition::Gl ? WindowStyle::BorderlessWithOpenGL : WindowStyle::Ordinary);
        EXPECT_EQ(scripted.timerStarts, 1);
        EXPECT_EQ(gameState, GameState::Title);
        EXPECT_FALSE(menuShown);
    }
}

TEST_F(WindowEventsTest, WindowThatCannotBeCreatedEndsWithCodeOneAndNoLoop)
{
    scripted.windowCreates = false;
    EXPECT_EQ(runProgram(), 1);
    EXPECT_EQ(scripted.timerStarts, 0);
    EXPECT_EQ(scripted.countPosted(kEventFrame), 0);
}

TEST_F(WindowEventsTest, MusicEndRotatesThreePiecesInGlAndPlaysOnceInGlide)
{
    gameState = GameState::Playing;
    musicPlaying = true;
    handleEvent(Event{kEventMusicNotify, 0});
    handleEvent(Event{kEventMusicNotify, 0});
    handleEvent(Event{kEventMusicNotify, 0});
    handleEvent(Event{kEventMusicNotify, 0});
    std::vector<std::string> expected = {"stop", "start sounds/drwho2.mid", "stop", "start sounds/midi3.mid",
                                         "stop", "start sounds/midi1.mid",  "stop", "start sounds/drwho2.mid"};
    EXPECT_EQ(scripted.music, expected);
    EXPECT_TRUE(musicPlaying);

    // Ending while the score table shows starts nothing.
    gameState = GameState::ScoreTable;
    scripted.music.clear();
    handleEvent(Event{kEventMusicNotify, 0});
    EXPECT_EQ(scripted.music, std::vector<std::string>{"stop"});

    startFresh(Edition::Glide);
    gameState = GameState::Playing;
    musicPlaying = true;
    handleEvent(Event{kEventMusicNotify, 0});
    EXPECT_FALSE(musicPlaying);
    EXPECT_EQ(scripted.music, std::vector<std::string>{"stop"});
}

} // namespace
