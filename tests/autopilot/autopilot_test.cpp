// Every generated level can be won by a player using only the arrow keys and
// Shift: the autopilot drives the real shell and physics at 60 frames per
// second and must reach the goal in time without ever falling.
#include "tools/autopilot/autopilot.h"
#include "game_fixture.h"
#include "temp_workdir.h"

#include "levels/level_list.h"
#include "levels/level_map.h"
#include "records/best_times.h"
#include "shell/shell_state.h"
#include "sim/marble.h"
#include "sim/marble_control.h"
#include "tools/mapcheck/checking_renderer.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

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
        ASSERT_TRUE(runFrame());
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
            if (!runFrame())
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
            std::printf("%s level %d: %d holes, par %.2f s, %.2f s to spare, %d falls, line keeps %.0f clear\n",
                        editionName, level, levelMap.holeCount, parTimes.back(), run.timeLeftAtGoal, run.falls,
                        run.clearance);
            // The next level starts one second after the goal.
            for (int frame = 0; frame < 180 && levelNumber == level; ++frame) {
                scripted.advance(1.0 / 60.0);
                ASSERT_TRUE(runFrame());
            }
        }
        EXPECT_NE(gameState, GameState::Playing);
    }

    TempWorkdir dir;
    CheckingRenderer drawNothing;
};

TEST_F(AutopilotTest, EveryGlLevelIsWonInTimeWithoutAFall)
{
    ASSERT_NO_FATAL_FAILURE(startGame(Edition::Gl, "gl"));
    EXPECT_GE(levelCount, 6);
    playEveryLevel("orbivale-gl");
}

TEST_F(AutopilotTest, EveryGlideLevelIsWonInTimeWithoutAFall)
{
    ASSERT_NO_FATAL_FAILURE(startGame(Edition::Glide, "glide"));
    EXPECT_EQ(levelCount, 3);
    playEveryLevel("orbivale-glide");
}

} // namespace
