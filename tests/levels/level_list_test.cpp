#include "levels/level_list.h"
#include "records/best_times.h"
#include "scripted_platform.h"
#include "game/edition.h"
#include "files/data_file.h"
#include "files/data_paths.h"
#include "files/game_folders.h"
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

namespace {

// Where the data and the player's files live: in place inside a data folder,
// else the asked-for or installed data and the player's own folder.
TEST(GameFoldersTest, DataFolderSearchAndThePlayersOwnFolder)
{
    TempWorkdir start;
    std::string root = std::filesystem::current_path().string();
    TempWorkdir::write("data/glide/maps/maplist.dat", "list");
    TempWorkdir::write("data/glide/sounds/go.wav", "wave");
    TempWorkdir::write("elsewhere/.keep", "");
    GameFolders where{"glide", "", root + "/data", root + "/xdg", root + "/home"};
    std::string messages;

    // Inside a complete data folder nothing moves and nothing is searched.
    std::filesystem::current_path(root + "/data/glide");
    settleGameFolders(where, messages);
    EXPECT_EQ(messages, "");
    EXPECT_EQ(std::filesystem::current_path(), root + "/data/glide");
    EXPECT_TRUE(dataFolders().empty());

    // Anywhere else: the installed data, read from the player's folder, which
    // is made (with orbivale-glide's misc/) and becomes the working folder.
    std::filesystem::current_path(root + "/elsewhere");
    settleGameFolders(where, messages);
    EXPECT_EQ(messages, "");
    EXPECT_EQ(std::filesystem::current_path(), root + "/xdg/orbivale/glide");
    EXPECT_TRUE(std::filesystem::is_directory("misc"));
    EXPECT_EQ(savingRefusedReason(), "");
    EXPECT_EQ(dataFilePath("maps/maplist.dat"), root + "/data/glide/maps/maplist.dat");
    EXPECT_EQ(dataFilePath("maps/level9.map"), "maps/level9.map");
    // The working folder comes first; a folder by a file's name is passed over.
    TempWorkdir::write("sounds/go.wav", "mine");
    std::filesystem::create_directories("maps/maplist.dat");
    EXPECT_EQ(dataFilePath("sounds/go.wav"), "sounds/go.wav");
    EXPECT_EQ(dataFilePath("maps/maplist.dat"), root + "/data/glide/maps/maplist.dat");
    // Every reader goes through the search path; the player's own table is
    // read from the player's folder only.
    std::string bytes;
    EXPECT_TRUE(readDataFile("maps/maplist.dat", 100, bytes));
    EXPECT_EQ(bytes, "list");
    EXPECT_TRUE(readDataFile("sounds/go.wav", 100, bytes));
    EXPECT_EQ(bytes, "mine");
    TempWorkdir::write(root + "/data/glide/misc/highScore.dat", "not the player's");
    EXPECT_FALSE(readOwnFile("misc/highScore.dat", 100, bytes));

    // A data folder asked for wins even inside another one; an empty one is named.
    std::filesystem::current_path(root + "/data/glide");
    where.askedData = "../../elsewhere";
    settleGameFolders(where, messages);
    EXPECT_EQ(messages,
              "Orbivale: no game data in " + root + "/data/glide/../../elsewhere (searched for maps/maplist.dat)\n");

    // No folder for the player's files: said once, played without saving.
    TempWorkdir::write(root + "/blocked", "a file where a folder should be");
    where = GameFolders{"gl", "", root + "/data", root + "/blocked", root + "/home"};
    TempWorkdir::write(root + "/data/gl/maps/maplist.dat", "list");
    std::filesystem::current_path(root + "/elsewhere");
    messages.clear();
    settleGameFolders(where, messages);
    EXPECT_NE(messages.find("Orbivale: cannot keep your files (" + root + "/blocked/orbivale: "), std::string::npos)
        << messages;
    EXPECT_NE(savingRefusedReason(), "");
    EXPECT_EQ(std::filesystem::current_path(), root + "/data/gl");
    EXPECT_FALSE(std::filesystem::exists(root + "/elsewhere/highScore.dat"));
    // Quit then says the table cannot be saved, and writes nothing.
    ScriptedPlatform scripted;
    platform = &scripted;
    bestTimes.setDefaults();
    EXPECT_FALSE(bestTimes.save());
    ASSERT_EQ(scripted.messages.size(), 1u);
    EXPECT_EQ(scripted.messages[0].rfind("Error: could not save highScore.dat: ", 0), 0u);
    EXPECT_FALSE(std::filesystem::exists("highScore.dat"));
    platform = nullptr;

    // XDG_DATA_HOME must be absolute to count; without it, HOME's default.
    EXPECT_EQ(playerFolder(GameFolders{"gl", "", "", "relative", "/home/p"}), "/home/p/.local/share/orbivale/gl");
    EXPECT_EQ(playerFolder(GameFolders{"gl", "", "", "", ""}), "");
    setDataFolders({});
    setSavingRefused("");
}

} // namespace
