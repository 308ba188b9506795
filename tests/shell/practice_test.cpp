#include "shell/level_flow_fixture.h"

namespace {

class PracticeTest : public LevelFlowTest {};

// Practice plays one level again and again against the ghost of its best
// run, keeps the runs as a game does and never touches the best times.
TEST_F(PracticeTest, PracticeRestartsItsLevelKeepsRunsAndRacesOwnOrAnyonesGhost)
{
    ASSERT_TRUE(bestTimes.save());
    const std::string table = TempWorkdir::read("highScore.dat");
    startPractice(2);
    ASSERT_TRUE(runFrame());
    EXPECT_EQ(levelNumber, 2);
    EXPECT_EQ(cornerLabel(), "Practice - level 2");
    scripted.heldKeys = {kKeyUp};
    ASSERT_TRUE(playUntil([] { return levelDone; }));
    ASSERT_TRUE(playUntil([] { return !levelDone; }));
    EXPECT_EQ(levelNumber, 2);
    EXPECT_FLOAT_EQ(timeLeft, 46.5f);
    Replay best = keptRun("maps/level2.map", true);
    EXPECT_TRUE(best.finished);
    EXPECT_EQ(ghostFrameCount(), static_cast<int>(best.frames.size()));

    // Out of time: the level again, nothing ranked (a game would place 135 s).
    scripted.heldKeys = {};
    ASSERT_TRUE(playUntil([] { return timeLeft < 0.0f; }, 4000));
    ASSERT_TRUE(playUntil([] { return timeLeft > 40.0f; }, 400));
    EXPECT_EQ(levelNumber, 2);
    EXPECT_EQ(gameState, GameState::Playing);
    EXPECT_EQ(newEntryRow, -1);
    EXPECT_FALSE(keptRun("maps/level2.map", false).finished);
    EXPECT_EQ(encodeReplay(keptRun("maps/level2.map", true)), encodeReplay(best));
    scripted.pressKey(kKeyF1);
    playUntil([] { return false; }, 30);
    scripted.pressKey(kKeyF1);
    ASSERT_TRUE(runFrame());
    EXPECT_EQ(levelNumber, 2);
    EXPECT_GT(timeLeft, 46.0f);
    EXPECT_FALSE(bestTimes.hasUnsavedChanges());
    EXPECT_EQ(TempWorkdir::read("highScore.dat"), table);

    // The menu's NeW Game is an ordinary game again.
    scripted.pressKey(kKeyEscape);
    scripted.pressKey(kKeyEnter);
    ASSERT_TRUE(runFrame());
    ASSERT_TRUE(runFrame());
    EXPECT_EQ(levelNumber, 1);
    EXPECT_FALSE(practising());
    EXPECT_EQ(cornerLabel(), "");

    // Anyone's run of the level is raced instead of the own best; a run of
    // another level, or of the other program, is refused with the reason.
    std::filesystem::copy_file(replayFileName("maps/level2.map", false), "friend.orbreplay");
    practiceLevelToPlay = 2;
    ghostToRace = "friend.orbreplay";
    ASSERT_TRUE(startPlayAsAsked());
    ASSERT_TRUE(runFrame());
    EXPECT_EQ(levelNumber, 2);
    EXPECT_EQ(ghostFrameCount(), static_cast<int>(keptRun("maps/level2.map", false).frames.size()));
    EXPECT_NE(ghostFrameCount(), static_cast<int>(best.frames.size()));
    Replay other = best;
    other.levelFile = "maps/level3.map";
    other.levelChecksum = checksumBytes(TempWorkdir::read("maps/level3.map"));
    TempWorkdir::write("other.orbreplay", encodeReplay(other));
    ghostToRace = "other.orbreplay";
    EXPECT_FALSE(startPlayAsAsked());
    EXPECT_EQ(scripted.messages.back(),
              "Ghost: other.orbreplay: a run of maps/level3.map, not of level 2 (maps/level2.map)");
    other.glide = true;
    TempWorkdir::write("other.orbreplay", encodeReplay(other));
    EXPECT_FALSE(startPlayAsAsked());
    EXPECT_EQ(scripted.messages.back(), "Ghost: other.orbreplay: recorded by orbivale-glide, which alone can play it");
    EXPECT_EQ(scripted.countPosted(kEventQuit), 2);
}

} // namespace
