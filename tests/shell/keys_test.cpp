#include "game_fixture.h"
#include "temp_workdir.h"

#include "game/game_state.h"
#include "game/joystick_menu.h"
#include "game/options.h"
#include "game/sound.h"
#include "levels/level_list.h"
#include "records/best_times.h"
#include "screens/menu.h"
#include "shell/event_loop.h"
#include "shell/keys.h"
#include "shell/level_flow.h"

#include <algorithm>
#include <filesystem>

namespace {

class KeysTest : public GameTest {
protected:
    // Presses a key and handles everything it posts, as the loop would
    // before the next frame; level events are left queued.
    void press(int key)
    {
        scripted.pressKey(key);
        while (!scripted.queue.empty() && scripted.queue.front().type != kEventLevel &&
               scripted.queue.front().type != kEventDestroy) {
            Event e = scripted.queue.front();
            scripted.queue.pop_front();
            handleEvent(e);
        }
    }
    void pressAll(std::initializer_list<int> keys)
    {
        for (int k : keys)
            press(k);
    }
    int menuSounds() const
    {
        return static_cast<int>(std::count(scripted.sounds.begin(), scripted.sounds.end(), "sounds/menu.wav"));
    }
    // Walks the cursor with Down from the top of the options page and
    // returns the numbers visited.
    std::vector<int> walk(int key, int steps)
    {
        std::vector<int> seen;
        for (int i = 0; i < steps; ++i) {
            press(key);
            seen.push_back(menuCursor);
        }
        return seen;
    }
};

TEST_F(KeysTest, MenuKeysAreSilentWhileTheMenuIsHiddenAndEscapeAlwaysSounds)
{
    pressAll({kKeyEnter, kKeyUp, kKeyDown, kKeyLeft, kKeyRight});
    EXPECT_EQ(menuSounds(), 0);
    EXPECT_FALSE(menuShown);
    EXPECT_EQ(menuCursor, 1);

    press(kKeyEscape);
    EXPECT_EQ(menuSounds(), 1);
    EXPECT_TRUE(menuShown);
    EXPECT_TRUE(paused);
    press(kKeyEscape);
    EXPECT_EQ(menuSounds(), 2);
    EXPECT_FALSE(menuShown);
    EXPECT_FALSE(paused);
}

TEST_F(KeysTest, GlMenuMovesWrapAndSkipFarSightWhileFogIsOn)
{
    press(kKeyEscape);
    EXPECT_EQ(walk(kKeyDown, 4), (std::vector<int>{2, 3, 4, 1}));
    EXPECT_EQ(walk(kKeyUp, 2), (std::vector<int>{4, 3}));
    press(kKeyEnter); // Options
    EXPECT_EQ(menuCursor, 5);
    EXPECT_EQ(walk(kKeyDown, 7), (std::vector<int>{6, 8, 9, 10, 11, 5, 6}));
    EXPECT_EQ(walk(kKeyUp, 3), (std::vector<int>{5, 11, 10}));
    press(kKeyF5); // fog off: Far Sight can be reached
    menuCursor = 6;
    EXPECT_EQ(walk(kKeyDown, 1), std::vector<int>{7});
    EXPECT_EQ(walk(kKeyUp, 1), std::vector<int>{6});

    // Escape on any options line goes back to the main page, menu open.
    menuCursor = 11;
    press(kKeyEscape);
    EXPECT_TRUE(menuShown);
    EXPECT_EQ(menuCursor, 1);
    menuCursor = 11;
    press(kKeyEnter); // Done
    EXPECT_EQ(menuCursor, 3);
}

TEST_F(KeysTest, GlideMenuNeverStopsOnHighscoreAndSkipsControlWithoutAJoystick)
{
    startFresh(Edition::Glide);
    press(kKeyEscape);
    EXPECT_EQ(walk(kKeyDown, 5), (std::vector<int>{2, 4, 5, 1, 2}));
    EXPECT_EQ(walk(kKeyUp, 3), (std::vector<int>{1, 5, 4}));
    menuCursor = 2;
    press(kKeyEnter);
    EXPECT_EQ(menuCursor, 6);
    EXPECT_EQ(walk(kKeyDown, 7), (std::vector<int>{7, 9, 10, 11, 13, 6, 7}));
    menuCursor = 13;
    EXPECT_EQ(walk(kKeyUp, 1), std::vector<int>{11});
    press(kKeyEnter); // Control without a joystick: nothing
    EXPECT_FALSE(joystickControl);

    joystickPresent = true;
    menuCursor = 11;
    EXPECT_EQ(walk(kKeyDown, 2), (std::vector<int>{12, 13}));
    EXPECT_EQ(walk(kKeyUp, 1), std::vector<int>{12});
    press(kKeyEnter);
    EXPECT_TRUE(joystickControl);
    menuCursor = 13;
    press(kKeyEnter); // Done returns to Options
    EXPECT_EQ(menuCursor, 2);
    EXPECT_TRUE(screenDirty);
}

TEST_F(KeysTest, OptionLinesActLikeTheirFunctionKeys)
{
    press(kKeyEscape);
    press(kKeyDown);
    press(kKeyDown);
    press(kKeyRight); // Right acts as Enter: Options
    ASSERT_EQ(menuCursor, 5);
    press(kKeyEnter);
    EXPECT_TRUE(showStatistics);
    press(kKeyDown);
    press(kKeyLeft); // Left acts as Enter except on Camera Lag: fog off
    EXPECT_FALSE(fogOn);
    ASSERT_EQ(recorder.of(RenderOp::SetFog).size(), 1u);
    EXPECT_FALSE(recorder.of(RenderOp::SetFog)[0].on);
    press(kKeyDown);
    press(kKeyEnter); // Far Sight, reachable now
    EXPECT_TRUE(farSight);
    press(kKeyF5); // fog back on turns Far Sight off
    EXPECT_TRUE(fogOn);
    EXPECT_FALSE(farSight);
    press(kKeyF4); // and F4 cannot turn it on while fog is on
    EXPECT_FALSE(farSight);
    press(kKeyF3);
    EXPECT_TRUE(normalView);

    menuCursor = 9;
    std::vector<float> lags;
    for (int i = 0; i < 5; ++i) {
        press(kKeyEnter);
        lags.push_back(cameraLag);
    }
    EXPECT_EQ(lags, (std::vector<float>{7, 8, 9, 0, 1}));
    lags.clear();
    for (int i = 0; i < 3; ++i) {
        press(kKeyLeft);
        lags.push_back(cameraLag);
    }
    EXPECT_EQ(lags, (std::vector<float>{0, 9, 8}));
}

TEST_F(KeysTest, MusicSwitchStartsMusicOnlyDuringPlay)
{
    press(kKeyF6);
    EXPECT_FALSE(musicOn);
    press(kKeyF6);
    EXPECT_TRUE(musicOn);
    EXPECT_TRUE(scripted.music.empty());

    gameState = GameState::Playing;
    press(kKeyF6);
    press(kKeyF6);
    EXPECT_EQ(scripted.music, std::vector<std::string>{"start sounds/midi1.mid"});
    EXPECT_TRUE(musicPlaying);
    press(kKeyF6);
    EXPECT_FALSE(musicPlaying);
    EXPECT_EQ(scripted.music.back(), "stop");
}

TEST_F(KeysTest, MenuActionsStartAGameShowTheTableAndQuit)
{
    TempWorkdir dir;
    levelCount = 2;
    levelTimes = {10.0f, 20.0f};
    musicPlaying = true;
    press(kKeyEscape);
    press(kKeyEnter); // NeW Game
    EXPECT_FALSE(menuShown);
    EXPECT_EQ(levelNumber, 0);
    EXPECT_EQ(scripted.countPosted(kEventLevel), 1);
    EXPECT_FALSE(musicPlaying);

    scripted.queue.clear();
    press(kKeyEscape);
    press(kKeyDown);
    press(kKeyEnter); // HIGHSCORE
    EXPECT_EQ(gameState, GameState::ScoreTable);
    EXPECT_FALSE(menuShown);
    EXPECT_EQ(levelTimes, (std::vector<float>{45.0f, 45.0f}));
    EXPECT_EQ(newEntryRow, -1);

    press(kKeySpace);
    EXPECT_EQ(gameState, GameState::Title);

    press(kKeyEscape);
    menuCursor = 4;
    press(kKeyEnter); // Quit: the table is saved, then the window goes
    EXPECT_EQ(scripted.queue.back().type, kEventDestroy);
    EXPECT_TRUE(std::filesystem::exists("highScore.dat"));
}

TEST_F(KeysTest, GlideQuitShowsTheClosingPictureAndAnyKeyThenEnds)
{
    startFresh(Edition::Glide);
    TempWorkdir dir;
    std::filesystem::create_directory("misc");
    press(kKeyEscape);
    menuCursor = 5;
    press(kKeyEnter);
    EXPECT_EQ(gameState, GameState::Closing);
    EXPECT_TRUE(std::filesystem::exists("misc/highScore.dat"));
    EXPECT_EQ(scripted.countPosted(kEventDestroy), 0);
    press('Q');
    EXPECT_EQ(scripted.countPosted(kEventDestroy), 1);

    // Credits close the menu and show their screen.
    startFresh(Edition::Glide);
    press(kKeyEscape);
    menuCursor = 4;
    press(kKeyEnter);
    EXPECT_EQ(gameState, GameState::Credits);
    EXPECT_FALSE(menuShown);
    press(kKeySpace);
    EXPECT_EQ(gameState, GameState::Title);
}

TEST_F(KeysTest, F1SkipsALevelInGlOnlyAndF12PausesOnlyWithoutTheMenu)
{
    press(kKeyF1);
    EXPECT_EQ(scripted.countPosted(kEventLevel), 0);
    gameState = GameState::Playing;
    press(kKeyF1);
    EXPECT_EQ(scripted.countPosted(kEventLevel), 1);
    scripted.queue.clear();
    press(kKeyF12);
    EXPECT_TRUE(paused);
    press(kKeyF12);
    EXPECT_FALSE(paused);
    press(kKeySpace); // no way out of a running level
    EXPECT_EQ(gameState, GameState::Playing);

    startFresh(Edition::Glide);
    gameState = GameState::Playing;
    press(kKeyF1);
    EXPECT_EQ(scripted.countPosted(kEventLevel), 0);
}

TEST_F(KeysTest, NameEntryTakesThreeLettersAndBeepsAtOtherKeys)
{
    levelCount = 3;
    bestTimes.setDefaults();
    bestTimes.recordGame(100.0f);
    gameState = GameState::NameEntry;
    nameCursor = 0;
    runNameEntryStep(); // no key yet
    EXPECT_EQ(bestTimes.rows[0].name, "_");

    press('1');
    runNameEntryStep();
    EXPECT_EQ(scripted.beeps, 1);
    EXPECT_EQ(bestTimes.rows[0].name, "_");

    press('A');
    runNameEntryStep();
    EXPECT_EQ(bestTimes.rows[0].name, "A_");
    press(kKeySpace); // Space neither types nor leaves
    runNameEntryStep();
    EXPECT_EQ(scripted.beeps, 2);
    press(kKeyF1); // its code is that of 'p', but it is no letter key
    runNameEntryStep();
    press(kKeyF2);
    runNameEntryStep();
    EXPECT_EQ(scripted.beeps, 4);
    EXPECT_EQ(bestTimes.rows[0].name, "A_");
    // A slow frame sees several keys: each is taken, in order, one a frame.
    press('X');
    press('C');
    press('Q');
    runNameEntryStep();
    EXPECT_EQ(bestTimes.rows[0].name, "AX_");
    EXPECT_EQ(gameState, GameState::NameEntry);
    runNameEntryStep();
    EXPECT_EQ(bestTimes.rows[0].name, "AXC");
    EXPECT_EQ(gameState, GameState::ScoreTable);
    EXPECT_EQ(nameCursor, 0);
    EXPECT_EQ(menuSounds(), 3);
}

} // namespace
