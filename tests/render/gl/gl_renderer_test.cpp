#include "gl_test_window.h"

#include "levels/level_map.h"

#include <cmath>

namespace {

using Rgb = std::array<int, 3>;

const Rgb kRed{220, 30, 30};
const Rgb kGreen{30, 220, 30};
const Rgb kBlue{30, 30, 220};
const Rgb kYellow{220, 220, 30};

// Level texture: level 0 in quadrants (rows from the bottom): red bottom-left,
// green bottom-right, blue top-left, yellow top-right; smaller levels grey.
std::vector<uint8_t> quadrantTexture()
{
    std::vector<uint8_t> mips(size_t(kLevelMipLevels) * kLevelMipSlotBytes, 128);
    for (int row = 0; row < 128; ++row)
        for (int col = 0; col < 128; ++col) {
            const Rgb& c = row < 64 ? (col < 64 ? kRed : kGreen) : (col < 64 ? kBlue : kYellow);
            for (int k = 0; k < 3; ++k)
                mips[size_t(row * 128 + col) * 3 + k] = uint8_t(c[k]);
        }
    return mips;
}

ScreenVertex vertex(float x, float y, float oow, float s = 0.0f, float t = 0.0f)
{
    ScreenVertex v;
    v.x = x;
    v.y = y;
    v.w = 1.0f / oow;
    v.oow = oow;
    v.r = 1.0f; // magenta: a terrain triangle must not show it
    v.g = 0.0f;
    v.b = 1.0f;
    v.a = 1.0f;
    v.s = s;
    v.t = t;
    return v;
}

// A clockwise (walk-order) rectangle of two terrain triangles, one texel spot.
void terrainRect(float x0, float y0, float x1, float y1, float oow, float s, float t)
{
    gl->drawTerrainTriangle(vertex(x0, y0, oow, s, t), vertex(x0, y1, oow, s, t), vertex(x1, y1, oow, s, t));
    gl->drawTerrainTriangle(vertex(x0, y0, oow, s, t), vertex(x1, y1, oow, s, t), vertex(x1, y0, oow, s, t));
}

Rgb mix(const Rgb& src, const Rgb& dst, float a)
{
    Rgb out;
    for (int k = 0; k < 3; ++k)
        out[k] = int(std::lround(src[k] * a + dst[k] * (1.0f - a)));
    return out;
}

class GlRendererTest : public GlWindowTest {
protected:
    void SetUp() override
    {
        static const std::vector<uint8_t> texture = quadrantTexture();
        gl->uploadLevelTexture(texture.data());
        gl->setFog(false);
        gl->clearFrame(0.0f, 0.0f, 0.0f);
    }
};

TEST_F(GlRendererTest, TerrainShowsTheLevelTextureOnlyAndCullsUndersides)
{
    gl->beginTerrain();
    // s, t run 0..1 over the 300-pixel triangle: texture rows grow upwards.
    gl->drawTerrainTriangle(vertex(100, 100, 0.01f, 0, 0), vertex(100, 400, 0.01f, 0, 1),
                            vertex(400, 400, 0.01f, 1, 1));
    // The same triangle turned the other way round is an underside.
    gl->drawTerrainTriangle(vertex(450, 100, 0.01f, 0, 0), vertex(600, 250, 0.01f, 1, 1),
                            vertex(450, 250, 0.01f, 0, 1));
    gl->endTerrain();

    EXPECT_TRUE(colourNear(pixel(120, 160), kRed));
    EXPECT_TRUE(colourNear(pixel(130, 370), kBlue));
    EXPECT_TRUE(colourNear(pixel(340, 380), kYellow));
    EXPECT_TRUE(colourNear(pixel(300, 150), {0, 0, 0})); // outside, below the diagonal
    EXPECT_TRUE(colourNear(pixel(470, 200), {0, 0, 0}));
}

TEST_F(GlRendererTest, NearerDepthKeyWinsWhateverTheOrder)
{
    gl->beginTerrain();
    // Left: near (w = 25) drawn first, far (w = 400) after; right: the reverse.
    terrainRect(50, 50, 250, 250, 0.04f, 0.25f, 0.25f);
    terrainRect(150, 150, 300, 300, 0.0025f, 0.75f, 0.75f);
    terrainRect(400, 150, 550, 300, 0.0025f, 0.75f, 0.75f);
    terrainRect(350, 50, 500, 250, 0.04f, 0.25f, 0.25f);
    // Keys a step of w apart far away still keep their order.
    terrainRect(50, 350, 150, 450, 1.0f / 1500.0f, 0.25f, 0.25f);
    terrainRect(100, 300, 200, 400, 1.0f / 1510.0f, 0.75f, 0.75f);
    gl->endTerrain();

    EXPECT_TRUE(colourNear(pixel(200, 200), kRed));
    EXPECT_TRUE(colourNear(pixel(280, 280), kYellow));
    EXPECT_TRUE(colourNear(pixel(450, 200), kRed));
    EXPECT_TRUE(colourNear(pixel(520, 280), kYellow));
    EXPECT_TRUE(colourNear(pixel(125, 375), kRed));
    EXPECT_TRUE(colourNear(pixel(175, 325), kYellow));
}

TEST_F(GlRendererTest, FogIsLinearInTheDepthKeyBetween400And1800)
{
    const Rgb fog{0x33, 0x66, 0xcc};
    gl->setFogColour(0x3366cc);
    gl->setFog(true);
    gl->beginTerrain();
    terrainRect(0, 0, 100, 100, 1.0f / 200.0f, 0.25f, 0.25f);
    terrainRect(100, 0, 200, 100, 1.0f / 400.0f, 0.25f, 0.25f);
    terrainRect(200, 0, 300, 100, 1.0f / 800.0f, 0.25f, 0.25f);
    terrainRect(300, 0, 400, 100, 1.0f / 1800.0f, 0.25f, 0.25f);
    terrainRect(400, 0, 500, 100, 1.0f / 3000.0f, 0.25f, 0.25f);
    gl->endTerrain();
    gl->setFog(false);
    gl->beginTerrain();
    terrainRect(500, 0, 600, 100, 1.0f / 1800.0f, 0.25f, 0.25f);
    gl->endTerrain();

    EXPECT_TRUE(colourNear(pixel(50, 50), kRed));
    EXPECT_TRUE(colourNear(pixel(150, 50), kRed, 2));
    // At w = 800 the texture keeps (1/1800 - 1/800) / (1/1800 - 1/400) of the colour.
    float keep = (1.0f / 1800 - 1.0f / 800) / (1.0f / 1800 - 1.0f / 400);
    EXPECT_TRUE(colourNear(pixel(250, 50), mix(kRed, fog, keep), 3));
    EXPECT_TRUE(colourNear(pixel(350, 50), fog, 2));
    EXPECT_TRUE(colourNear(pixel(450, 50), fog));
    EXPECT_TRUE(colourNear(pixel(550, 50), kRed));
}

TEST_F(GlRendererTest, MarbleIsDepthTestedAndGhostShowsThroughEverything)
{
    gl->beginTerrain();
    terrainRect(100, 100, 300, 300, 0.04f, 0.25f, 0.25f); // a hill right in front
    gl->endTerrain();

    ScreenVertex a = vertex(50, 50, 0.002f), b = vertex(250, 50, 0.002f), c = vertex(50, 250, 0.002f);
    for (ScreenVertex* v : {&a, &b, &c}) {
        v->r = 0.0f;
        v->g = 1.0f;
        v->b = 0.0f;
    }
    // Counter-clockwise: the marble is never culled.
    gl->drawMarbleTriangle(a, b, c);
    EXPECT_TRUE(colourNear(pixel(70, 70), {0, 255, 0}));
    EXPECT_TRUE(colourNear(pixel(130, 130), kRed)); // behind the hill

    ScreenVertex d = vertex(400, 50, 0.002f), e = vertex(600, 50, 0.002f), f = vertex(400, 250, 0.002f);
    for (ScreenVertex* v : {&a, &b, &c, &d, &e, &f}) {
        v->r = 1.0f;
        v->g = 1.0f;
        v->b = 1.0f;
    }
    gl->drawGhostTriangle(a, b, c, 0.3f);
    gl->drawGhostTriangle(d, e, f, 0.3f);
    const Rgb white{255, 255, 255};
    EXPECT_TRUE(colourNear(pixel(130, 130), mix(white, kRed, 0.3f), 2));
    EXPECT_TRUE(colourNear(pixel(70, 70), mix(white, {0, 255, 0}, 0.3f), 2));
    EXPECT_TRUE(colourNear(pixel(420, 70), mix(white, {0, 0, 0}, 0.3f), 2));
}

TEST_F(GlRendererTest, GatheredTerrainIsDrawnBeforeWhateverFollowsIt)
{
    gl->beginTerrain();
    terrainRect(100, 100, 200, 200, 0.01f, 0.25f, 0.25f);
    // No endTerrain: the ghost must still land on top of the ground.
    ScreenVertex a = vertex(50, 50, 0.001f), b = vertex(300, 50, 0.001f), c = vertex(50, 300, 0.001f);
    for (ScreenVertex* v : {&a, &b, &c})
        v->r = v->g = v->b = 1.0f;
    gl->drawGhostTriangle(a, b, c, 0.3f);
    EXPECT_TRUE(colourNear(pixel(120, 120), mix({255, 255, 255}, kRed, 0.3f), 2));

    // Fog switched inside a terrain draw applies to the triangles after it only.
    gl->setFogColour(0x0000ff);
    gl->beginTerrain();
    terrainRect(400, 100, 500, 200, 1.0f / 1800.0f, 0.25f, 0.25f);
    gl->setFog(true);
    terrainRect(500, 100, 600, 200, 1.0f / 1800.0f, 0.25f, 0.25f);
    gl->endTerrain();
    gl->setFog(false);
    EXPECT_TRUE(colourNear(pixel(450, 150), kRed));
    EXPECT_TRUE(colourNear(pixel(550, 150), {0, 0, 255}, 2));
}

TEST_F(GlRendererTest, PictureFillsTheScreenBottomRowFirstAndLeavesDepth)
{
    std::vector<uint8_t> image(kPictureBytes);
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x) {
            uint8_t* p = &image[size_t(y * 640 + x) * 3];
            p[0] = uint8_t(x);
            p[1] = uint8_t(y);
            p[2] = y < 240 ? 10 : 200;
        }
    gl->beginTerrain();
    terrainRect(100, 100, 200, 200, 0.04f, 0.25f, 0.25f);
    gl->endTerrain();
    gl->blitPicture(image.data());
    EXPECT_EQ(picture(), image);

