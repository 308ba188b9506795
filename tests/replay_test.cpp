// The replay file: what its reader refuses, and the refusals of playback.
#include "game_fixture.h"
#include "temp_workdir.h"

#include "levels/level_list.h"
#include "shell/replay_format.h"
#include "shell/replay_playback.h"
#include "shell/replay_record.h"

#include <cmath>
#include <cstring>
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
        {"finish time NaN", [](std::string& b) { setFloat(b, kFramesAt - 24, NAN); },
         "damaged: its finishing time"},
        {"frame time NaN", [](std::string& b) { setFloat(b, kFramesAt + 1, NAN); }, "damaged: a frame time"},
        {"frame time negative", [](std::string& b) { setFloat(b, kFramesAt + 1, -0.01f); },
         "damaged: a frame time"},
        {"clock infinite", [](std::string& b) { setFloat(b, kFramesAt + 5, INFINITY); },
         "damaged: a clock value"},
        {"fall flag 2", [](std::string& b) { b[kFramesAt + 21] = 2; }, "damaged: a frame holds values"},
        {"centred pad", [](std::string& b) { b.insert(kFramesAt + 22, 4, '\0'); b[kFramesAt] |= char(128); },
         "damaged: a frame holds values"},
        {"stick in orbivale-gl", [](std::string& b) { b[kFramesAt] = static_cast<char>(b[kFramesAt] | 32); },
         "damaged"},
        {"no starting clock", [](std::string& b) { b[kFramesAt] = static_cast<char>(b[kFramesAt] & ~64); },
         "damaged"},
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

    TempWorkdir::write("run.orbreplay", encodeReplay(r));
    EXPECT_TRUE(startReplayPlayback("run.orbreplay"));
    EXPECT_TRUE(scripted.messages.empty());
    stopReplayPlayback();
}

} // namespace
