#include "game_fixture.h"
#include "screen_text.h"

#include "bmp_writer.h"
#include "game/game_state.h"
#include "game/joystick_menu.h"
#include "game/options.h"
#include "game/sound.h"
#include "levels/level_list.h"
#include "levels/level_map.h"
#include "records/best_times.h"
#include "records/best_times_screen.h"
#include "render/frame_recording.h"
#include "screens/hud.h"
#include "screens/menu_screen.h"
#include "screens/pictures.h"
#include "shell/draw_frame.h"
#include "shell/event_loop.h"
#include "shell/keys.h"
#include "shell/level_flow.h"
#include "shell/program.h"
#include "shell/run_frame.h"
#include "sim/marble.h"
#include "sim/marble_control.h"
#include "sim/view_transform.h"

#include <cstring>

namespace {

class ScreensTest : public GameTest {
protected:
    void SetUp() override { prepare(Edition::Gl); }
    void prepare(Edition which)
    {
        startFresh(which);
        resetFrameState();
        font = Font();
        writeTestFontDescription("font.dat");
        recorder.fontTextureLoads = true;
        if (which == Edition::Glide) {
            ASSERT_TRUE(font.load("glyphs", "font.dat"));
        }
        if (which == Edition::Gl) {
            // The gl font needs its nine images; the test font draws the same.
            for (int level = 0; level < 9; ++level) {
                int side = 256 >> level;
                std::vector<uint8_t> bytes = makeBmp(side, side, solidRows(side, side, 255, 255, 255));
                TempWorkdir::write("glyphs_" + std::to_string(level) + ".bmp",
                                   std::string(bytes.begin(), bytes.end()));
            }
            ASSERT_TRUE(font.load("glyphs", "font.dat"));
        }
        levelCount = 3;
        levelTimes.assign(3, unplayedTime());
        bestTimes.setDefaults();
        recorder.calls.clear();
    }
    void writePicture(const char* file)
    {
        std::vector<uint8_t> bytes = makeBmp(640, 480, solidRows(640, 480, 10, 20, 30));
        TempWorkdir::write(file, std::string(bytes.begin(), bytes.end()));
    }
    TempWorkdir dir;
};

TEST_F(ScreensTest, BestTimesLayoutPutsLevelsSeparatorAndTotalOnThirteenPixelLines)
{
    levelTimes = {10.5f, 20.25f, 45.0f};
    bestTimes.recordGame(75.75f);
    drawBestTimes();
    std::vector<DrawnGlyph> glyphs = drawnGlyphs(recorder);
    std::vector<float> labelRows;
    for (size_t i = 0; i < glyphs.size(); ++i)
        if (glyphs[i].c == 'L' && glyphs[i].x == 0.0f)
            labelRows.push_back(glyphs[i].y);
    EXPECT_EQ(labelRows, (std::vector<float>{0.0f, 13.0f, 26.0f}));
    const DrawnGlyph* dashes = findText(glyphs, "------");
    ASSERT_NE(dashes, nullptr);
    EXPECT_EQ(dashes->x, 80.0f);
    EXPECT_EQ(dashes->y, 39.0f);
    const DrawnGlyph* total = findText(glyphs, "total");
    ASSERT_NE(total, nullptr);
    EXPECT_EQ(total->y, 52.0f);
    EXPECT_NE(findText(glyphs, "75.75"), nullptr);
    EXPECT_NE(findText(glyphs, "20.25"), nullptr);

    // The new row, and every row equal to this game's total, are red.
    const DrawnGlyph* newTime = nullptr;
    for (const DrawnGlyph& g : glyphs)
        if (g.x == 255.0f && g.y == 80.0f)
            newTime = &g;
    ASSERT_NE(newTime, nullptr);
    EXPECT_EQ(newTime->c, '7');
    EXPECT_EQ(newTime->colour.r, 1.0f);
    EXPECT_EQ(newTime->colour.g, 0.0f);
    const DrawnGlyph* footer = findText(glyphs, "press");
    ASSERT_NE(footer, nullptr);
    EXPECT_EQ(footer->y, 460.0f);
    EXPECT_EQ(footer->colour.b, 1.0f);
}

TEST_F(ScreensTest, GlideBestTimesShowUnfinishedLevelsAndDefaultRowsAsNA)
{
    prepare(Edition::Glide);
    levelTimes = {30.0f, 46.0f, 46.0f};
    drawBestTimes();
    std::vector<std::string> lines = drawnLines(recorder);
    int naCount = 0;
    for (const DrawnGlyph& g : drawnGlyphs(recorder))
        naCount += g.c == 'N';
    // Two levels, the total and ten default rows.
    EXPECT_EQ(naCount, 13);
    EXPECT_NE(findText(drawnGlyphs(recorder), "--------"), nullptr);
}

TEST_F(ScreensTest, MenuPagesHighlightTheCursorAndGreyWhatCannotBeChosen)
{
    menuCursor = 1;
    drawMenu();
    std::vector<DrawnGlyph> glyphs = drawnGlyphs(recorder);
    const DrawnGlyph* newGame = findText(glyphs, "NeWGame");
    ASSERT_NE(newGame, nullptr);
    EXPECT_EQ(newGame->x, 220.0f);
    EXPECT_EQ(newGame->y, 160.0f);
    EXPECT_EQ(newGame->colour.r, 1.0f);
    EXPECT_EQ(findText(glyphs, "Quit")->colour.b, 1.0f);
    EXPECT_EQ(findText(glyphs, "Quit")->colour.r, 0.0f);

    recorder.calls.clear();
    menuCursor = 9;
    cameraLag = 7.0f;
    drawMenu();
    glyphs = drawnGlyphs(recorder);
    EXPECT_EQ(findText(glyphs, "FarSight:OFF")->colour.r, 0.5f); // grey while fog is on
    EXPECT_NE(findText(glyphs, "CameraLag:7"), nullptr);
    EXPECT_EQ(findText(glyphs, "CameraLag:7")->colour.g, 1.0f);
    EXPECT_EQ(findText(glyphs, "Statistics:OFF")->x, 185.0f);

    prepare(Edition::Glide);
    menuCursor = 6;
    drawMenu();
    glyphs = drawnGlyphs(recorder);
    EXPECT_EQ(findText(glyphs, "Control:keyboard")->colour.r, 128.0f / 255.0f);
    recorder.calls.clear();
    menuCursor = 1;
    drawMenu();
    EXPECT_EQ(findText(drawnGlyphs(recorder), "HIGHSCORE")->colour.r, 128.0f / 255.0f);
}

TEST_F(ScreensTest, GlPictureScreensHoldTheGameAndReportAMissingPictureOnce)
{
    musicPlaying = true;
    paused = true;
    clockStopped = false;
    composeFrame();
    composeFrame();
    EXPECT_EQ(scripted.messages, std::vector<std::string>{"Error: could not load.bmp title"});
    EXPECT_FALSE(musicPlaying);
    EXPECT_FALSE(paused);
    EXPECT_TRUE(clockStopped);
    EXPECT_EQ(recorder.count(RenderOp::Present), 2);
    EXPECT_EQ(recorder.count(RenderOp::BlitPicture), 0);

    writePicture("graphics/title.bmp");
    writePicture("graphics/back.bmp");
    composeFrame();
    EXPECT_EQ(recorder.count(RenderOp::BlitPicture), 1);

    // The score table: picture, shade, table, then the menu over it.
    recorder.calls.clear();
    gameState = GameState::ScoreTable;
    menuShown = true;
    composeFrame();
    std::vector<RenderOp> ops = recorder.ops();
    ASSERT_GE(ops.size(), 4u);
    EXPECT_EQ(ops[0], RenderOp::BlitPicture);
    EXPECT_EQ(ops[1], RenderOp::OverlayQuad);
    EXPECT_EQ(recorder.count(RenderOp::OverlayQuad), 2);
    EXPECT_EQ(ops.back(), RenderOp::Present);
    EXPECT_EQ(recorder.of(RenderOp::OverlayQuad)[0].colour.a, 0.5f);

    // A smaller picture shows from the lower left corner on black; a larger one is refused.
    menuShown = false;
    gameState = GameState::Title;
    auto showTitle = [this](int width, int height) {
        std::vector<uint8_t> bytes = makeBmp(width, height, solidRows(width, height, 1, 2, 3));
        TempWorkdir::write("graphics/title.bmp", std::string(bytes.begin(), bytes.end()));
        resetPictures();
        recorder.calls.clear();
        scripted.messages.clear();
        composeFrame();
        std::vector<RenderCall> blits = recorder.of(RenderOp::BlitPicture);
        return blits.empty() ? std::vector<uint8_t>() : blits[0].pixels;
    };
    std::vector<uint8_t> pixels = showTitle(640, 479);
    ASSERT_EQ(pixels.size(), size_t(kPictureBytes));
    EXPECT_TRUE(scripted.messages.empty());
    EXPECT_EQ(pixels[(478 * 640 + 639) * 3], 3); // red of the top row read
    EXPECT_EQ(pixels[(479 * 640) * 3], 0);
    pixels = showTitle(3, 2);
    ASSERT_EQ(pixels.size(), size_t(kPictureBytes));
    for (int at : {0, 2 * 3, 640 * 3, 641 * 3 + 1})
        EXPECT_NE(pixels[at], 0) << at;
    for (int at : {3 * 3, 2 * 640 * 3, 639 * 3})
        EXPECT_EQ(pixels[at], 0) << at;
    for (auto [width, height] : {std::pair{641, 2}, {2, 481}}) {
        EXPECT_TRUE(showTitle(width, height).empty()) << width;
        EXPECT_EQ(scripted.messages, std::vector<std::string>{"Error: could not load.bmp title"});
    }
}

TEST_F(ScreensTest, PlayingFrameDrawsTheHudPresentsAndClearsInTheFogColour)
{
    TempWorkdir::write("m.map", "fogcolor= 0xFF8000 holecount= 0 .data .end");
    ASSERT_TRUE(levelMap.load("m.map", marble));
    gameState = GameState::Playing;
    levelNumber = 2;
    levelDone = false;
    timeLeft = 22.5f;
    showStatistics = true;
    framesPerSecond = 61;
    frameTime = 0.1f;
    composeFrame();
    std::vector<DrawnGlyph> glyphs = drawnGlyphs(recorder);
    EXPECT_NE(findText(glyphs, "FPS:61"), nullptr);
    const DrawnGlyph* clock = findText(glyphs, "22.50");
    ASSERT_NE(clock, nullptr);
    EXPECT_EQ(clock->x, 280.0f);
    EXPECT_FLOAT_EQ(clock->colour.r, 0.5f);
    EXPECT_FLOAT_EQ(clock->colour.g, 0.5f);
    const DrawnGlyph* banner = findText(glyphs, "Level2");
    ASSERT_NE(banner, nullptr);
    EXPECT_EQ(banner->scale, 3.0f);
    EXPECT_NE(findText(glyphs, "Turbo"), nullptr);
    EXPECT_EQ(recorder.count(RenderOp::OverlayFrame), 1);
    ASSERT_EQ(recorder.count(RenderOp::OverlayQuad), 1); // a full gauge
    EXPECT_FLOAT_EQ(recorder.of(RenderOp::OverlayQuad)[0].corners[0].x, (0.703125f + 1.0f) * 320.0f);
    EXPECT_EQ(frameCount, 1);
    std::vector<RenderOp> ops = recorder.ops();
    ASSERT_GE(ops.size(), 2u);
    EXPECT_EQ(ops[ops.size() - 2], RenderOp::Present);
    EXPECT_EQ(ops.back(), RenderOp::ClearFrame);
    EXPECT_EQ(recorder.calls.back().colour.r, 1.0f);
    EXPECT_FLOAT_EQ(recorder.calls.back().colour.g, 128.0f / 255.0f);

    // The banner shrinks while the game runs and freezes while paused.
    float before = bannerScale;
    EXPECT_LT(before, 3.0f);
    paused = true;
    composeFrame();
    EXPECT_EQ(bannerScale, before);

    // After the goal the clock shows the time that was left then.
    recorder.calls.clear();
    levelDone = true;
    levelTimes[1] = 12.0f;
    timeLeft = -3.0f;
    fogOn = false;
    composeFrame();
    EXPECT_NE(findText(drawnGlyphs(recorder), "33.00"), nullptr);
    EXPECT_EQ(recorder.calls.back().colour.r, 0.0f);

    // orbivale-glide takes the clock's colour as bytes, truncated: half is 127.
    prepare(Edition::Glide);
    timeLeft = 22.5f;
    levelDone = false;
    drawStatisticsAndCountdown();
    glyphs = drawnGlyphs(recorder);
    clock = findText(glyphs, "22.50");
    ASSERT_NE(clock, nullptr);
    EXPECT_EQ(clock->colour.r, 127.0f / 255.0f);
    EXPECT_EQ(clock->colour.g, 127.0f / 255.0f);
}

TEST_F(ScreensTest, PenaltyTextFliesToTheClockAndTakesItsSecondsEvenWhilePaused)
{
    TempWorkdir::write("m.map", "holecount= 0 .data .end");
    ASSERT_TRUE(levelMap.load("m.map", marble));
    marble.setPosition(Vec3(0, 0, 0));
    cameraView.set(Vec3(0, -400, -350), -0.851966f, 0.0f, 0.0f);
    fallPending = true;
    timeLeft = 20.0f;
    frameTime = 0.1f;
    drawPenaltyText();
    advancePenaltyFlight();
    std::vector<DrawnGlyph> first = drawnGlyphs(recorder);
    const DrawnGlyph* text = findText(first, "-5");
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->colour.r, 1.0f);
    EXPECT_NEAR(text->scale, 0.3f, 1e-5f);
    for (int i = 0; i < 6; ++i) {
        drawPenaltyText();
        advancePenaltyFlight();
    }
    EXPECT_FALSE(fallPending);
    EXPECT_FLOAT_EQ(timeLeft, 16.0f);
    // Each frame the text stands closer to the clock at (280, 0).
    std::vector<DrawnGlyph> flight = drawnGlyphs(recorder);
    for (size_t i = 2; i < flight.size(); i += 2)
        EXPECT_LT(flight[i].y, flight[i - 2].y);
    EXPECT_NEAR(flight[flight.size() - 2].x, 280.0f, 12.0f);
}

