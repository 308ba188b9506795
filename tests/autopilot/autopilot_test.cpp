// Every generated level can be won by a player using only the arrow keys and
// Shift: the autopilot drives the real shell and physics at 60 frames per
// second and must reach the goal in time without ever falling. Each run is
// recorded as it goes, and played back it must move the marble exactly so.
#include "game_fixture.h"
#include "temp_workdir.h"
#include "tools/autopilot/autopilot.h"

#include "game/game_state.h"
#include "levels/level_list.h"
#include "levels/level_map.h"
#include "records/best_times.h"
#include "shell/ghost.h"
#include "shell/replay_playback.h"
#include "shell/replay_record.h"
#include "shell/settings.h"
#include "sim/marble.h"
#include "sim/marble_control.h"
#include "tools/mapcheck/checking_renderer.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace {

struct MarbleState {
    Vec3 position;
    Vec3 velocity;
};

MarbleState marbleState() { return MarbleState{marble.position(), marble.velocity()}; }

bool sameBits(const MarbleState& a, const MarbleState& b)
{
    return std::memcmp(&a.position, &b.position, sizeof(Vec3)) == 0 &&
           std::memcmp(&a.velocity, &b.velocity, sizeof(Vec3)) == 0;
}

struct LevelRun {
    bool reachedGoal = false;
    int falls = 0;
    float timeLeftAtGoal = 0.0f;
    float clearance = 0.0f;
};

class AutopilotTest : public GameTest {
protected:
    // Starts a game of the given edition on a copy of its generated data.
    void startGame(Edition which, const std::string& folder)
    {
        startFresh(which);
        // Frames are drawn as in the game, but thousands of them need not be kept.
        renderer = &drawNothing;
        std::filesystem::copy(std::string(ORBIVALE_DATA_DIR) + "/" + folder, ".",
                              std::filesystem::copy_options::recursive);
        ASSERT_TRUE(loadLevelList());
        bestTimes.setDefaults();
        gameState = GameState::Title;
        levelNumber = 0;
        scripted.postEvent(Event{kEventLevel, 0});
        ASSERT_TRUE(step());
    }

    // One frame; the marble's state after each recorded frame is kept.
    bool step()
    {
        bool going = runFrame();
        std::vector<MarbleState>& trace = traces[levelNumber];
        if (runBeingRecorded().frames.size() == trace.size() + 1)
            trace.push_back(marbleState());
        return going;
    }

    // Plays each level's kept run back and compares the marble after every
    // frame with the recorded game's, bit for bit; the ghost of the same run
    // (its best) keeps pace with it on the same path.
    void playEveryRunBack()
    {
        for (int level = 1; level <= levelCount; ++level) {
            SCOPED_TRACE("replay of level " + std::to_string(level));
            std::string lastRun = replayFileName(levelNames[level - 1], false);
            ASSERT_TRUE(std::filesystem::exists(replayFileName(levelNames[level - 1], true)));
            const std::vector<MarbleState>& trace = traces[level];
            stopReplayPlayback();
            ghostOn = true;
            ASSERT_TRUE(startReplayPlayback(lastRun)) << scripted.messages.back();
            ASSERT_EQ(ghostFrameCount(), static_cast<int>(trace.size()));
            int played = 0;
            for (int frame = 0; frame < 2 * static_cast<int>(trace.size()) + 10; ++frame) {
                scripted.advance(1.0 / 60.0);
                ASSERT_TRUE(runFrame());
                if (replayFramesPlayed() == played)
                    continue;
                played = replayFramesPlayed();
                ASSERT_LE(played, static_cast<int>(trace.size()));
                ASSERT_TRUE(sameBits(marbleState(), trace[played - 1]))
                    << "frame " << played << ": " << marble.position().x << ", " << marble.position().y;
                Vec3 ghost;
                ASSERT_TRUE(ghostPosition(ghost));
                ASSERT_EQ(std::memcmp(&ghost, &trace[played - 1].position, sizeof ghost), 0)
                    << "ghost frame " << played;
            }
            EXPECT_EQ(played, static_cast<int>(trace.size()));
            EXPECT_TRUE(levelDone);
            std::printf("replay of level %d: %d frames, %ju bytes\n", level, played,
                        static_cast<uintmax_t>(std::filesystem::file_size(lastRun)));
        }
        stopReplayPlayback();
    }

