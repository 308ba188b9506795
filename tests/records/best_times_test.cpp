#include "game_fixture.h"
#include "temp_workdir.h"

#include "files/save_file.h"
#include "files/whole_file.h"
#include "game/options.h"
#include "levels/level_list.h"
#include "records/best_times.h"
#include "shell/settings.h"

#include <algorithm>
#include <cmath>
#include <csignal>
#include <filesystem>
#include <limits>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

namespace {

class BestTimesTest : public GameTest {
protected:
    void SetUp() override { prepare(Edition::Gl); }
    void prepare(Edition which)
    {
        startFresh(which);
        resetOptions();
        levelCount = 3;
        bestTimes = BestTimes();
        newEntryRow = -1;
    }
    static std::string rowsText(const char* time, const char* name)
    {
        std::string text;
        for (int i = 0; i < 10; ++i)
            text += std::string(time) + " " + name + " ";
        return text;
    }
    // The names in the working folder, sorted.
    static std::vector<std::string> filesHere()
    {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator("."))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    TempWorkdir dir;
};

// Permissions bind only a user without root's privileges: run as root, the
// test becomes the user "nobody" for a while, in a working folder given to it.
class PlainUser {
public:
    PlainUser()
    {
        if (::geteuid() != 0)
            return;
        for (const auto& entry : std::filesystem::recursive_directory_iterator("."))
            EXPECT_EQ(::lchown(entry.path().c_str(), kNobody, kNobody), 0);
        EXPECT_EQ(::chown(".", kNobody, kNobody), 0);
        switched_ = ::setegid(kNobody) == 0 && ::seteuid(kNobody) == 0;
        EXPECT_TRUE(switched_);
    }
    ~PlainUser()
    {
        if (switched_) {
            EXPECT_TRUE(::seteuid(0) == 0 && ::setegid(0) == 0);
        }
    }

private:
    static constexpr uid_t kNobody = 65534;
    bool switched_ = false;
};

// Files may not grow past the limit: writes beyond it fail as on a full disk.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        ::getrlimit(RLIMIT_FSIZE, &previous_);
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{bytes, previous_.rlim_max};
        EXPECT_EQ(::setrlimit(RLIMIT_FSIZE, &limit), 0);
    }
    ~FileSizeLimit() { lift(); }
    void lift() { ::setrlimit(RLIMIT_FSIZE, &previous_); }

private:
    rlimit previous_{};
};

TEST_F(BestTimesTest, MissingFileGivesDefaultsWithANoticeOnlyInGl)
{
    bestTimes.load();
    EXPECT_EQ(scripted.messages, std::vector<std::string>{"Notice: Creating new highScores file"});
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(bestTimes.rows[i].time, 135.0f);
        EXPECT_EQ(bestTimes.rows[i].name, "aaa");
    }
    EXPECT_FALSE(std::filesystem::exists("highScore.dat")); // created by the first save only
    EXPECT_TRUE(bestTimes.save());
    std::string saved = TempWorkdir::read("highScore.dat");
    EXPECT_EQ(saved, rowsText("135", "aaa"));
    EXPECT_EQ(saved.size(), 80u);

    prepare(Edition::Glide);
    bestTimes.load();
    EXPECT_TRUE(scripted.messages.empty());
    EXPECT_EQ(bestTimes.rows[9].name, "___");

    // A FIFO in the file's place counts as missing and is never waited on.
    prepare(Edition::Gl);
    std::filesystem::remove("highScore.dat");
    ASSERT_EQ(mkfifo("highScore.dat", 0600), 0);
    bestTimes.load();
    EXPECT_EQ(scripted.messages, std::vector<std::string>{"Notice: Creating new highScores file"});
    EXPECT_EQ(bestTimes.rows[0].name, "aaa");
}

