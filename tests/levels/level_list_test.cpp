#include "levels/level_list.h"
#include "scripted_platform.h"
#include "game/edition.h"
#include "temp_dir.h"
#include "temp_workdir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

// Runs in a fresh working directory, where the list is "maps/maplist.dat".
class LevelListTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        previousDir = std::filesystem::current_path();
        std::filesystem::current_path(dir.root());
        platform = &scripted;
        edition = Edition::Gl;
        levelCount = 0;
        levelNames.clear();
        levelTimes.clear();
    }
    void TearDown() override
    {
        std::filesystem::current_path(previousDir);
        platform = nullptr;
        edition = Edition::Gl;
    }
    void writeList(const std::string& text) { dir.write("maps/maplist.dat", text); }
    // Loads in the given edition and returns the messages it showed.
    std::vector<std::string> loadAs(Edition which, bool expected)
    {
        edition = which;
        scripted.messages.clear();
        EXPECT_EQ(loadLevelList(), expected);
        return scripted.messages;
    }

    TempDir dir;
    std::filesystem::path previousDir;
    ScriptedPlatform scripted;
};

TEST_F(LevelListTest, ListEndingAtItsLastNameLoads)
{
    writeList("2\nmaps/a.map\nmaps/b.map");
    EXPECT_TRUE(loadAs(Edition::Gl, true).empty());
    EXPECT_EQ(levelCount, 2);
    EXPECT_EQ(levelNames, (std::vector<std::string>{"maps/a.map", "maps/b.map"}));
    EXPECT_EQ(levelTimes, (std::vector<float>{45.0f, 45.0f}));

    writeList("0x3 one two\tthree");
    EXPECT_TRUE(loadAs(Edition::Glide, true).empty());
    EXPECT_EQ(levelNames[2], "three");
    EXPECT_EQ(levelTimes, (std::vector<float>{46.0f, 46.0f, 46.0f}));
    EXPECT_EQ(unplayedTime(), 46.0f);
    edition = Edition::Gl;
    EXPECT_EQ(unplayedTime(), 45.0f);
}

TEST_F(LevelListTest, AnythingAfterTheLastNameFails)
{
    using Messages = std::vector<std::string>;
    for (const char* tail : {"\n", " ", " extra"}) {
        writeList(std::string("2\na\nb") + tail);
        EXPECT_TRUE(loadAs(Edition::Gl, false).empty());
        writeList(std::string("3\na\nb\nc") + tail);
        EXPECT_EQ(loadAs(Edition::Glide, false), Messages{"Error: Not end of file"});
    }
    // A failed list keeps nothing of itself.
    EXPECT_EQ(levelCount, 0);
    EXPECT_TRUE(levelNames.empty());
}

TEST_F(LevelListTest, BadCountsMissingNamesAndMissingFile)
{
    using Messages = std::vector<std::string>;
    EXPECT_TRUE(loadAs(Edition::Gl, false).empty());
    EXPECT_EQ(loadAs(Edition::Glide, false), Messages{"Error: Could not find file"});
    // A folder of that name is no list either.
    std::filesystem::create_directories("maps/maplist.dat");
    EXPECT_TRUE(loadAs(Edition::Gl, false).empty());
    EXPECT_EQ(loadAs(Edition::Glide, false), Messages{"Error: Could not find file"});
    std::filesystem::remove("maps/maplist.dat");
    std::filesystem::create_symlink("/dev/zero", "maps/maplist.dat");
    EXPECT_EQ(loadAs(Edition::Glide, false), Messages{"Error: Could not find file"});
    std::filesystem::remove("maps/maplist.dat");

    for (const char* list : {"0", "-1 a", "three a b c", "", "4 a b c d"}) {
        writeList(list);
        EXPECT_EQ(loadAs(Edition::Glide, false), Messages{"Error: file is corrupt"}) << list;
    }
    for (const char* list : {"0", "-1 a", "three a b c", ""}) {
        writeList(list);
        EXPECT_TRUE(loadAs(Edition::Gl, false).empty()) << list;
    }
    writeList("4 a b c d");
    EXPECT_TRUE(loadAs(Edition::Gl, true).empty());

    // Too few names, and a name longer than 255 characters: no message of its own.
    writeList("3 a b");
    EXPECT_TRUE(loadAs(Edition::Gl, false).empty());
    EXPECT_TRUE(loadAs(Edition::Glide, false).empty());
    writeList("3 a b " + std::string(256, 'n'));
    EXPECT_TRUE(loadAs(Edition::Gl, false).empty());
    EXPECT_TRUE(loadAs(Edition::Glide, false).empty());
    writeList("3 a b " + std::string(255, 'n'));
    EXPECT_TRUE(loadAs(Edition::Glide, true).empty());
    EXPECT_EQ(levelNames[2].size(), 255u);
}

} // namespace
