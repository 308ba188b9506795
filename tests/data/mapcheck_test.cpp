// The map checker on crafted maps: the game's verdict and messages, one line
// on why when the game gives none, warnings about traps, textures taken as
// the game takes them, and the example of docs/levels.md.
#include "glide2/tdf_format.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/wait.h>

namespace fs = std::filesystem;

namespace {

struct Checked {
    int status = -1;
    std::string out;
};

class MapCheck : public ::testing::Test {
protected:
    // A folder with the maps/ of one edition's generated data, to write maps into.
    void useData(const std::string& editionFolder)
    {
        fs::copy(fs::path(ORBIVALE_DATA_DIR) / editionFolder / "maps", dir.path("maps"), fs::copy_options::recursive);
    }

    Checked check(const std::string& arguments)
    {
        Checked result;
        std::string command = "cd '" + dir.root() + "' && '" + ORBIVALE_MAPCHECK + "' " + arguments + " 2>&1";
        FILE* pipe = popen(command.c_str(), "r");
        if (!pipe)
            return result;
        char buffer[4096];
        for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;)
            result.out.append(buffer, n);
        int status = pclose(pipe);
        result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        return result;
    }

    // A map of `count` holes: the given ones, then absent ones (radius 0).
    static std::string map(const std::string& texture, const std::string& holes, int count, int given)
    {
        std::string text = "texturefile= " + texture +
                           "\nfogcolor= 0x9cc8e8\nmarblecolor= 0xd02020\nholecount= " + std::to_string(count) +
                           "\n.data\n" + holes;
        for (int i = given; i < count; ++i)
            text += "0 5000 0 0\n";
        return text + ".end";
    }

    TempDir dir;
};

bool has(const std::string& out, const std::string& line) { return out.find(line + "\n") != std::string::npos; }