TEST_F(BestTimesTest, AnyBrokenItemResetsTheWholeTable)
{
    std::string text = "10 AAA 20 BBB 30 CCC 40 DDD xx EEE 60 FFF 70 GGG 80 HHH 90 III 100 JJJ ";
    TempWorkdir::write("highScore.dat", text);
    bestTimes.load();
    EXPECT_EQ(scripted.messages.size(), 1u);
    EXPECT_EQ(bestTimes.rows[0].time, 135.0f);
    EXPECT_EQ(bestTimes.rows[0].name, "aaa");

    // A name too long for its 255-character row is refused, not truncated.
    scripted.messages.clear();
    TempWorkdir::write("highScore.dat", "10 " + std::string(300, 'N') + " " + rowsText("1", "x"));
    bestTimes.load();
    EXPECT_EQ(scripted.messages.size(), 1u);
    EXPECT_EQ(bestTimes.rows[0].name, "aaa");

    // Too few rows, and numbers cut short, fall back the same way.
    for (const char* broken : {"10 AAA 20 BBB", "1e AAA 20 BBB 30 C 40 D 50 E 60 F 70 G 80 H 90 I 100 J",
                               "0x AAA 20 BBB 30 C 40 D 50 E 60 F 70 G 80 H 90 I 100 J", "infin A", "nan A"}) {
        bestTimes.rows[0].name = "zzz";
        TempWorkdir::write("highScore.dat", broken);
        bestTimes.load();
        EXPECT_EQ(bestTimes.rows[0].name, "aaa") << broken;
    }
}

TEST_F(BestTimesTest, NumbersAreReadAsCReadsThemAndNoNumberRanksLast)
{
    // Hexadecimal, a number running into its name, values past either end of
    // the float range; "inf", "nan" and 1e39 are times of no real game.
    TempWorkdir::write("highScore.dat", "0x1p4 A 1e39 B 20.5C 1e-50 D NaN E -inf F 30 G Infinity H 1e-40 I 40 J ");
    bestTimes.load();
    EXPECT_TRUE(scripted.messages.empty());
    const std::pair<float, const char*> expected[] = {{16.0f, "A"}, {20.5f, "C"}, {0.0f, "D"}, {30.0f, "G"},
                                                      {1e-40f, "I"}, {40.0f, "J"}};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(bestTimes.rows[i].time, expected[i].first) << i;
        EXPECT_EQ(bestTimes.rows[i].name, expected[i].second) << i;
    }
    for (int i = 6; i < 10; ++i)
        EXPECT_EQ(bestTimes.rows[i].time, std::numeric_limits<float>::infinity()) << i;
    EXPECT_EQ(bestTimes.rows[9].name, "H");

    // A real game ranks above them, and the table reads back as it was saved.
    EXPECT_EQ(bestTimes.recordGame(1000.0f), 6);
    ASSERT_TRUE(bestTimes.save());
    std::string saved = TempWorkdir::read("highScore.dat");
    EXPECT_EQ(saved.substr(saved.size() - 25), "1000 _ inf B inf E inf F ");
    bestTimes = BestTimes();
    bestTimes.load();
    EXPECT_TRUE(scripted.messages.empty());
    EXPECT_EQ(bestTimes.rows[6].time, 1000.0f);
    EXPECT_EQ(bestTimes.rows[7].name, "B");
    EXPECT_TRUE(std::isinf(bestTimes.rows[9].time));
}

TEST_F(BestTimesTest, TimesRoundTripWithSixSignificantDigits)
{
    bestTimes.setDefaults();
    bestTimes.rows[0].time = 37.25f;
    bestTimes.rows[1].time = 123.456789f;
    bestTimes.rows[2].time = 135.0f;
    bestTimes.rows[0].name = "ABC";
    ASSERT_TRUE(bestTimes.save());
    std::string saved = TempWorkdir::read("highScore.dat");
    EXPECT_EQ(saved.substr(0, 32), "37.25 ABC 123.457 aaa 135 aaa 13");

    bestTimes = BestTimes();
    bestTimes.load();
    EXPECT_TRUE(scripted.messages.empty());
    EXPECT_EQ(bestTimes.rows[0].time, 37.25f);
    EXPECT_EQ(bestTimes.rows[0].name, "ABC");
    EXPECT_EQ(bestTimes.rows[1].time, 123.457f);
    EXPECT_EQ(formatBestTime(1234567.0f), "1.23457e+06");
}

