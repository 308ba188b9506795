#pragma once

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

#include <filesystem>
#include <functional>

// A map with the given hole records and nothing else; map files end right
// after their last token.
inline std::string mapText(const std::string& holes, int count)
{
    return "fogcolor= 0x203040 marblecolor= 0xFF8000 holecount= " + std::to_string(count) + " .data " + holes +
           " .end";
}

// A level with nothing in the marble's way. orbivale-glide only loads maps
// of its known hole counts, so it gets 58 faint mounds along the left edge.
inline std::string flatMap()
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

// The last (or the best) run kept of a level, as read back from its file.
inline Replay keptRun(const std::string& level, bool best)
{
    Replay run;
    std::string reason;
    EXPECT_TRUE(decodeReplay(TempWorkdir::read(replayFileName(level, best)), run, reason)) << reason;
    return run;
}
