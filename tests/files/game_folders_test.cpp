#include "scripted_platform.h"
#include "temp_workdir.h"

#include "files/data_file.h"
#include "files/data_paths.h"
#include "files/game_folders.h"
#include "records/best_times.h"

#include <gtest/gtest.h>

#include <filesystem>

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