TEST_F(BestTimesTest, GlideKeepsItsOptionsAfterTheTable)
{
    prepare(Edition::Glide);
    std::filesystem::create_directory("misc");
    bestTimes.setDefaults();
    showStatistics = true;
    fogOn = false;
    cameraLag = 3.0f;
    joystickControl = true;
    ASSERT_TRUE(bestTimes.save());
    EXPECT_EQ(TempWorkdir::read("misc/highScore.dat").substr(80), "1 0 1 0 0 1 3");

    resetOptions();
    bestTimes.load();
    EXPECT_TRUE(showStatistics);
    EXPECT_FALSE(fogOn);
    EXPECT_TRUE(musicOn);
    EXPECT_TRUE(joystickControl);
    EXPECT_EQ(cameraLag, 3.0f);

    // A table without options fails at the first option: defaults, but the
    // rows read before are overwritten too.
    TempWorkdir::write("misc/highScore.dat", rowsText("99", "ZZZ"));
    bestTimes.load();
    EXPECT_EQ(bestTimes.rows[0].name, "___");
    EXPECT_EQ(bestTimes.rows[0].time, 135.0f);

    // An option value past what the menu can set is brought back in range.
    TempWorkdir::write("misc/highScore.dat", rowsText("99", "ZZZ") + "2 0 1 0 1 0 250");
    bestTimes.load();
    EXPECT_TRUE(showStatistics);
    EXPECT_EQ(cameraLag, 9.0f);
    // Far beyond any whole number too (found by the fuzzer), either way.
    TempWorkdir::write("misc/highScore.dat", rowsText("99", "ZZZ") + "2 0 1 0 1 0 1e30");
    bestTimes.load();
    EXPECT_EQ(cameraLag, 9.0f);
    TempWorkdir::write("misc/highScore.dat", rowsText("99", "ZZZ") + "2 0 1 0 1 0 -1e30");
    bestTimes.load();
    EXPECT_EQ(cameraLag, 0.0f);
}

TEST_F(BestTimesTest, RecordingSortsTheGameInAndMarksItsRow)
{
    bestTimes.setDefaults();
    EXPECT_EQ(bestTimes.recordGame(120.5f), 0);
    EXPECT_EQ(newEntryRow, 0);
    EXPECT_EQ(bestTimes.rows[0].name, "_");
    EXPECT_EQ(bestTimes.rows[1].time, 135.0f);
    EXPECT_EQ(bestTimes.rows[10].time, 135.0f); // the tenth default dropped out

    bestTimes.rows[0].name = "ABC";
    EXPECT_EQ(bestTimes.recordGame(130.0f), 1);
    bestTimes.rows[1].name = "DEF";

    // Slower than every row: nothing changes but the spare row.
    EXPECT_EQ(bestTimes.recordGame(500.0f), -1);
    EXPECT_EQ(newEntryRow, -1);
    EXPECT_EQ(bestTimes.rows[0].name, "ABC");
    EXPECT_EQ(bestTimes.rows[10].time, 500.0f);

    // A tie with an existing row ranks below it.
    EXPECT_EQ(bestTimes.recordGame(130.0f), 2);
    EXPECT_EQ(compareRows(bestTimes.rows[1], bestTimes.rows[2]), -1);
    EXPECT_EQ(compareRows(bestTimes.rows[2], bestTimes.rows[1]), -1);
}

TEST_F(BestTimesTest, FailedOrInterruptedSaveLeavesThePreviousTable)
{
    bestTimes.setDefaults();
    bestTimes.rows[0].name = "OLD";
    ASSERT_TRUE(bestTimes.save());
    std::string before = TempWorkdir::read("highScore.dat");

    // A crash after writing the new file but before replacing the old one
    // leaves a partial file beside it: the table read back is the old one.
    TempWorkdir::write("highScore.dat.new", "12 NEW 13");
    bestTimes.rows[0].name = "NEW";
    ASSERT_TRUE(bestTimes.save());
    EXPECT_EQ(TempWorkdir::read("highScore.dat").substr(0, 8), "135 NEW ");

    // A full disk (here: a file size limit) fails the new file and the
    // rewrite in place alike: the old table stays whole, and the player is told.
    FileSizeLimit full(40);
    bestTimes.rows[0].name = "BAD";
    EXPECT_FALSE(bestTimes.save());
    full.lift();
    EXPECT_EQ(TempWorkdir::read("highScore.dat").substr(0, 8), "135 NEW ");
    EXPECT_EQ(TempWorkdir::read("highScore.dat").size(), before.size());
    EXPECT_EQ(scripted.messages, std::vector<std::string>{"Error: could not save highScore.dat: File too large"});
    EXPECT_EQ(filesHere(), (std::vector<std::string>{"highScore.dat", "highScore.dat.new"}));
}