// orbivale-gl's still screens present only a picture that differs from the
// one on screen, or one the window lost; the frame then waits as glide's does.
TEST_F(ScreensTest, GlPresentsStillScreensOnlyWhenThePictureChanges)
{
    writePicture("graphics/title.bmp");
    runFrame();
    runFrame();
    runFrame();
    EXPECT_EQ(recorder.count(RenderOp::BlitPicture), 1);
    EXPECT_EQ(recorder.count(RenderOp::Present), 1);
    EXPECT_EQ(scripted.waits, (std::vector<double>{0.0125, 0.0125}));

    // The cursor moves on the open menu: drawn again, and the menu is on it.
    auto presentsOnce = [&](const char* what) {
        recorder.calls.clear();
        runFrame();
        runFrame();
        EXPECT_EQ(recorder.count(RenderOp::Present), 1) << what;
    };
    menuShown = true;
    presentsOnce("menu opened");
    EXPECT_EQ(recorder.of(RenderOp::OverlayQuad).size(), 1u);
    menuCursor = 2;
    presentsOnce("cursor moved");
    recorder.pictureShown = false; // resized
    recorder.calls.clear();
    runFrame();
    recorder.pictureShown = true;
    runFrame();
    EXPECT_EQ(recorder.count(RenderOp::Present), 1);
    handleEvent(Event{kEventPaint, 0});
    presentsOnce("painted");
    // The title read anew with other pixels, wherever it lands in memory.
    std::vector<uint8_t> bytes = makeBmp(640, 480, solidRows(640, 480, 90, 20, 30));
    TempWorkdir::write("graphics/title.bmp", std::string(bytes.begin(), bytes.end()));
    resetPictures();
    presentsOnce("new picture");
    gameState = GameState::ScoreTable;
    presentsOnce("best times");
    EXPECT_EQ(recorder.ops().back(), RenderOp::Present);
}

