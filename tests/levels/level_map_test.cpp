#include "bmp_writer.h"
#include "levels/level_map.h"
#include "recording_renderer.h"
#include "scripted_platform.h"
#include "game/edition.h"
#include "sim/marble.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>

namespace {

const std::string kTwoHoles = "holecount= 2\n.data\n0 0 60 45\n0 300 30 -20\n.end";

class LevelMapTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform = &scripted;
        renderer = &recorder;
        edition = Edition::Gl;
    }
    void TearDown() override
    {
        platform = nullptr;
        renderer = nullptr;
        edition = Edition::Gl;
    }

    bool load(const std::string& text)
    {
        path = dir.write("level.map", text);
        return level.load(path, marble);
    }
    // Writes base_0.bmp .. base_{count-1}.bmp, level L filled with the bytes (L, L + 1, L + 2).
    std::string writeTexture(const std::string& name, int count = kLevelMipLevels)
    {
        for (int L = 0; L < count; ++L) {
            int side = 128 >> L;
            dir.write(name + "_" + std::to_string(L) + ".bmp",
                      makeBmp(side, side, solidRows(side, side, uint8_t(L), uint8_t(L + 1), uint8_t(L + 2))));
        }
        return dir.path(name);
    }
    std::string unknown(const std::string& token) const
    {
        return "error: " + path + " contains a unknown token " + token;
    }

    ScriptedPlatform scripted;
    RecordingRenderer recorder;
    TempDir dir;
    LevelMap level;
    Marble marble;
    std::string path;
};

TEST_F(LevelMapTest, GlLevelLoadsColoursHolesTextureAndGrid)
{
    std::string base = writeTexture("B");
    ASSERT_TRUE(load("texturefile= " + base + "\nfogcolor= 0xFF0000\nmarblecolor= 0x00FF80\n" + kTwoHoles));
    EXPECT_TRUE(scripted.messages.empty());

    EXPECT_EQ(level.holeCount, 2);
    EXPECT_EQ(level.holes[1].y, 300.0f);
    EXPECT_EQ(level.holes[1].depth, -20.0f);
    EXPECT_EQ(level.getFogColour(), 0xFF0000u);
    EXPECT_EQ(level.fogColourRGBA[0], 1.0f);
    EXPECT_EQ(level.fogColourRGBA[1], 0.0f);
    EXPECT_EQ(level.fogColourRGBA[2], 0.0f);
    EXPECT_EQ(level.fogColourRGBA[3], 1.0f);
    EXPECT_EQ(level.marbleColour, 0x00FF80u);
    EXPECT_EQ(marble.colour()[0], 0.0f);
    EXPECT_EQ(marble.colour()[1], 255.0f);
    EXPECT_EQ(marble.colour()[2], 128.0f);
    ASSERT_EQ(recorder.count(RenderOp::SetFogColour), 1);
    EXPECT_EQ(recorder.of(RenderOp::SetFogColour)[0].value, 0xFF0000u);

    // All eight levels read, each in its own slot, turned to RGB; the level
    // start hands them over, not the load.
    EXPECT_EQ(recorder.count(RenderOp::UploadLevelTexture), 0);
    ASSERT_TRUE(level.textureRead);
    const uint8_t* pixels = level.mipImages.get();
    for (int L = 0; L < kLevelMipLevels; ++L) {
        size_t slot = size_t(L) * kLevelMipSlotBytes;
        size_t lastPixel = slot + bmpImageBytes(128 >> L, 128 >> L) - 3;
        for (size_t at : {slot, lastPixel}) {
            EXPECT_EQ(pixels[at], L + 2) << "level " << L;
            EXPECT_EQ(pixels[at + 2], L) << "level " << L;
        }
    }

    // The grid: row after row, 30 units apart, on the surface.
    ASSERT_TRUE(level.vertices);
    for (auto [row, column] : {std::pair{0, 0}, {200, 25}, {210, 25}, {399, 49}, {17, 3}}) {
        int i = row * kGridColumns + column;
        Vec3 v = level.vertices[i];
        EXPECT_EQ(v.x, float((column - 25) * 30));
        EXPECT_EQ(v.y, float((row - 200) * 30));
        EXPECT_EQ(v.z, level.heightAt(v.x, v.y));
    }
    EXPECT_EQ(level.vertices[0].x, -750.0f);
    EXPECT_EQ(level.vertices[kGridVertices - 1].y, 5970.0f);
}