TEST_F(BestTimesTest, SavesThroughALinkAndInPlaceInAReadOnlyFolder)
{
    // A link is written through: the file it names gets the table.
    std::string reason;
    std::filesystem::create_directory("shared");
    TempWorkdir::write("shared/times.dat", rowsText("99", "ZZZ"));
    std::filesystem::create_symlink("shared/times.dat", "highScore.dat");
    bestTimes.load();
    bestTimes.rows[0].name = "NEW";
    ASSERT_TRUE(bestTimes.save());
    EXPECT_TRUE(std::filesystem::is_symlink("highScore.dat"));
    EXPECT_EQ(TempWorkdir::read("shared/times.dat").substr(0, 7), "99 NEW ");
    // A link to a table not made yet makes it.
    std::filesystem::create_symlink("made-later.dat", "later.dat");
    EXPECT_TRUE(saveFile("later.dat", "1 A", reason));
    EXPECT_EQ(TempWorkdir::read("made-later.dat"), "1 A");

    // A writable table in a folder the player may not write to (a shared
    // table): rewritten in place, shorter than before, nothing left beside it.
    bestTimes.rows[0].time = 1.0f;
    {
        PlainUser user;
        std::filesystem::permissions("shared", std::filesystem::perms::owner_write, std::filesystem::perm_options::remove);
        EXPECT_TRUE(bestTimes.save());
        std::filesystem::permissions("shared", std::filesystem::perms::owner_write, std::filesystem::perm_options::add);
    }
    EXPECT_EQ(TempWorkdir::read("shared/times.dat"), "1 NEW " + rowsText("99", "ZZZ").substr(7));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator("shared"), {}), 1);

    // No file and no way to make one: the save says so.
    std::filesystem::remove("highScore.dat");
    {
        PlainUser user;
        std::filesystem::permissions(".", std::filesystem::perms::owner_write, std::filesystem::perm_options::remove);
        EXPECT_FALSE(bestTimes.save());
        std::filesystem::permissions(".", std::filesystem::perms::owner_write, std::filesystem::perm_options::add);
    }
    EXPECT_EQ(scripted.messages, std::vector<std::string>{"Error: could not save highScore.dat: Permission denied"});
}

TEST_F(BestTimesTest, WhatExistsStaysThePlayers)
{
    using std::filesystem::perms;
    // A table that cannot be read is no missing table: the save leaves it alone.
    TempWorkdir::write("highScore.dat", rowsText("99", "ZZZ"));
    {
        PlainUser user;
        std::filesystem::permissions("highScore.dat", perms::none);
        bestTimes.load();
        EXPECT_EQ(bestTimes.rows[0].name, "aaa");
        EXPECT_FALSE(bestTimes.save());
        std::filesystem::permissions("highScore.dat", perms::owner_read | perms::owner_write);
    }
    EXPECT_EQ(TempWorkdir::read("highScore.dat"), rowsText("99", "ZZZ"));

    // A read-only table stays read-only and as it was.
    std::filesystem::permissions("highScore.dat", perms::owner_read | perms::group_read | perms::others_read);
    bestTimes.load();
    EXPECT_FALSE(bestTimes.save());
    EXPECT_EQ(TempWorkdir::read("highScore.dat"), rowsText("99", "ZZZ"));
    EXPECT_EQ(std::filesystem::status("highScore.dat").permissions(),
              perms::owner_read | perms::group_read | perms::others_read);
    EXPECT_EQ(scripted.messages.size(), 3u);
    EXPECT_EQ(scripted.messages[2], "Error: could not save highScore.dat: it is read-only");

    // A damaged table is reset, as always, but kept once as ".bad" before
    // the first save replaces it.
    std::filesystem::remove("highScore.dat");
    std::string damaged = "10 AAA 20 BBB xx";
    TempWorkdir::write("highScore.dat", damaged);
    bestTimes.load();
    ::testing::internal::CaptureStderr();
    ASSERT_TRUE(bestTimes.save());
    EXPECT_NE(::testing::internal::GetCapturedStderr().find("highScore.dat.bad"), std::string::npos);
    EXPECT_EQ(TempWorkdir::read("highScore.dat.bad"), damaged);
    EXPECT_EQ(TempWorkdir::read("highScore.dat"), rowsText("135", "aaa"));
    bestTimes.rows[0].name = "NEW";
    ASSERT_TRUE(bestTimes.save());
    EXPECT_EQ(TempWorkdir::read("highScore.dat.bad"), damaged);
}

TEST_F(BestTimesTest, TheTemporaryFileIsOurOwn)
{
    // Links planted where a temporary file might go are never followed, and
    // nothing but the table is left in the folder.
    TempWorkdir::write("victim.dat", "keep");
    for (const char* name : {"highScore.dat.new", ".highScore.dat.tmp", "highScore.dat.tmp"})
        std::filesystem::create_symlink("victim.dat", name);
    bestTimes.setDefaults();
    ASSERT_TRUE(bestTimes.save());
    ASSERT_TRUE(bestTimes.save());
    EXPECT_EQ(TempWorkdir::read("victim.dat"), "keep");
    EXPECT_FALSE(std::filesystem::is_symlink("highScore.dat"));
    EXPECT_EQ(filesHere(), (std::vector<std::string>{".highScore.dat.tmp", "highScore.dat", "highScore.dat.new",
                                                     "highScore.dat.tmp", "victim.dat"}));
}