    // The near ground's depth survives the picture and hides farther ground.
    gl->beginTerrain();
    terrainRect(50, 50, 250, 250, 0.0025f, 0.75f, 0.75f);
    gl->endTerrain();
    EXPECT_TRUE(colourNear(pixel(150, 150), {150, 150, 10}, 0));
    EXPECT_TRUE(colourNear(pixel(60, 60), kYellow));
}

TEST_F(GlRendererTest, OverlayShapesLandAtOverlayPositions)
{
    gl->clearFrame(1.0f, 0.0f, 0.0f);
    OverlayQuad box{{{100, 50}, {200, 50}, {200, 150}, {100, 150}}};
    gl->drawOverlayQuad(box, Colour{0.0f, 1.0f, 0.0f, 1.0f});
    EXPECT_TRUE(colourNear(pixel(150, 480 - 100), {0, 255, 0}));
    EXPECT_TRUE(colourNear(pixel(150, 480 - 200), {255, 0, 0}));
    EXPECT_TRUE(colourNear(pixel(250, 480 - 100), {255, 0, 0}));

    // The full-screen darkening at half opacity.
    OverlayQuad screen{{{0, 0}, {640, 0}, {640, 480}, {0, 480}}};
    gl->drawOverlayQuad(screen, Colour{0.0f, 0.0f, 0.0f, 0.5f});
    EXPECT_TRUE(colourNear(pixel(400, 400), {128, 0, 0}, 1));
    EXPECT_TRUE(colourNear(pixel(150, 380), {0, 128, 0}, 1));

    // A one-pixel outline on the half-pixel lines of rows 100 and 150.
    OverlayQuad frame{{{300.5f, 100.5f}, {400.5f, 100.5f}, {400.5f, 150.5f}, {300.5f, 150.5f}}};
    gl->drawOverlayFrame(frame, Colour{1.0f, 1.0f, 1.0f, 1.0f});
    EXPECT_TRUE(colourNear(pixel(350, 479 - 100), {255, 255, 255}));
    EXPECT_TRUE(colourNear(pixel(350, 479 - 150), {255, 255, 255}));
    EXPECT_TRUE(colourNear(pixel(300, 479 - 125), {255, 255, 255}));
    EXPECT_TRUE(colourNear(pixel(350, 479 - 125), {128, 0, 0}, 1));
    EXPECT_TRUE(colourNear(pixel(350, 479 - 102), {128, 0, 0}, 1));
}