TEST_F(MapCheck, ExplainsSilentFailuresAndWarnsAboutTraps)
{
    useData("gl");
    const std::string good = map("maps/grass", "0 0 60 50\n", 1, 1);
    dir.write("good.map", good);
    dir.write("trailing.map", good + "\r\n");
    dir.write("short.map", "texturefile= maps/grass\nholecount= 3\n.data\n0 0 60 50\n100 100 60\n.end");
    dir.write("fog.map", "texturefile= maps/grass\nfogcolor= blue\n");
    // The start inside one capture circle, and within a marble's radius of another.
    dir.write("start.map", map("maps/grass", "0 -5800 60 50\n300 -5720 40 30\n0 -5680 70 30\n", 3, 3));
    // A wall across the course, a small pit inside a big one, a pit filled by a mound.
    std::string wall;
    for (int x = -750; x <= 750; x += 100)
        wall += std::to_string(x) + " 0 60 40\n";
    dir.write("traps.map",
              map("maps/grass", wall + "0 2000 100 50\n30 2000 20 50\n0 4000 40 20\n0 4000 80 -60\n", 20, 20));
    // A 2 x 2 mipmap written with rows padded to four bytes, as editors do.
    for (int level = 0; level < 8; ++level)
        fs::copy_file(dir.path("maps/grass_" + std::to_string(level) + ".bmp"),
                      dir.path("maps/padded_" + std::to_string(level) + ".bmp"));
    {
        std::ifstream in(dir.path("maps/grass_6.bmp"), std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        ASSERT_EQ(bytes.size(), 54u + 12u);
        dir.write("maps/padded_6.bmp", bytes.substr(0, 54) + bytes.substr(54, 6) + std::string(2, '\0') +
                                           bytes.substr(60, 6) + std::string(2, '\0'));
    }
    dir.write("padded.map", map("maps/padded", "0 0 60 50\n", 1, 1));

    Checked run = check("good.map trailing.map short.map fog.map start.map traps.map padded.map");
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(has(run.out, "good.map: ok: 1 holes (1 pits, 0 mounds), fog 0x9cc8e8, marble 0xd02020")) << run.out;
    EXPECT_TRUE(has(run.out, "trailing.map: nothing may follow .end: a line end at byte " +
                                 std::to_string(good.size()) + " (line 7)"))
        << run.out;
    EXPECT_TRUE(has(run.out, "error: Unable to initialize map")) << run.out;
    EXPECT_TRUE(has(run.out, "trailing.map: FAILED")) << run.out;
    EXPECT_TRUE(has(run.out, "short.map: hole 2 has 3 of its 4 values: the table ends (.end) after 1 of the 3 "
                             "holes holecount= announced"))
        << run.out;
    EXPECT_TRUE(has(run.out, "fog.map: fogcolor= needs a whole number of at most 32 bits after it, such as 0x9cc8e8"))
        << run.out;
    EXPECT_TRUE(has(run.out, "start.map: warning: the start point (0, -5800) lies inside hole 1's capture circle: "
                             "the marble falls at once, again and again"))
        << run.out;
    EXPECT_TRUE(has(run.out, "start.map: warning: the start point (0, -5800) lies within one marble radius of "
                             "hole 3's capture circle"))
        << run.out;
    EXPECT_EQ(run.out.find("hole 2's capture"), std::string::npos) << "300 to the side is clear\n" << run.out;
    EXPECT_TRUE(has(run.out, "traps.map: warning: capture circles close the course from edge to edge between "
                             "y = -70 and 70: no way past"))
        << run.out;
    EXPECT_TRUE(has(run.out, "traps.map: warning: hole 18's floor is out of reach: its centre lies in hole 17's "
                             "capture circle"))
        << run.out;
    EXPECT_TRUE(has(run.out, "traps.map: warning: hole 19 is filled in by the holes around it: its floor is no lower "
                             "than its rim, so it catches the marble without a dip to show it"))
        << run.out;
    EXPECT_TRUE(has(run.out, "traps.map: ok: 20 holes (19 pits, 1 mounds), fog 0x9cc8e8, marble 0xd02020")) << run.out;
    EXPECT_NE(run.out.find("padded.map: warning: maps/padded_6.bmp: its rows look padded to 4 bytes"),
              std::string::npos)
        << run.out;
    EXPECT_EQ(run.out.find("padded_7"), std::string::npos) << "a 1 x 1 picture padded is still read right\n"
                                                           << run.out;
}

TEST_F(MapCheck, GlideTexturesAreTakenAsTheGameTakesThemAndEachFailureHasItsOwnReason)
{
    useData("glide");
    // A colour-table texture: the file reads, but the card cannot draw from it.
    std::string p8 = tdfHeaderText(*tdfFindFormat("p8"), 1, 128, 3) + std::string(1024, '\x10') +
                     std::string(tdfTexelCount(GR_LOD_1, GR_LOD_128, GR_ASPECT_1x1), '\x01');
    dir.write("maps/p8.3df", p8);
    dir.write("p8.map", map("maps/p8.3df", "", 58, 0));
    {
        std::ifstream in(dir.path("maps/sand.3df"), std::ios::binary);
        std::string sand((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        dir.write("maps/cut.3df", sand.substr(0, sand.size() / 2));
    }
    dir.write("cut.map", map("maps/cut.3df", "", 58, 0));
    const std::string good = map("maps/sand.3df", "0 0 60 50\n", 58, 1);
    dir.write("good.map", good);
    dir.write("trailing.map", good + "\n");
    fs::create_directory(dir.path("maps/folder.3df"));
    dir.write("folder.map", map("maps/folder.3df", "", 58, 0));
    // Fails before it names a texture: no texture can be blamed.
    dir.write("fog.map", "fogcolor= blue\n");

    Checked run = check("--glide cut.map fog.map p8.map folder.map trailing.map good.map");
    EXPECT_EQ(run.status, 1);
    const std::string fogWhy = "fog.map: fogcolor= needs a whole number of at most 32 bits after it, such as 0x9cc8e8";
    EXPECT_TRUE(has(run.out, "cut.map: maps/cut.3df is cut short or damaged")) << run.out;
    EXPECT_TRUE(has(run.out, fogWhy)) << run.out;
    EXPECT_TRUE(has(run.out, "p8.map: maps/p8.3df is in format p8, which the card cannot draw from (rgb565, "
                             "argb1555, argb4444 and the other plain formats can)"))
        << run.out;
    EXPECT_TRUE(has(run.out, "p8.map: FAILED")) << run.out;
    EXPECT_TRUE(has(run.out, "folder.map: maps/folder.3df is not a file (a folder, a pipe or a device)")) << run.out;
    EXPECT_TRUE(has(run.out, "trailing.map: nothing may follow .end: a line end at byte " +
                                 std::to_string(good.size()) + " (line 64)"))
        << run.out;
    EXPECT_TRUE(has(run.out, "good.map: ok: 58 holes (1 pits, 0 mounds), fog 0x9cc8e8, marble 0xd02020")) << run.out;
    // Each reason is printed for its own map only.
    for (const char* texture : {"cut.3df", "p8.3df"}) {
        size_t first = run.out.find(texture);
        EXPECT_EQ(run.out.find(texture, run.out.find('\n', first)), std::string::npos) << texture << "\n" << run.out;
    }
}

// The example of the level format document loads, draws no warning and is won.
TEST_F(MapCheck, TheDocumentedExampleLoadsAndIsWon)
{
    useData("gl");
    std::ifstream in(std::string(ORBIVALE_SOURCE_DIR) + "/docs/levels.md");
    std::string doc((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::string open = "```map\n";
    size_t from = doc.find(open);
    ASSERT_NE(from, std::string::npos) << "docs/levels.md has no ```map block";
    from += open.size();
    size_t to = doc.find("\n```", from);
    ASSERT_NE(to, std::string::npos);
    dir.write("example.map", doc.substr(from, to - from));

    Checked run = check("--par example.map");
    EXPECT_EQ(run.status, 0) << run.out;
    EXPECT_NE(run.out.find("example.map: ok: "), std::string::npos) << run.out;
    EXPECT_EQ(run.out.find("warning"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("example.map: par "), std::string::npos) << run.out;
}

} // namespace
