#include "records/best_times_fixture.h"

#include <cmath>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>

namespace {

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
    const std::pair<float, const char*> expected[] = {{16.0f, "A"}, {20.5f, "C"},  {0.0f, "D"},
                                                      {30.0f, "G"}, {1e-40f, "I"}, {40.0f, "J"}};
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

} // namespace