// Font texture: on black, a white square at texels 24..39 (from the top) of
// level 0, the same shape shrunk on the smaller levels.
std::vector<uint8_t> squareFont()
{
    std::vector<uint8_t> mips(size_t(kFontMipLevels) * kFontMipSlotBytes, 0);
    for (int level = 0; level < kFontMipLevels; ++level) {
        int size = 256 >> level;
        uint8_t* slot = &mips[size_t(level) * kFontMipSlotBytes];
        for (int row = 0; row < size; ++row)
            for (int col = 0; col < size; ++col) {
                int texelX = col << level;
                int texelY = 255 - (row << level); // from the top
                bool on = texelX >= 24 && texelX < 40 && texelY >= 24 && texelY < 40;
                for (int k = 0; k < 3; ++k)
                    slot[size_t(row * size + col) * 3 + k] = on ? 255 : 0;
            }
    }
    return mips;
}

TEST_F(GlRendererTest, GlyphIsTheFontMaskTimesTheTextColour)
{
    static const std::vector<uint8_t> font = squareFont();
    gl->uploadFontTexture(font.data());
    gl->clearFrame(0.0f, 0.0f, 0.5f);
    gl->setFogColour(0xffffff);
    gl->setFog(true); // text is never fogged
    GlyphBox box{16, 16, 48, 48};
    gl->beginText();
    gl->drawGlyph(OverlayRect{300, 200, 332, 232}, box, Colour{1.0f, 0.5f, 0.0f, 1.0f});
    // Alpha 0 adds the colour to what is there.
    gl->drawGlyph(OverlayRect{400, 200, 432, 232}, box, Colour{0.5f, 0.25f, 0.0f, 0.0f});
    gl->endText();
    gl->setFog(false);

    EXPECT_TRUE(colourNear(pixel(316, 480 - 216), {255, 128, 0}, 1));
    EXPECT_TRUE(colourNear(pixel(302, 480 - 216), {0, 0, 128}, 1)); // inside the quad, off the mask
    EXPECT_TRUE(colourNear(pixel(416, 480 - 216), {128, 64, 128}, 1));
    EXPECT_TRUE(colourNear(pixel(416, 480 - 202), {0, 0, 128}, 1));
    // The level texture comes back for the next terrain.
    gl->beginTerrain();
    terrainRect(0, 0, 50, 50, 0.01f, 0.25f, 0.25f);
    gl->endTerrain();
    EXPECT_TRUE(colourNear(pixel(25, 25), kRed));
}

