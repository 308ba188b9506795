#include "records/best_times_fixture.h"

#include "files/save_file.h"
#include "files/whole_file.h"
#include "shell/settings.h"

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

namespace {

// Saving the best-times table, and our own files beside it.
class SaveFileTest : public BestTimesTest {};

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

TEST_F(SaveFileTest, FailedOrInterruptedSaveLeavesThePreviousTable)
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

TEST_F(SaveFileTest, SavesThroughALinkAndInPlaceInAReadOnlyFolder)
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
        std::filesystem::permissions("shared", std::filesystem::perms::owner_write,
                                     std::filesystem::perm_options::remove);
        EXPECT_TRUE(bestTimes.save());
        std::filesystem::permissions("shared", std::filesystem::perms::owner_write,
                                     std::filesystem::perm_options::add);
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

TEST_F(SaveFileTest, WhatExistsStaysThePlayers)
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

TEST_F(SaveFileTest, TheTemporaryFileIsOurOwn)
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

TEST_F(SaveFileTest, OurOwnFilesAreNeverWrittenThroughWhatIsPlantedInThePlayersFolder)
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

TEST_F(SaveFileTest, ASaveRemovesWhatKilledSavesOfTheSameFileLeftAndNothingElse)
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
    EXPECT_EQ(filesHere(),
              (std::vector<std::string>{".highScore.dat..tmp", ".highScore.dat.1234567890.tmp",
                                        ".highScore.dat.12a.tmp", ".highScore.dat.6.tmp", ".highScore.dat.8.tmp",
                                        ".highScore.dat.9.tmp", ".other.dat.5.tmp", "highScore.dat",
                                        "highScore.dat.5.tmp", "misc"}));
    EXPECT_TRUE(std::filesystem::exists("misc/.highScore.dat.5.tmp"));
}

} // namespace