TEST_F(BestTimesTest, OurOwnFilesAreNeverWrittenThroughWhatIsPlantedInThePlayersFolder)
{
    bestTimes.setDefaults();
    ASSERT_TRUE(bestTimes.save());
    const std::string table = TempWorkdir::read("highScore.dat");
    const std::string lastRun = "replays/maps_level1.map-last.orbreplay";
    std::filesystem::create_directory("replays");
    std::filesystem::create_symlink("../highScore.dat", lastRun);
    std::filesystem::create_symlink("highScore.dat", kSettingsFile);
    ASSERT_EQ(::mkfifo("replays/maps_level2.map-last.orbreplay", 0600), 0);
    std::string reason;
    EXPECT_FALSE(writeOwnFile(lastRun, "ORBREPLY", reason));
    EXPECT_EQ(reason, lastRun + ": it is a symbolic link, and our own files are never written through one");
    EXPECT_FALSE(writeOwnFile("replays/maps_level2.map-last.orbreplay", "ORBREPLY", reason));
    EXPECT_EQ(reason, "replays/maps_level2.map-last.orbreplay: it is not a regular file");
    EXPECT_FALSE(saveSettings(reason));
    EXPECT_TRUE(std::filesystem::is_symlink(lastRun));

    // A folder on the way that leads out of the player's folder.
    TempDir elsewhere;
    std::filesystem::remove_all("replays");
    std::filesystem::create_symlink(elsewhere.root(), "replays");
    EXPECT_FALSE(writeOwnFile(lastRun, "ORBREPLY", reason));
    EXPECT_NE(reason.find("its folder leads outside the player's folder"), std::string::npos) << reason;
    EXPECT_TRUE(std::filesystem::is_empty(elsewhere.root()));
    EXPECT_EQ(TempWorkdir::read("highScore.dat"), table);

    // Where nothing is planted, they are written, new folder and all.
    std::filesystem::remove("replays");
    std::filesystem::remove(kSettingsFile);
    EXPECT_TRUE(writeOwnFile(lastRun, "ORBREPLY", reason)) << reason;
    EXPECT_TRUE(saveSettings(reason)) << reason;
    EXPECT_EQ(TempWorkdir::read(lastRun), "ORBREPLY");
}

TEST_F(BestTimesTest, ASaveRemovesWhatKilledSavesOfTheSameFileLeftAndNothingElse)
{
    auto plant = [](const std::string& name, int secondsOld) {
        TempWorkdir::write(name, "half a table");
        timeval times[2];
        ::gettimeofday(&times[0], nullptr);
        times[0].tv_sec -= secondsOld;
        times[1] = times[0];
        ::utimes(name.c_str(), times);
    };
    // Left by saves killed before their rename, an hour and two minutes ago.
    plant(".highScore.dat.123456789.tmp", 3600);
    plant(".highScore.dat.7.tmp", 120);
    // Not ours to remove: a save running now, other names, other folders,
    // and what is not a regular file.
    plant(".highScore.dat.8.tmp", 0);
    for (const char* name : {".highScore.dat.12a.tmp", ".highScore.dat.1234567890.tmp", ".highScore.dat..tmp",
                             ".other.dat.5.tmp", "highScore.dat.5.tmp", "misc/.highScore.dat.5.tmp"})
        plant(name, 3600);
    std::filesystem::create_directory(".highScore.dat.9.tmp");
    std::filesystem::create_symlink("highScore.dat.5.tmp", ".highScore.dat.6.tmp");
    bestTimes.setDefaults();
    ASSERT_TRUE(bestTimes.save());
    EXPECT_EQ(filesHere(), (std::vector<std::string>{".highScore.dat..tmp", ".highScore.dat.1234567890.tmp",
                                                     ".highScore.dat.12a.tmp", ".highScore.dat.6.tmp",
                                                     ".highScore.dat.8.tmp", ".highScore.dat.9.tmp",
                                                     ".other.dat.5.tmp", "highScore.dat", "highScore.dat.5.tmp",
                                                     "misc"}));
    EXPECT_TRUE(std::filesystem::exists("misc/.highScore.dat.5.tmp"));
}

} // namespace