TEST_F(LevelMapTest, GlTextureFailsOnTheFirstMissingOrMisfitLevelFileBeforeUploading)
{
    std::string base = writeTexture("B", 5);
    EXPECT_FALSE(load("texturefile= " + base + "\n" + kTwoHoles));
    ASSERT_EQ(scripted.messages.size(), 1u);
    EXPECT_EQ(scripted.messages[0], "error: " + base + "_5.bmp");
    EXPECT_EQ(recorder.count(RenderOp::UploadLevelTexture), 0);

    // A level image of the wrong size is refused the same way.
    writeTexture("C");
    dir.write("C_3.bmp", makeBmp(32, 32, solidRows(32, 32, 1, 2, 3)));
    scripted.messages.clear();
    EXPECT_FALSE(load("texturefile= " + dir.path("C") + "\n" + kTwoHoles));
    ASSERT_EQ(scripted.messages.size(), 1u);
    EXPECT_EQ(scripted.messages[0], "error: " + dir.path("C") + "_3.bmp");
    EXPECT_EQ(recorder.count(RenderOp::UploadLevelTexture), 0);
}

TEST_F(LevelMapTest, GlideChecksHoleCountsAndLoadsItsTextureThroughTheRenderer)
{
    ASSERT_TRUE(load("holecount= 1 .data 0 0 60 45 .end")); // a gl grid first, in the same object
    edition = Edition::Glide;
    for (int count : {58, 62, 70}) {
        std::string records;
        for (int i = 0; i < count; ++i)
            records += std::to_string(i * 10) + " 0 30 " + std::to_string(i % 2 ? 20 : -20) + "\n";
        ASSERT_TRUE(load("texturefile= level.3df fogcolor= 0x102030 holecount= " + std::to_string(count) + " .data\n" +
                         records + ".end"))
            << count;
        EXPECT_EQ(level.holeCount, count);
    }
    EXPECT_TRUE(scripted.messages.empty());
    EXPECT_EQ(recorder.of(RenderOp::LoadLevelTexture).back().path, "level.3df");
    EXPECT_EQ(recorder.of(RenderOp::SetFogColour).back().value, 0x102030u);
    ASSERT_TRUE(level.vertices);

    for (const char* count : {"60", "-1", "0"}) {
        scripted.messages.clear();
        EXPECT_FALSE(load(std::string("holecount= ") + count + " .data .end"));
        EXPECT_EQ(scripted.messages, std::vector<std::string>{"error: map files have been altered"}) << count;
    }

    scripted.messages.clear();
    recorder.levelTextureLoads = false;
    EXPECT_FALSE(load("texturefile= missing.3df"));
    EXPECT_TRUE(scripted.messages.empty());
}

TEST_F(LevelMapTest, FailuresShowTheirMessageOrNone)
{
    struct Case {
        std::string text;
        std::string message; // empty: no message
    };
    const std::string tooLong(300, 'k');
    std::vector<Case> cases = {
        {"", ""},
        {"  \n\t ", ""},
        {kTwoHoles + "\n", ""}, // a line end after ".end"
        {kTwoHoles + " ", ""},
        {"fogcolor=", ""}, // no value at all
        {"fogcolor= red", ""},
        {"fogcolor= 0x", ""},
        {"marblecolor= -", ""},
        {"holecount= many", ""},
        {"holecount= 99999999999", ""},    // does not fit 32 bits
        {"holecount= 1 .data 0 0 60", ""}, // a record cut short
        {"holecount= 1 .data 0 0 sixty 45 .end", ""},
        {"holecount= 1 .data 0 0 60 1e300 .end", "unknown 1e300"}, // no float holds it
        {"holecount= 1 .data -1e39 0 60 45 .end", "unknown -1e39"},
        // Heights could reach infinity: the depth that tips the sum is blamed.
        {"holecount= 3 .data 0 0 60 5e37 9 9 0 3e38 5 5 1 -4e37 .end", "unknown -4e37"},
        {"texturefile=", ""},
        {"holecount=2 .data .end", "unknown holecount=2"},
        {"fogcolor= 0 Fogcolor= 0", "unknown Fogcolor="},
        {"fog\x1b[2Jcolor\x7f\xe9= 0", "unknown fog\\x1B[2Jcolor\\x7F\\xE9="}, // shown, never sent raw
        {tooLong, "unknown " + tooLong.substr(0, 255)},
        {"texturefile= " + tooLong, "unknown " + tooLong.substr(0, 255)},
        {"texturefile= " + std::string(250, 'b'), "unknown " + std::string(250, 'b')},
        {"holecount= -1", "out of memory"},
        {"holecount= 2 .data 0 0 60 45 0 300 30 -20", "expected .end"},
        {"holecount= 2 .data 0 0 60 45 0 300 30 -20 end", "expected .end"},
        {"holecount= 1 .data 0 0 60 45 0 .end", "expected .end"},
        {"holecount= 1 .data 0 0 60 45 " + tooLong, "expected .end"},
    };
    for (const Case& c : cases) {
        scripted.messages.clear();
        EXPECT_FALSE(load(c.text)) << c.text;
        std::vector<std::string> expected;
        if (c.message.rfind("unknown ", 0) == 0)
            expected.push_back(unknown(c.message.substr(8)));
        else if (!c.message.empty())
            expected.push_back("error: " + c.message);
        EXPECT_EQ(scripted.messages, expected) << c.text;
    }

    // Only a regular file is a map: a folder, a FIFO (whose open must not
    // wait for a writer) or an endless device of that name is missing too.
    std::filesystem::create_directory(dir.path("folder.map"));
    ASSERT_EQ(mkfifo(dir.path("fifo.map").c_str(), 0600), 0);
    std::filesystem::create_symlink("/dev/zero", dir.path("zero.map"));
    for (const char* name : {"nowhere.map", "folder.map", "fifo.map", "zero.map"}) {
        scripted.messages.clear();
        EXPECT_FALSE(level.load(dir.path(name), marble));
        EXPECT_EQ(scripted.messages, std::vector<std::string>{"error: " + dir.path(name) + " file not found"});
    }
}