TEST_F(ScreensTest, GlideRedrawsTitleOnlyWhenSomethingChanged)
{
    prepare(Edition::Glide);
    writePicture("graphics/title.bmp");
    // Presented once; then each frame sleeps until the display's next picture.
    runFrame();
    EXPECT_TRUE(scripted.waits.empty());
    runFrame();
    runFrame();
    EXPECT_EQ(recorder.count(RenderOp::BlitPicture), 1);
    EXPECT_EQ(recorder.count(RenderOp::Present), 1);
    EXPECT_EQ(scripted.waits, (std::vector<double>{0.0125, 0.0125}));
    menuShown = true;
    runFrame();
    EXPECT_EQ(scripted.waits.size(), 2u);
    EXPECT_EQ(recorder.count(RenderOp::BlitPicture), 2);
    EXPECT_EQ(recorder.of(RenderOp::OverlayQuad).back().colour.a, 200.0f / 255.0f);
    screenDirty = true;
    composeFrame();
    EXPECT_EQ(recorder.count(RenderOp::BlitPicture), 3);

    // A function key that changes a value on the open options page redraws it.
    menuCursor = 6;
    composeFrame();
    for (int key : {kKeyF2, kKeyF6, kKeyF3, kKeyF5}) {
        recorder.calls.clear();
        handleKeyDown(key);
        composeFrame();
        EXPECT_EQ(recorder.count(RenderOp::BlitPicture), 1) << key;
    }
    std::vector<DrawnGlyph> glyphs = drawnGlyphs(recorder);
    EXPECT_NE(findText(glyphs, "Statistics:ON"), nullptr);
    EXPECT_NE(findText(glyphs, "MIDI:OFF"), nullptr);
    EXPECT_NE(findText(glyphs, "Fog:OFF"), nullptr);
    recorder.calls.clear();

    // A picture of the wrong size is not drawn, silently.
    std::vector<uint8_t> bytes = makeBmp(640, 479, solidRows(640, 479, 1, 2, 3));
    TempWorkdir::write("graphics/title.bmp", std::string(bytes.begin(), bytes.end()));
    screenDirty = true;
    composeFrame();
    EXPECT_EQ(recorder.count(RenderOp::BlitPicture), 0);
    EXPECT_TRUE(scripted.messages.empty());

    gameState = GameState::NameEntry;
    composeFrame();
    EXPECT_EQ(gameState, GameState::Title);
}

