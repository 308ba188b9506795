// The replay file: what its reader refuses, the refusals of playback, and
// the runs a game keeps.
#include "shell/level_flow_fixture.h"

#include "game/game_state.h"
#include "levels/level_list.h"
#include "levels/level_map.h"
#include "shell/ghost.h"
#include "shell/replay_format.h"
#include "shell/replay_playback.h"
#include "shell/replay_record.h"
#include "shell/settings.h"
#include "sim/marble.h"

#include <cmath>
#include <cstring>
#include <filesystem>
#include <functional>

namespace {

Replay sampleReplay(bool glide)
{
    Replay r;
    r.glide = glide;
    r.finished = true;
    r.finishTime = 17.25f;
    r.gameVersion = "0.3.0";
    r.levelFile = "maps/level1.map";
    r.levelChecksum = 0x0123456789ABCDEFull;
    r.levelNumber = 1;
    for (int i = 0; i < 3; ++i) {
        ReplayFrame f;
        f.frameTime = 1.0f / 60.0f;
        f.steering.keys = static_cast<uint8_t>(kSteerUp | (i == 1 ? kSteerShift : 0));
        f.steering.stickUsed = glide && i == 2;
        f.steering.position = JoystickPosition{1, 65535, 2};
        f.hasClock = i != 1;
        f.steering.padX = glide || i != 1 ? 0 : -12000;
        f.steering.padY = glide || i != 1 ? 0 : 20000;
        f.clock = ReplayClock{52.0f, 0.0f, 0.7f, 5.0f, i == 2};
        r.frames.push_back(f);
    }
    return r;
}

// Offsets into sampleReplay(false)'s file.
constexpr size_t kVersionAt = 8;
constexpr size_t kEditionAt = 10;
constexpr size_t kFlagsAt = 11;
constexpr size_t kLevelNameAt = 12 + 1 + 5; // after the version text's length and bytes
constexpr size_t kFramesAt = kLevelNameAt + 1 + 15 + 8 + 2 + 4 + 16 + 4;

void setFloat(std::string& bytes, size_t at, float value) { std::memcpy(&bytes[at], &value, 4); }

// A run of `count` frames of `seconds` each, every one as large as a frame gets.
Replay runOf(bool glide, size_t count, float seconds)
{
    Replay r = sampleReplay(glide);
    r.gameVersion.assign(255, 'v');
    r.levelFile.assign(255, 'm');
    ReplayFrame f = r.frames[glide ? 2 : 1];
    f.hasClock = true;
    f.frameTime = seconds;
    r.frames.assign(count, f);
    return r;
}

std::string decodeFailure(const Replay& replay)
{
    Replay read;
    std::string reason;
    return decodeReplay(encodeReplay(replay), read, reason) ? "" : reason;
}

TEST(ReplayFormatTest, ReplaysComeBackAsWrittenAndDamagedOnesAreRefusedWithAReason)
{
    for (bool glide : {false, true}) {
        Replay written = sampleReplay(glide), read;
        std::string reason;
        ASSERT_TRUE(decodeReplay(encodeReplay(written), read, reason)) << reason;
        EXPECT_EQ(encodeReplay(read), encodeReplay(written));
        EXPECT_EQ(read.frames[2].steering.stickUsed, glide);
        EXPECT_TRUE(read.frames[2].clock.fallPending);
    }

    const std::string good = encodeReplay(sampleReplay(false));
    ASSERT_EQ(good.substr(kLevelNameAt + 1, 15), "maps/level1.map");
    struct Case {
        const char* what;
        std::function<void(std::string&)> damage;
        const char* reason;
    };
    const Case cases[] = {
        {"empty", [](std::string& b) { b.clear(); }, "not a replay file"},
        {"foreign", [](std::string& b) { b[0] = 'X'; }, "not a replay file"},
        {"newer format", [](std::string& b) { b[kVersionAt] = 2; }, "a replay of format 2"},
        {"header cut", [](std::string& b) { b.resize(kFramesAt - 1); }, "damaged: its header is cut short"},
        {"frames cut", [](std::string& b) { b.pop_back(); }, "damaged: it is cut short"},
        {"frame count too big", [](std::string& b) { b[kFramesAt - 4] = 9; }, "damaged: it is cut short"},
        {"bytes after", [](std::string& b) { b.push_back(0); }, "damaged: bytes follow its last frame"},
        {"edition 2", [](std::string& b) { b[kEditionAt] = 2; }, "damaged: its header holds values"},
        {"unknown flag", [](std::string& b) { b[kFlagsAt] = 3; }, "damaged: its header holds values"},
        {"level outside the data", [](std::string& b) { b.replace(kLevelNameAt + 1, 5, "../.."); },
         "damaged: it names no level file"},
        {"absolute level", [](std::string& b) { b[kLevelNameAt + 1] = '/'; }, "damaged: it names no level file"},
        {"finish time NaN", [](std::string& b) { setFloat(b, kFramesAt - 24, NAN); }, "damaged: its finishing time"},
        {"frame time NaN", [](std::string& b) { setFloat(b, kFramesAt + 1, NAN); }, "damaged: a frame time"},
        {"frame time negative", [](std::string& b) { setFloat(b, kFramesAt + 1, -0.01f); }, "damaged: a frame time"},
        {"clock infinite", [](std::string& b) { setFloat(b, kFramesAt + 5, INFINITY); }, "damaged: a clock value"},
        {"fall flag 2", [](std::string& b) { b[kFramesAt + 21] = 2; }, "damaged: a frame holds values"},
        {"centred pad",
         [](std::string& b) {
             b.insert(kFramesAt + 22, 4, '\0');
             b[kFramesAt] |= char(128);
         },
         "damaged: a frame holds values"},
        {"stick in orbivale-gl", [](std::string& b) { b[kFramesAt] = static_cast<char>(b[kFramesAt] | 32); },
         "damaged"},
        {"no starting clock", [](std::string& b) { b[kFramesAt] = static_cast<char>(b[kFramesAt] & ~64); }, "damaged"},
    };
    for (const Case& c : cases) {
        std::string bytes = good;
        c.damage(bytes);
        Replay read;
        std::string reason;
        EXPECT_FALSE(decodeReplay(bytes, read, reason)) << c.what;
        EXPECT_EQ(reason.rfind(c.reason, 0), 0u) << c.what << ": " << reason;
    }
}

TEST(ReplayFormatTest, ARunHoldsNoMoreThanALevelCanLast)
{
    // The largest run there can be: a frame a millisecond for the longest a
    // level lasts, each frame with everything a frame can carry.
    Replay largest = runOf(true, kMostReplayFrames, 0.00099f);
    EXPECT_EQ(encodeReplay(largest).size(), kLargestReplayFile);
    EXPECT_EQ(decodeFailure(largest), "");
    largest.frames.push_back(largest.frames.back());
    EXPECT_EQ(decodeFailure(largest), "damaged: it holds more frames than a level run can");

    // orbivale-glide never takes a frame over its cap; orbivale-gl keeps a
    // stall of a few seconds, but no frames that outlast a level.
    EXPECT_EQ(decodeFailure(runOf(true, 10, kGlideMaxFrameTime)), "");
    EXPECT_EQ(decodeFailure(runOf(true, 10, 0.11f)), "damaged: a frame time is longer than the game ever takes one");
    EXPECT_EQ(decodeFailure(runOf(false, 8, 8.0f)), "");
    EXPECT_EQ(decodeFailure(runOf(false, 1, 8.5f)), "damaged: a frame time is longer than the game ever takes one");
    EXPECT_EQ(decodeFailure(runOf(false, 9, 8.0f)), "damaged: its frames last longer than a level can");
    Replay noLevel = sampleReplay(false);
    noLevel.levelNumber = 0;
    EXPECT_EQ(decodeFailure(noLevel), "damaged: its header holds values no replay has");
}

class ReplayPlaybackTest : public GameTest {
protected:
    void SetUp() override
    {
        startFresh(Edition::Gl);
        TempWorkdir::write("maps/level1.map", "holecount= 0 .data .end");
        levelCount = 1;
        levelNames = {"maps/level1.map"};
        levelTimes.assign(1, unplayedTime());
    }
    // The message box playback showed, after it refused.
    std::string refusal(const Replay& replay)
    {
        TempWorkdir::write("run.orbreplay", encodeReplay(replay));
        EXPECT_FALSE(startReplayPlayback("run.orbreplay"));
        EXPECT_FALSE(replayPlaying());
        EXPECT_EQ(scripted.countPosted(kEventQuit), 1);
        std::string message = scripted.messages.empty() ? "" : scripted.messages.back();
        scripted = ScriptedPlatform();
        return message;
    }
    TempWorkdir dir;
};

TEST_F(ReplayPlaybackTest, ARunItCannotPlayFaithfullyIsRefusedNamingWhy)
{
    Replay r = sampleReplay(false);
    r.levelChecksum = checksumBytes(TempWorkdir::read("maps/level1.map"));
    TempWorkdir::write("damaged.orbreplay", "ORBREPLY");
    EXPECT_FALSE(startReplayPlayback("damaged.orbreplay"));
    EXPECT_EQ(scripted.messages.back(), "Replay: damaged.orbreplay: damaged: its header is cut short");
    EXPECT_FALSE(startReplayPlayback("missing.orbreplay"));
    EXPECT_EQ(scripted.messages.back().rfind("Replay: missing.orbreplay: cannot open missing.orbreplay", 0), 0u);
    scripted = ScriptedPlatform();

    Replay glide = sampleReplay(true);
    glide.levelChecksum = r.levelChecksum;
    EXPECT_EQ(refusal(glide), "Replay: run.orbreplay: recorded by orbivale-glide, which alone can play it");
    Replay changed = r;
    ++changed.levelChecksum;
    EXPECT_EQ(refusal(changed),
              "Replay: run.orbreplay: its level file maps/level1.map differs from the one it was recorded on");
    Replay gone = r;
    gone.levelFile = "maps/level9.map";
    EXPECT_EQ(refusal(gone), "Replay: run.orbreplay: its level file maps/level9.map is missing");

    Replay later = r;
    later.levelNumber = 2;
    EXPECT_EQ(refusal(later), "Replay: run.orbreplay: its level number 2 names no level of the level list");

    TempWorkdir::write("run.orbreplay", encodeReplay(r));
    EXPECT_TRUE(startReplayPlayback("run.orbreplay"));
    EXPECT_TRUE(scripted.messages.empty());
    stopReplayPlayback();
}

TEST_F(ReplayPlaybackTest, ALevelNeverWaitsForTheGhostsWholeRunAndAnOverlongRunIsNotKept)
{
    // The largest run a ghost can be: the level's start runs only its first
    // frame, and each displayed frame no more than a bounded number.
    Replay largest = runOf(false, kMostReplayFrames, 0.00099f);
    largest.levelFile = "maps/level1.map";
    largest.levelChecksum = checksumBytes(TempWorkdir::read("maps/level1.map"));
    TempWorkdir::write(replayFileName("maps/level1.map", true), encodeReplay(largest));
    ASSERT_TRUE(levelMap.load("maps/level1.map", marble));
    ghostOn = true;
    prepareGhost("maps/level1.map");
    EXPECT_EQ(ghostFrameCount(), static_cast<int>(kMostReplayFrames));
    EXPECT_EQ(ghostFramesRun(), 1);
    frameTime = 1.0f / 60.0f;
    advanceGhost();
    EXPECT_EQ(ghostFramesRun(), 16);
    frameTime = 5.0f;
    advanceGhost();
    EXPECT_EQ(ghostFramesRun(), 16 + 256);
    forgetGhost();
    ghostOn = false;

    // orbivale-gl takes a 9 s stall as one frame: a run no replay holds.
    levelNumber = 0;
    scripted.postEvent(Event{kEventLevel, 0});
    runFrames(10, 1.0 / 60.0);
    runFrames(1, 9.0);
    ::testing::internal::CaptureStderr();
    scripted.pressKey(kKeyF1);
    runFrames(1, 1.0 / 60.0);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "Replay: the run of maps/level1.map is longer than a replay holds; it is not kept\n");
    EXPECT_FALSE(std::filesystem::exists(replayFileName("maps/level1.map", false)));
}

// Runs recorded while whole levels are played, and the best one raced as a ghost.
class ReplayRecordTest : public LevelFlowTest {};

TEST_F(ReplayRecordTest, RunsAreKeptAsLastAndFasterAsBestAndF7RacesTheBestAsAGhost)
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
        return std::count_if(recorder.calls.begin(), recorder.calls.end(),
                             [](const RenderCall& c) { return c.op == RenderOp::GhostTriangle && c.opacity == 0.5f; });
    };
    auto simulation = [] {
        return std::vector<float>{marble.position().x, marble.position().y, marble.velocity().y, timeLeft,
                                  penaltyTimer,        boostReserve,        levelTimes[0],       frameTime};
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

} // namespace