TEST_F(GlRendererTest, ArrowIsYellowWithItsHeadAtTheTip)
{
    // On the middle of pixel row 240.
    ProjectedPoint tail{100, 240.5f, 500};
    ProjectedPoint tip{300, 240.5f, 500};
    gl->drawArrow(tail, tip);
    EXPECT_TRUE(colourNear(pixel(200, 240), {255, 255, 0}, 60)); // smoothed 1.5-pixel shaft
    // The filled head lies behind the tip, 10 pixels back at +-22.5 degrees.
    EXPECT_TRUE(colourNear(pixel(294, 240), {255, 255, 0}));
    EXPECT_TRUE(colourNear(pixel(294, 250), {0, 0, 0}));
    EXPECT_TRUE(colourNear(pixel(310, 240), {0, 0, 0}));
}

TEST_F(GlRendererTest, SecondLevelTextureReplacesTheFirst)
{
    std::vector<uint8_t> plain(size_t(kLevelMipLevels) * kLevelMipSlotBytes, 0);
    for (size_t i = 0; i < plain.size(); i += 3) {
        plain[i] = 10;
        plain[i + 1] = 240;
        plain[i + 2] = 250;
    }
    gl->uploadLevelTexture(plain.data());
    gl->beginTerrain();
    terrainRect(0, 0, 100, 100, 0.01f, 0.25f, 0.25f);
    gl->endTerrain();
    EXPECT_TRUE(colourNear(pixel(50, 50), {10, 240, 250}));
}

} // namespace
