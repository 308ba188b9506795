// The generator's own output: two runs write byte-identical data folders,
// and the window icons the programs compile in are its icons.
#include "tools/datagen/icons.h"

// The window icons as the programs compile them in, from the data folder.
#include "icons/window_icon.inc"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::map<std::string, std::string> readTree(const fs::path& root)
{
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        if (!entry.is_regular_file())
            continue;
        std::ifstream in(entry.path(), std::ios::binary);
        files[fs::relative(entry.path(), root).string()] = std::string(std::istreambuf_iterator<char>(in),
                                                                       std::istreambuf_iterator<char>());
    }
    return files;
}

fs::path runGenerator(const std::string& name)
{
    fs::path out = fs::temp_directory_path() / ("orbivale-datagen-" + name + "-" + std::to_string(::getpid()));
    fs::remove_all(out);
    std::string command = std::string("\"") + ORBIVALE_DATAGEN + "\" \"" + out.string() + "\"";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    return out;
}

} // namespace

TEST(Generator, TwoRunsWriteIdenticalFiles)
{
    fs::path first = runGenerator("a");
    fs::path second = runGenerator("b");
    auto a = readTree(first), b = readTree(second);
    EXPECT_GT(a.size(), 50u);
    ASSERT_EQ(a.size(), b.size());
    for (const auto& [name, bytes] : a) {
        ASSERT_TRUE(b.count(name)) << name;
        EXPECT_TRUE(bytes == b[name]) << name << " differs between runs";
    }
    // Both programs get their own complete folder.
    EXPECT_TRUE(a.count("gl/maps/maplist.dat"));
    EXPECT_TRUE(a.count("glide/maps/maplist.dat"));
    fs::remove_all(first);
    fs::remove_all(second);
}

// Each program's window icon is the generator's icon: the first level's marble
// opaque in the middle, in that marble's strongest colour, and clear corners.
TEST(Generator, WindowIconsShowEachProgramsMarble)
{
    const struct {
        const unsigned char* pixels;
        LevelDesign level;
    } icons[] = {{kWindowIconGl, glLevelDesigns().front()}, {kWindowIconGlide, glideLevelDesigns().front()}};
    const int side = kWindowIconSize;
    for (const auto& icon : icons) {
        SCOPED_TRACE(icon.level.title);
        EXPECT_EQ(std::vector<uint8_t>(icon.pixels, icon.pixels + side * side * 4), makeIcon(icon.level, side));
        EXPECT_EQ(icon.pixels[3], 0);
        EXPECT_EQ(icon.pixels[side * side * 4 - 1], 0);
        const unsigned char* middle = icon.pixels + (side / 2 * side + side / 2) * 4;
        EXPECT_EQ(middle[3], 255);
        const uint32_t c = icon.level.marbleColour;
        const std::array<int, 3> marble = {int(c >> 16 & 255), int(c >> 8 & 255), int(c & 255)};
        EXPECT_EQ(std::max_element(middle, middle + 3) - middle,
                  std::max_element(marble.begin(), marble.end()) - marble.begin());
    }
}
