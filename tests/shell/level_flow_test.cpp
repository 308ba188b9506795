#include "bmp_writer.h"
#include "game_fixture.h"
#include "temp_workdir.h"

#include "game/game_state.h"
#include "game/options.h"
#include "game/sound.h"
#include "levels/level_list.h"
#include "levels/level_map.h"
#include "records/best_times.h"
#include "shell/event_loop.h"
#include "shell/ghost.h"
#include "shell/keys.h"
#include "shell/level_flow.h"
#include "shell/practice.h"
#include "screens/cues.h"
#include "shell/lifecycle.h"
#include "shell/replay_format.h"
#include "shell/replay_playback.h"
#include "shell/replay_record.h"
#include "shell/settings.h"
#include "sim/camera.h"
#include "sim/marble.h"
#include "sim/marble_control.h"

#include <algorithm>
#include <filesystem>
#include <functional>

namespace {

// A map with the given hole records and nothing else; map files end right
// after their last token.
std::string mapText(const std::string& holes, int count)
{
    return "fogcolor= 0x203040 marblecolor= 0xFF8000 holecount= " + std::to_string(count) + " .data " + holes +
           " .end";
}

// A level with nothing in the marble's way. orbivale-glide only loads maps
// of its known hole counts, so it gets 58 faint mounds along the left edge.
std::string flatMap()
{
    if (!isGlide())
        return mapText("", 0);
    std::string holes;
    for (int i = 0; i < 58; ++i)
        holes += "-740 " + std::to_string(-5000 + i * 180) + " 10 -0.01 ";
    return mapText(holes, 58);
}

class LevelFlowTest : public GameTest {
protected:
    void SetUp() override { prepare(Edition::Gl); }

    void prepare(Edition which)
    {
        startFresh(which);
        for (int i = 1; i <= 3; ++i)
            TempWorkdir::write("maps/level" + std::to_string(i) + ".map", flatMap());
        levelCount = 3;
        levelNames = {"maps/level1.map", "maps/level2.map", "maps/level3.map"};
        levelTimes.assign(3, unplayedTime());
        bestTimes.setDefaults();
        gameState = GameState::Title;
    }

    void postNewGame()
    {
        levelNumber = 0;
        scripted.postEvent(Event{kEventLevel, 0});
    }
    // "NeW Game" and the frame that starts level 1.
    void newGame()
    {
        postNewGame();
        ASSERT_TRUE(runFrame());
    }

    // Runs 60 frames per second until done() or the frame limit; false if the
    // limit came first.
    bool playUntil(const std::function<bool()>& done, int maxFrames = 5000)
    {
        for (int i = 0; i < maxFrames; ++i) {
            if (done())
                return true;
            scripted.advance(1.0 / 60.0);
            // Whole levels are played here; no test looks at what was drawn.
            recorder.calls.clear();
            if (!runFrame())
                return done();
        }
        return done();
    }