TEST_F(LevelMapTest, NumbersInAnyNotationAndWithinTheirLength)
{
    for (const char* red : {"0xFF0000", "0Xff0000", "16711680", "077600000", "+0xff0000"}) {
        ASSERT_TRUE(load(std::string("fogcolor= ") + red)) << red;
        EXPECT_EQ(level.getFogColour(), 0xFF0000u) << red;
    }
    ASSERT_TRUE(load("fogcolor= 255"));
    EXPECT_EQ(level.fogColourRGBA[2], 1.0f);
    EXPECT_EQ(level.fogColourRGBA[0], 0.0f);

    // A number ends where it cannot go on; the rest is the next token.
    ASSERT_TRUE(load("holecount= 1.data\n-30.5 +2e1 .6E2 4.5e+1.end"));
    EXPECT_EQ(level.holes[0].x, -30.5f);
    EXPECT_EQ(level.holes[0].y, 20.0f);
    EXPECT_EQ(level.holes[0].radius, 60.0f);
    EXPECT_EQ(level.holes[0].depth, 45.0f);
    EXPECT_FALSE(load("holecount= 1 .data 0 0 60 45 08 .end")) << "octal stops before 8";
    EXPECT_EQ(scripted.messages.back(), "error: expected .end");

    // Integers: 15 characters at most; the sixteenth starts a new token.
    scripted.messages.clear();
    EXPECT_TRUE(load("holecount= 000000000000002 .data 1 2 3 4 5 6 7 8 .end"));
    EXPECT_FALSE(load("holecount= 0000000000000002 .data .end"));
    EXPECT_EQ(scripted.messages, std::vector<std::string>{unknown("2")});
    // Floats: 19 characters at most.
    scripted.messages.clear();
    EXPECT_TRUE(load("holecount= 1 .data 1 2 3 4.00000000000000000 .end"));
    EXPECT_FALSE(load("holecount= 1 .data 1 2 3 4.000000000000000000 .end"));
    EXPECT_EQ(scripted.messages, std::vector<std::string>{"error: expected .end"});
}

