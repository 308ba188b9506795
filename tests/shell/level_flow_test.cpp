#include "bmp_writer.h"
#include "shell/level_flow_fixture.h"

#include <algorithm>

namespace {

TEST_F(LevelFlowTest, NewGameStartsLevelOneWithItsReadyPhaseAndMusic)
{
    levelTimes.assign(3, 12.0f);
    scripted.now = 5 * ScriptedPlatform::kFrequency;
    newGame();
    EXPECT_EQ(levelNumber, 1);
    EXPECT_EQ(gameState, GameState::Playing);
    EXPECT_FALSE(clockStopped);
    EXPECT_EQ(scripted.music, std::vector<std::string>{"start sounds/midi1.mid"});
    EXPECT_TRUE(musicPlaying);
    EXPECT_EQ(levelTimes, std::vector<float>(3, 45.0f));
    EXPECT_EQ(marble.position().y, -5800.0f);
    EXPECT_EQ(cameraPosition.y, -8800.0f);
    EXPECT_EQ(cameraPosition.z, -6000.0f);
    EXPECT_EQ(marble.colour()[0], 255.0f);
    // The time before the level started is not charged to its first frame.
    EXPECT_EQ(timeLeft, 52.0f);
    EXPECT_EQ(levelMap.getFogColour(), 0x203040u);

    // The ready phase holds the marble even with Up held.
    scripted.heldKeys = {kKeyUp};
    playUntil([] { return timeLeft <= 45.5f; });
    EXPECT_EQ(marble.position().y, -5800.0f);
}

TEST_F(LevelFlowTest, HoldingUpOnAFlatLevelReachesTheGoalAndTheNextLevelFollows)
{
    newGame();
    scripted.heldKeys = {kKeyUp};
    ASSERT_TRUE(playUntil([] { return levelDone; }));
    float arrival = timeLeft;
    EXPECT_FLOAT_EQ(levelTimes[0], 45.0f - arrival);
    // 11600 units at 840 units per second, plus the run-up.
    EXPECT_GT(levelTimes[0], 11600.0f / 840.0f);
    EXPECT_LT(levelTimes[0], 11600.0f / 840.0f + 2.0f);
    EXPECT_EQ(scripted.sounds.back(), "sounds/allright.wav");

    int framesAfterGoal = 0;
    ASSERT_TRUE(playUntil([&] { return levelNumber == 2 || (++framesAfterGoal, false); }));
    EXPECT_NEAR(framesAfterGoal, 60, 2); // the level ends one second after the goal
    EXPECT_FLOAT_EQ(timeLeft, 46.5f);
    EXPECT_FALSE(levelDone);
    EXPECT_EQ(marble.position().y, -5800.0f);
    EXPECT_EQ(scripted.music.size(), 1u); // music goes on across levels
}

TEST_F(LevelFlowTest, PitCatchesTheMarbleAndPutsItBackWithThePenalty)
{
    TempWorkdir::write("maps/level1.map", mapText("0 -4000 20 30", 1));
    newGame();
    scripted.heldKeys = {kKeyUp};
    ASSERT_TRUE(playUntil([] { return penaltyTimer > 0.9f; }));
    EXPECT_LE(marble.position().y, -4250.0f + 0.01f);
    EXPECT_GT(marble.position().y, -4285.0f);
    EXPECT_EQ(levelMap.holeAt(0.0f, marble.position().y), 0.0f);
    float held = marble.position().y;
    playUntil([] { return penaltyTimer <= 0.05f; });
    EXPECT_EQ(marble.position().y, held); // held for the penalty second
    playUntil([] { return penaltyTimer <= 0.0f; });
    EXPECT_GT(marble.position().y, held); // and off again
}

TEST_F(LevelFlowTest, FinishedGameIsRankedInTheTable)
{
    newGame();
    scripted.heldKeys = {kKeyUp};
    ASSERT_TRUE(playUntil([] { return gameState != GameState::Playing; }, 4000));
    EXPECT_EQ(gameState, GameState::NameEntry);
    EXPECT_EQ(levelNumber, 4);
    EXPECT_EQ(newEntryRow, 0);
    float total = levelTimes[0] + levelTimes[1] + levelTimes[2];
    EXPECT_FLOAT_EQ(bestTimes.rows[0].time, total);
    EXPECT_EQ(bestTimes.rows[0].name, "_");
    EXPECT_TRUE(clockStopped);
    EXPECT_TRUE(levelDone);
    EXPECT_EQ(nameCursor, 0);
    EXPECT_EQ(lastKey, 0);

    prepare(Edition::Glide);
    newGame();
    scripted.heldKeys = {kKeyUp};
    ASSERT_TRUE(playUntil([] { return gameState != GameState::Playing; }, 4000));
    EXPECT_EQ(newEntryRow, 0);
    EXPECT_EQ(bestTimes.rows[0].name, "_");
    EXPECT_TRUE(screenDirty);
}

TEST_F(LevelFlowTest, ANewBestGameIsSavedWhenItIsFinalAndClosingSavesWhatQuitWould)
{
    startedUp = true;
    newGame();
    scripted.heldKeys = {kKeyUp};
    ASSERT_TRUE(playUntil([] { return gameState == GameState::NameEntry; }, 4000));
    scripted.heldKeys = {};
    // A slow machine: the whole name arrives between two frames.
    for (int key : {'A', 'B', 'C'})
        scripted.pressKey(key);
    ASSERT_TRUE(playUntil([] { return gameState == GameState::ScoreTable; }, 10));
    std::string saved = TempWorkdir::read("highScore.dat");
    EXPECT_EQ(saved.substr(saved.find(' '), 5), " ABC ");

    // Nothing changed since: closing writes nothing.
    std::filesystem::remove("highScore.dat");
    handleEvent(Event{kEventClose, 0});
    EXPECT_FALSE(std::filesystem::exists("highScore.dat"));

    // orbivale-glide's row has no name to wait for; an option changed later
    // is saved by the close as Quit would save it.
    prepare(Edition::Glide);
    startedUp = true;
    std::filesystem::create_directories("misc");
    newGame();
    scripted.heldKeys = {kKeyUp};
    ASSERT_TRUE(playUntil([] { return gameState != GameState::Playing; }, 4000));
    std::string glideSaved = TempWorkdir::read("misc/highScore.dat");
    EXPECT_EQ(glideSaved.substr(glideSaved.find(' '), 3), " _ ");
    handleKeyDown(kKeyF2);
    handleEvent(Event{kEventClose, 0});
    std::string closed = TempWorkdir::read("misc/highScore.dat");
    EXPECT_NE(closed, glideSaved);
    bestTimes.load();
    EXPECT_FALSE(bestTimes.hasUnsavedChanges());
    EXPECT_TRUE(showStatistics);
}

TEST_F(LevelFlowTest, RunningOutOfTimeCountsUnfinishedLevelsInGlAndRanksNothingInGlide)
{
    newGame();
    ASSERT_TRUE(playUntil([] { return gameState != GameState::Playing; }, 4000));
    EXPECT_EQ(levelNumber, 4);
    EXPECT_EQ(newEntryRow, -1); // 135 ties the default rows and ranks below them
    EXPECT_EQ(bestTimes.rows[10].time, 135.0f);
    EXPECT_EQ(gameState, GameState::ScoreTable);

    prepare(Edition::Glide);
    newGame();
    ASSERT_TRUE(playUntil([] { return gameState != GameState::Playing; }, 4000));
    EXPECT_EQ(gameState, GameState::ScoreTable);
    EXPECT_EQ(levelNumber, 1);
    EXPECT_EQ(bestTimes.rows[10].name, "");
}

TEST_F(LevelFlowTest, LevelEventsWhileTheMenuIsOpenOrPastTheEndChangeNothing)
{
    menuShown = true;
    postNewGame();
    runFrame();
    EXPECT_EQ(levelNumber, 0);
    EXPECT_EQ(gameState, GameState::Title);

    menuShown = false;
    levelNumber = 5; // a second level event queued at the end of a game
    scripted.postEvent(Event{kEventLevel, 0});
    runFrame();
    EXPECT_EQ(gameState, GameState::ScoreTable);
    EXPECT_EQ(bestTimes.rows[10].name, "");
}

TEST_F(LevelFlowTest, LevelStartHandsItsMapsTextureOverAndAMapWithoutOneKeepsTheLast)
{
    for (int L = 0; L < kLevelMipLevels; ++L) {
        int side = 128 >> L;
        std::vector<uint8_t> bmp = makeBmp(side, side, solidRows(side, side, 9, 8, uint8_t(L)));
        TempWorkdir::write("t_" + std::to_string(L) + ".bmp", std::string(bmp.begin(), bmp.end()));
    }
    TempWorkdir::write("maps/level1.map", "texturefile= t " + flatMap());
    newGame();
    ASSERT_EQ(recorder.count(RenderOp::UploadLevelTexture), 1);
    std::vector<uint8_t> pixels = recorder.of(RenderOp::UploadLevelTexture)[0].pixels;
    EXPECT_EQ(pixels[size_t(7) * kLevelMipSlotBytes], 7);
    EXPECT_EQ(pixels[size_t(7) * kLevelMipSlotBytes + 2], 9);

    recorder.calls.clear();
    scripted.postEvent(Event{kEventLevel, 0});
    ASSERT_TRUE(runFrame());
    EXPECT_EQ(levelNumber, 2);
    EXPECT_EQ(recorder.count(RenderOp::UploadLevelTexture), 0);
}

TEST_F(LevelFlowTest, MapThatFailsToLoadIsReportedAndEndsTheProgram)
{
    TempWorkdir::write("maps/level1.map", mapText("", 0) + "\n");
    TempWorkdir::write("maps/level2.map", "holecount= 1 .data 0 0 10 10 .stop");
    postNewGame();
    EXPECT_EQ(runEventLoop(), 1);
    EXPECT_EQ(scripted.messages, std::vector<std::string>{"error: Unable to initialize map"});

    scripted.messages.clear();
    scripted.queue.clear();
    levelNumber = 1;
    scripted.postEvent(Event{kEventLevel, 0});
    EXPECT_EQ(runEventLoop(), 1);
    EXPECT_EQ(scripted.messages,
              (std::vector<std::string>{"error: expected .end", "error: Unable to initialize map"}));
    EXPECT_EQ(scripted.countPosted(kEventFrame), 0);
}

} // namespace