    // Drives the current level to its goal, or until its time is up.
    LevelRun drive()
    {
        LevelRun run;
        Autopilot pilot;
        if (!pilot.plan(levelMap)) {
            ADD_FAILURE() << "no line through level " << levelNumber;
            return run;
        }
        run.clearance = pilot.clearance();
        float lastPenalty = penaltyTimer;
        Vec3 lastPosition = marble.position();
        for (int frame = 0; frame < 60 * 60 && !levelDone && gameState == GameState::Playing; ++frame) {
            scripted.heldKeys = pilot.keysFor(marble, isGlide() || boostReserve > 0.0f);
            scripted.advance(1.0 / 60.0);
            // The window loses and regains the focus once: a pause, and in
            // orbivale-glide a hold, that the replay has to reproduce.
            if (frame == 200) {
                scripted.postEvent(Event{kEventKillFocus, 0});
                scripted.postEvent(Event{kEventFrame, 0});
                scripted.postEvent(Event{kEventSetFocus, 0});
                lastPenalty = 2.0f;
            }
            if (!step())
                break;
            // A fall sets the penalty timer afresh; otherwise it only runs down.
            if (penaltyTimer > 0.0f && penaltyTimer > lastPenalty) {
                ++run.falls;
                ADD_FAILURE() << "fell near " << lastPosition.x << ", " << lastPosition.y;
            }
            lastPosition = marble.position();
            lastPenalty = penaltyTimer;
        }
        scripted.heldKeys.clear();
        run.reachedGoal = levelDone;
        run.timeLeftAtGoal = timeLeft;
        return run;
    }

    // Plays every level in turn; the first needs 10 s to spare, the rest 3 s.
    void playEveryLevel(const char* editionName)
    {
        std::vector<float> parTimes;
        for (int level = 1; level <= levelCount; ++level) {
            SCOPED_TRACE(std::string(editionName) + " level " + std::to_string(level));
            ASSERT_EQ(levelNumber, level);
            LevelRun run = drive();
            EXPECT_TRUE(run.reachedGoal);
            EXPECT_GE(run.timeLeftAtGoal, level == 1 ? 10.0f : 3.0f);
            parTimes.push_back(45.0f - run.timeLeftAtGoal);
            // The mean speed along the course tells how far ahead 1.5 s of sight reaches.
            std::printf("%s level %d: %d holes, par %.2f s (%.0f units/s), %.2f s to spare, %d falls, line keeps %.0f "
                        "clear\n",
                        editionName, level, levelMap.holeCount, parTimes.back(),
                        (kGoalLine - kStartY) / parTimes.back(), run.timeLeftAtGoal, run.falls, run.clearance);
            // The next level starts one second after the goal.
            for (int frame = 0; frame < 180 && levelNumber == level; ++frame) {
                scripted.advance(1.0 / 60.0);
                ASSERT_TRUE(step());
            }
        }
        EXPECT_NE(gameState, GameState::Playing);
    }

    TempWorkdir dir;
    CheckingRenderer drawNothing;
    std::map<int, std::vector<MarbleState>> traces; // by level number
};

TEST_F(AutopilotTest, EveryGlLevelIsWonInTimeWithoutAFallAndPlaysBackBitForBit)
{
    ASSERT_NO_FATAL_FAILURE(startGame(Edition::Gl, "gl"));
    EXPECT_GE(levelCount, 6);
    playEveryLevel("orbivale-gl");
    playEveryRunBack();
}

TEST_F(AutopilotTest, EveryGlideLevelIsWonInTimeWithoutAFallAndPlaysBackBitForBit)
{
    ASSERT_NO_FATAL_FAILURE(startGame(Edition::Glide, "glide"));
    EXPECT_EQ(levelCount, 3);
    playEveryLevel("orbivale-glide");
    playEveryRunBack();
}

} // namespace