TEST_F(LevelMapTest, AnyFloatAndAnyCountThatFitsAreTaken)
{
    // Too small for a float: the nearest float, zero at the end.
    ASSERT_TRUE(load("holecount= 2 .data 1e-50 -1e-50 1e-40 5e7 1 2 3e38 3e37 .end")) << scripted.messages[0];
    EXPECT_EQ(level.holes[0].x, 0.0f);
    EXPECT_EQ(level.holes[0].y, 0.0f);
    EXPECT_EQ(level.holes[0].radius, 1e-40f);
    EXPECT_EQ(level.holes[0].depth, 5e7f);
    EXPECT_EQ(level.holes[1].radius, 3e38f);
    for (float x : {0.0f, 1.0f, -750.0f, 3e38f}) {
        EXPECT_TRUE(std::isfinite(level.heightAt(x, 0.0f))) << x;
        Vec3 n = level.normalAt(x, 2.0f);
        EXPECT_TRUE(std::isfinite(n.x + n.y + n.z)) << x;
        EXPECT_EQ(level.holeAt(x, 0.0f), x == 0.0f ? 1e-40f : 3e38f) << x;
    }

    // orbivale-gl takes any count it can allocate; a table no ".data" fills is flat.
    std::string records;
    for (int i = 0; i < 10001; ++i)
        records += i == 10000 ? "0 0 60 45 " : "0 0 0 9 ";
    ASSERT_TRUE(load("holecount= 10001 .data " + records + ".end"));
    EXPECT_EQ(level.holeCount, 10001);
    EXPECT_EQ(level.heightAt(0.0f, 0.0f), 45.0f);
    ASSERT_TRUE(load("holecount= 100000000"));
    EXPECT_EQ(level.holeCount, 0);
    EXPECT_EQ(level.vertices[kGridVertices / 2].z, 0.0f);
    EXPECT_TRUE(scripted.messages.empty());
}

#if !defined(__SANITIZE_ADDRESS__)
// The sanitizer reserves more address space than any limit leaves room for.
TEST_F(LevelMapTest, ACountThatCannotBeAllocatedIsOutOfMemory)
{
    auto loadWithLittleAddressSpace = [this] {
        rlimit limit{size_t(1) << 30, size_t(1) << 30};
        std::ifstream status("/proc/self/status");
        for (std::string line; std::getline(status, line);)
            if (line.rfind("VmSize:", 0) == 0)
                limit.rlim_cur = limit.rlim_max += std::stoull(line.substr(7)) * 1024;
        setrlimit(RLIMIT_AS, &limit);
        bool loaded = load("holecount= 100000000 .data .end");
        std::exit(!loaded && scripted.messages == std::vector<std::string>{"error: out of memory"} ? 0 : 1);
    };
    EXPECT_EXIT(loadWithLittleAddressSpace(), ::testing::ExitedWithCode(0), "");
}
#endif

TEST_F(LevelMapTest, KeywordsRepeatAndLaterValuesWin)
{
    std::string base = writeTexture("B");
    ASSERT_TRUE(load("texturefile= " + base + " fogcolor= 0x123456 " + kTwoHoles));

    // Keywords after ".end", a second ".data" over the first, a new table.
    ASSERT_TRUE(load(kTwoHoles + " marblecolor= 0x010203 .data 1 1 10 5 2 2 20 6 .end"));
    EXPECT_EQ(level.holeCount, 2);
    EXPECT_EQ(level.holes[0].radius, 10.0f);
    EXPECT_EQ(level.holes[1].depth, 6.0f);
    EXPECT_EQ(marble.colour()[2], 3.0f);
    ASSERT_TRUE(load("holecount= 2 holecount= 1 .data 5 5 50 5 .end"));
    EXPECT_EQ(level.holeCount, 1);

    // No "texturefile=" and no "fogcolor=": the previous level's stay.
    EXPECT_FALSE(level.textureRead);
    EXPECT_EQ(level.getFogColour(), 0x123456u);
    EXPECT_EQ(recorder.count(RenderOp::SetFogColour), 1);

    // No hole table at all, or an empty one: flat.
    for (const char* flat : {"holecount= 0 .data .end", "fogcolor= 0"}) {
        ASSERT_TRUE(load(flat)) << flat;
        EXPECT_EQ(level.holeCount, 0);
        for (int i = 0; i < kGridVertices; i += 997)
            EXPECT_EQ(level.vertices[i].z, 0.0f);
    }
}

TEST_F(LevelMapTest, GridFollowsTheSurfaceOfSeventyHoles)
{
    std::string records;
    for (int i = 0; i < 70; ++i)
        records += std::to_string(-700 + (i * 137) % 1400) + " " + std::to_string(-5700 + i * 160) + " " +
                   std::to_string(20 + i % 5 * 10) + " " + std::to_string(i % 3 ? 40 - i % 7 : -25) + "\n";
    ASSERT_TRUE(load("holecount= 70\n.data\n" + records + ".end"));
    for (int i = 0; i < kGridVertices; ++i) {
        const Vec3& v = level.vertices[i];
        ASSERT_EQ(v.z, level.heightAt(v.x, v.y)) << i;
    }
}

} // namespace