TEST_F(ScreensTest, GlideCreditsAndClosingScreens)
{
    prepare(Edition::Glide);
    gameState = GameState::Credits;
    composeFrame();
    std::vector<DrawnGlyph> glyphs = drawnGlyphs(recorder);
    const DrawnGlyph* heading = findText(glyphs, "Programmingand");
    ASSERT_NE(heading, nullptr);
    EXPECT_EQ(heading->x, 0.0f);
    EXPECT_EQ(heading->scale, 1.0f);
    ASSERT_NE(findText(glyphs, "Titleandbackground:"), nullptr);
    ASSERT_NE(findText(glyphs, "Midiandwave:"), nullptr);
    // The address line at the bottom, at half size.
    EXPECT_EQ(glyphs.back().y, 460.0f);
    EXPECT_EQ(glyphs.back().scale, 0.5f);
    EXPECT_EQ(recorder.of(RenderOp::OverlayQuad)[0].colour.a, 210.0f / 255.0f);

    recorder.calls.clear();
    gameState = GameState::Closing;
    writePicture("graphics/nag.bmp");
    composeFrame();
    EXPECT_EQ(recorder.ops(), (std::vector<RenderOp>{RenderOp::BlitPicture, RenderOp::Present, RenderOp::ClearFrame}));
}