    TempWorkdir dir;
};

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

Replay keptRun(const std::string& level, bool best)
{
    Replay run;
    std::string reason;
    EXPECT_TRUE(decodeReplay(TempWorkdir::read(replayFileName(level, best)), run, reason)) << reason;
    return run;
}

TEST_F(LevelFlowTest, RunsAreKeptAsLastAndFasterAsBestAndF7RacesTheBestAsAGhost)
{
    // Level 1 has a pit: the fall's "-5" flies on through a pause, which the
    // replay has to carry, since the frames do not see it.
    TempWorkdir::write("maps/level1.map", mapText("0 -4000 20 30", 1));
    newGame();
    scripted.heldKeys = {kKeyUp};
    ASSERT_TRUE(playUntil([] { return fallPending; }));
    scripted.pressKey(kKeyF12);
    playUntil([] { return false; }, 10);
    scripted.pressKey(kKeyF12);
    scripted.heldKeys = {kKeyUp, kKeyRight}; // around the pit this time
    playUntil([] { return false; }, 90);
    scripted.heldKeys = {kKeyUp};
    ASSERT_TRUE(playUntil([] { return levelDone; }));
    Vec3 atGoal = marble.position();
    float goalTime = levelTimes[0];
    ASSERT_TRUE(playUntil([] { return levelNumber == 2; }));
    scripted.heldKeys = {};
    playUntil([] { return false; }, 30);
    scripted.pressKey(kKeyF1); // skipped: kept as the last run only
    ASSERT_TRUE(playUntil([] { return levelNumber == 3; }));

    Replay best = keptRun("maps/level1.map", true);
    EXPECT_TRUE(best.finished);
    EXPECT_EQ(best.finishTime, goalTime);
    EXPECT_EQ(best.levelNumber, 1);
    EXPECT_EQ(best.levelChecksum, checksumBytes(TempWorkdir::read("maps/level1.map")));
    // The clock at the start, and once more after the pause moved the "-5" on.
    EXPECT_EQ(std::count_if(best.frames.begin(), best.frames.end(), [](const ReplayFrame& f) { return f.hasClock; }),
              2);
    EXPECT_EQ(encodeReplay(best), encodeReplay(keptRun("maps/level1.map", false)));
    EXPECT_FALSE(keptRun("maps/level2.map", false).finished);
    EXPECT_FALSE(std::filesystem::exists(replayFileName("maps/level2.map", true)));

    // A slower finish of level 1 is its last run but not its best.
    levelNumber = 0;
    scripted.postEvent(Event{kEventLevel, 0});
    playUntil([] { return false; }, 500);
    scripted.heldKeys = {kKeyUp};
    ASSERT_TRUE(playUntil([] { return fallPending; }));
    scripted.heldKeys = {kKeyUp, kKeyRight};
    playUntil([] { return false; }, 90);
    scripted.heldKeys = {kKeyUp};
    ASSERT_TRUE(playUntil([] { return levelNumber == 2; }));
    EXPECT_GT(keptRun("maps/level1.map", false).finishTime, goalTime);
    EXPECT_EQ(keptRun("maps/level1.map", true).finishTime, goalTime);

    // The best run played back takes the same path to the same time.
    scripted.heldKeys = {};
    ASSERT_TRUE(startReplayPlayback(replayFileName("maps/level1.map", true)));
    ASSERT_TRUE(playUntil([] { return clockStopped; }));
    EXPECT_EQ(marble.position().x, atGoal.x);
    EXPECT_EQ(marble.position().y, atGoal.y);
    EXPECT_EQ(levelTimes[0], goalTime);
    stopReplayPlayback();

    // F7 brings the best run's ghost into level 1, drawn at half opacity
    // after the terrain; working it out leaves the player's run untouched.
    levelNumber = 0;
    scripted.postEvent(Event{kEventLevel, 0});
    playUntil([] { return false; }, 500);
    auto halfOpaque = [this] {
        return std::count_if(recorder.calls.begin(), recorder.calls.end(), [](const RenderCall& c) {
            return c.op == RenderOp::GhostTriangle && c.opacity == 0.5f;
        });
    };
    auto simulation = [] {
        return std::vector<float>{marble.position().x, marble.position().y, marble.velocity().y, timeLeft,
                                  penaltyTimer, boostReserve, levelTimes[0], frameTime};
    };
    std::vector<float> before = simulation();
    size_t sounds = scripted.sounds.size();
    handleKeyDown(kKeyF7);
    EXPECT_EQ(simulation(), before);
    EXPECT_EQ(scripted.sounds.size(), sounds);
    EXPECT_EQ(ghostFrameCount(), static_cast<int>(best.frames.size()));
    EXPECT_EQ(TempWorkdir::read(kSettingsFile), "ghost on\n");
    recorder.calls.clear();
    ASSERT_TRUE(runFrame());
    EXPECT_EQ(halfOpaque(), 16);
    auto terrain = std::find_if(recorder.calls.begin(), recorder.calls.end(),
                                [](const RenderCall& c) { return c.op == RenderOp::EndTerrain; });
    auto ghost = std::find_if(recorder.calls.begin(), recorder.calls.end(),
                              [](const RenderCall& c) { return c.op == RenderOp::GhostTriangle; });
    EXPECT_LT(terrain - recorder.calls.begin(), ghost - recorder.calls.begin());

    handleKeyDown(kKeyF7);
    recorder.calls.clear();
    ASSERT_TRUE(runFrame());
    EXPECT_EQ(halfOpaque(), 0);
    EXPECT_EQ(TempWorkdir::read(kSettingsFile), "ghost off\n");
    TempWorkdir::write(kSettingsFile, "volume 3\nghost on\n");
    loadSettings();
    EXPECT_TRUE(ghostOn);
}

// Practice plays one level again and again against the ghost of its best
// run, keeps the runs as a game does and never touches the best times.
TEST_F(LevelFlowTest, PracticeRestartsItsLevelKeepsRunsAndRacesOwnOrAnyonesGhost)
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
    const std::vector<uint8_t>& pixels = recorder.of(RenderOp::UploadLevelTexture)[0].pixels;
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
    EXPECT_EQ(scripted.messages, (std::vector<std::string>{"error: expected .end", "error: Unable to initialize map"}));
    EXPECT_EQ(scripted.countPosted(kEventFrame), 0);
}

} // namespace
