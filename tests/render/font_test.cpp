#include "game_fixture.h"
#include "screen_text.h"

#include "bmp_writer.h"

namespace {

class FontTest : public GameTest {
protected:
    void SetUp() override
    {
        GameTest::SetUp();
        font = Font();
        writeTestFontDescription("font.dat");
    }
    void loadGlideFont()
    {
        startFresh(Edition::Glide);
        ASSERT_TRUE(font.load("newFont.3df", "font.dat"));
    }
    TempWorkdir dir;
};

TEST_F(FontTest, LinesBreaksAndUnknownCharactersFollowTheGlyphBoxes)
{
    loadGlideFont();
    font.setScale(0.5f);
    font.setPosition(100.0f, 50.0f);
    font.drawText("A B\nC");
    std::vector<DrawnGlyph> glyphs = drawnGlyphs(recorder);
    ASSERT_EQ(glyphs.size(), 3u);
    EXPECT_EQ(glyphs[0].c, 'A');
    EXPECT_EQ(glyphs[0].x, 100.0f);
    EXPECT_EQ(glyphs[1].c, 'B');
    EXPECT_EQ(glyphs[1].x, 100.0f + 5.0f + 5.0f); // A is 10 texels, the blank has no glyph: 10 * scale
    EXPECT_EQ(glyphs[2].c, 'C');
    EXPECT_EQ(glyphs[2].x, 100.0f);
    EXPECT_EQ(glyphs[2].y, 50.0f + 33.0f * 0.5f);
    EXPECT_EQ(font.penX, 105.0f);

    EXPECT_EQ(font.textWidth(""), 0.0f);
    EXPECT_EQ(font.textWidth("AB "), 15.0f);
    // Bytes above 127 have no glyph either.
    EXPECT_EQ(font.textWidth("\xE9"), 5.0f);
}

TEST_F(FontTest, GlideColoursArePackedBytesAndGlColoursKeepAlpha)
{
    loadGlideFont();
    font.setColour(255.9f, 128.0f, 0.0f);
    font.drawText("A");
    Colour c = drawnGlyphs(recorder)[0].colour;
    EXPECT_EQ(c.r, 1.0f);
    EXPECT_EQ(c.g, 128.0f / 255.0f);
    EXPECT_EQ(c.a, 1.0f);

    startFresh(Edition::Gl);
    std::vector<uint8_t> image;
    for (int level = 0; level < 9; ++level) {
        int side = 256 >> level;
        std::vector<uint8_t> bytes = makeBmp(side, side, solidRows(side, side, 255, 255, 255));
        TempWorkdir::write("glyphs_" + std::to_string(level) + ".bmp", std::string(bytes.begin(), bytes.end()));
    }
    font = Font();
    ASSERT_TRUE(font.load("glyphs", "font.dat"));
    EXPECT_EQ(recorder.count(RenderOp::UploadFontTexture), 1);
    font.setColour(0.25f, 0.5f, 0.75f, 0.0f);
    font.drawText("Z");
    c = drawnGlyphs(recorder)[0].colour;
    EXPECT_EQ(c.b, 0.75f);
    EXPECT_EQ(c.a, 0.0f);
}

TEST_F(FontTest, BrokenFontFilesFailTheLoadAndDrawNothing)
{
    // A missing glyph level is named in the message.
    for (int level = 0; level < 9; ++level) {
        if (level == 4)
            continue;
        int side = 256 >> level;
        std::vector<uint8_t> bytes = makeBmp(side, side, solidRows(side, side, 0, 0, 0));
        TempWorkdir::write("glyphs_" + std::to_string(level) + ".bmp", std::string(bytes.begin(), bytes.end()));
    }
    EXPECT_FALSE(font.load("glyphs", "font.dat"));
    EXPECT_EQ(scripted.messages, std::vector<std::string>{"error: glyphs_4.bmp"});
    EXPECT_EQ(recorder.count(RenderOp::UploadFontTexture), 0);

    startFresh(Edition::Glide);
    for (const char* broken : {"", "33", "33 126 A 0 0 10", "33 126 A 0 0 10 x", "x 126 A 0 0 1 1"}) {
        font = Font();
        TempWorkdir::write("bad.dat", broken);
        EXPECT_FALSE(font.load("f.3df", "bad.dat")) << broken;
        font.drawText("A");
    }
    EXPECT_FALSE(font.load("f.3df", "missing.dat"));
    std::filesystem::create_directory("folder.dat");
    EXPECT_FALSE(font.load("f.3df", "folder.dat"));
    recorder.fontTextureLoads = false;
    EXPECT_FALSE(font.load("f.3df", "font.dat"));
    EXPECT_EQ(recorder.count(RenderOp::Glyph), 0);
    EXPECT_TRUE(scripted.messages.empty()); // orbivale-glide has no message of its own here
}

TEST_F(FontTest, ATableClaimingARangeBeyondTheBytesDrawsOnlyRealCharacters)
{
    startFresh(Edition::Glide);
    TempWorkdir::write("wide.dat", "-5 300 A 0 0 10 33");
    ASSERT_TRUE(font.load("f.3df", "wide.dat"));
    font.setScale(1.0f);
    font.drawText("\xE9"
                  "A");
    EXPECT_EQ(recorder.count(RenderOp::Glyph), 1);
    EXPECT_EQ(font.textWidth("\xE9"), 10.0f);
}

TEST_F(FontTest, NumbersAreRoundedToTheirDecimals)
{
    EXPECT_EQ(formatNumber(0.05f, 2), "0.05");
    EXPECT_EQ(formatNumber(12.05f, 2), "12.05");
    EXPECT_EQ(formatNumber(3.5f, 2), "3.50");
    EXPECT_EQ(formatNumber(7.0f, 2), "7.00");
    EXPECT_EQ(formatNumber(9.999f, 2), "10.00");
    EXPECT_EQ(formatNumber(45.0f, 2), "45.00");
    EXPECT_EQ(formatNumber(-1.7f, 0), "-1");
    EXPECT_EQ(formatNumber(-0.4f, 0), "0");
    EXPECT_EQ(formatNumber(-2.25f, 2), "-2.25");
    EXPECT_EQ(formatNumber(6.0f, 0), "6");
    EXPECT_EQ(formatNumber(-5800.0f, 0), "-5800");
    EXPECT_EQ(formatNumber(3e38f, 0).size(), 39u);
    EXPECT_EQ(formatNumber(std::numeric_limits<float>::quiet_NaN(), 2), "0");
    // Rounded in single precision: the stored float below 10.165 scales to 1016.5.
    EXPECT_EQ(formatNumber(10.165f, 2), "10.17");
    EXPECT_EQ(formatNumber(0.125f, 2), "0.13");
    EXPECT_EQ(formatNumber(3e37f, 2).substr(0, 4), "3000");
    EXPECT_EQ(formatNumber(3e37f, 2).substr(38), ".00");
}

} // namespace