TEST_F(ScreensTest, StartUpFailuresAreReportedInOrderAndEndTheProgram)
{
    // No level list. A failed start ends with 1, a normal end with 0.
    EXPECT_EQ(runProgram(), 1);
    EXPECT_EQ(scripted.messages,
              (std::vector<std::string>{"Error: could not initialize map data", "Error: initialization failed"}));

    // A level list but no font.
    prepare(Edition::Gl);
    TempWorkdir::write("maps/maplist.dat", "1 maps/a.map");
    scripted.messages.clear();
    font = Font();
    EXPECT_EQ(runProgram(), 1);
    EXPECT_EQ(scripted.messages,
              (std::vector<std::string>{"Notice: Creating new highScores file", "error: graphics/font/font_0.bmp",
                                        "Error: could not initialize fonts", "Error: initialization failed"}));

    // orbivale-glide without a joystick starts with the keyboard.
    prepare(Edition::Glide);
    TempWorkdir::write("maps/maplist.dat", "3 a b c");
    writeTestFontDescription("misc/newFont.dat");
    scripted.messages.clear();
    scripted.onCounterRead = [this] {
        if (scripted.countPosted(kEventFrame) == 2)
            scripted.queue.push_back(Event{kEventClose, 0});
    };
    EXPECT_EQ(runProgram(), 0);
    EXPECT_TRUE(scripted.messages.empty());
    EXPECT_FALSE(joystickPresent);
    EXPECT_FALSE(joystickControl);
    EXPECT_TRUE(font.isLoaded());

    // orbivale-glide with a joystick turns the joystick on.
    prepare(Edition::Glide);
    scripted.joystick = JoystickPosition{32767, 32767, 0};
    scripted.onCounterRead = [this] {
        if (scripted.countPosted(kEventFrame) == 2)
            scripted.queue.push_back(Event{kEventClose, 0});
    };
    EXPECT_EQ(runProgram(), 0);
    EXPECT_TRUE(joystickPresent);
    EXPECT_TRUE(joystickControl);

    // orbivale-gl without a pixel format (no GLX, say): the platform's text
    // under the failed step's caption, the end requested, and start-up still
    // runs to its end before the loop takes the quit event.
    struct Case {
        PixelFormatFailure failure;
        std::string message;
    };
    for (const Case& c : {Case{PixelFormatFailure::Choose, "ChoosePixelFormat failed GetLastError: no GLX"},
                          Case{PixelFormatFailure::NeedsPalette, "Error: Needs palette"},
                          Case{PixelFormatFailure::Set, "SetPixelFormat failed GetLastError: no GLX"}}) {
        prepare(Edition::Gl);
        scripted.pixelFormat = c.failure;
        scripted.pixelFormatText = "no GLX";
        EXPECT_EQ(runProgram(), 1);
        EXPECT_EQ(scripted.messages,
                  (std::vector<std::string>{c.message, "Notice: Creating new highScores file",
                                            "error: graphics/font/font_0.bmp", "Error: could not initialize fonts",
                                            "Error: initialization failed"}));
        EXPECT_EQ(scripted.countPosted(kEventFrame), 0);
    }
}

} // namespace
