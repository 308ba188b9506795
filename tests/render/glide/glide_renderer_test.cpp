#include "game_fixture.h"
#include "glide2/glide.h"
#include "glide2/pixel_format.h"
#include "glide2/presenter.h"
#include "glide2/swap_pacing.h"
#include "files/bmp.h"
#include "render/glide/glide_renderer.h"
#include "game/options.h"
#include "shell/program.h"
#include "temp_dir.h"
#include "temp_workdir.h"
#include "tools/tdf/tdf_writer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace {

const std::string kData = std::string(ORBIVALE_DATA_DIR) + "/glide/";
constexpr float kStep = 0.39269912f;

struct Rgb8 {
    int r, g, b;
};

class GlideRendererTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fogOn = false;
        glide2SetPresenter(&GlideRendererTest::capture, this);
        glide2SetSwapWait(false);
        ASSERT_TRUE(glide.startGraphics());
    }
    void TearDown() override
    {
        glide.shutdownGraphics();
        glide2SetPresenter(nullptr, nullptr);
        glide2SetSwapWait(true);
        fogOn = true;
    }

    static void capture(void* self, const std::uint32_t* pixels, int width, int height)
    {
        auto* t = static_cast<GlideRendererTest*>(self);
        t->presented.assign(pixels, pixels + width * height);
        ++t->presentCount;
    }

    // The stored buffer, 565, row 0 the top of the screen.
    static std::vector<std::uint16_t> read(int buffer = GR_BUFFER_BACKBUFFER)
    {
        std::vector<std::uint16_t> out(640 * 480);
        GrLfbInfo_t info{};
        info.size = sizeof info;
        if (!grLfbLock(GR_LFB_READ_ONLY, buffer, GR_LFBWRITEMODE_ANY, GR_ORIGIN_UPPER_LEFT, FXFALSE, &info)) {
            ADD_FAILURE() << "read lock refused";
            return out;
        }
        for (int y = 0; y < 480; ++y)
            std::memcpy(&out[y * 640], static_cast<const std::uint8_t*>(info.lfbPtr) + y * info.strideInBytes, 1280);
        grLfbUnlock(GR_LFB_READ_ONLY, buffer);
        return out;
    }
    // Colour at (x, y) in projected space (y up), as 8-bit channels.
    static Rgb8 at(const std::vector<std::uint16_t>& b, int x, int y)
    {
        Rgb8 c;
        expand565(b[(479 - y) * 640 + x], c.r, c.g, c.b);
        return c;
    }
    // Average over a 4 x 4 block, which undoes the ordered dither.
    static Rgb8 blockAt(const std::vector<std::uint16_t>& b, int x, int y)
    {
        int r = 0, g = 0, bl = 0;
        for (int j = 0; j < 4; ++j)
            for (int i = 0; i < 4; ++i) {
                Rgb8 c = at(b, x + i, y + j);
                r += c.r;
                g += c.g;
                bl += c.b;
            }
        return {r / 16, g / 16, bl / 16};
    }
    static bool near(Rgb8 a, Rgb8 b, int tolerance)
    {
        return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance &&
               std::abs(a.b - b.b) <= tolerance;
    }

    static ScreenVertex sv(float x, float y, float w, float r = 0, float g = 0, float b = 0, float a = 1)
    {
        ScreenVertex v;
        v.x = x;
        v.y = y;
        v.w = w;
        v.oow = 1.0f / w;
        v.r = r;
        v.g = g;
        v.b = b;
        v.a = a;
        return v;
    }
    // A terrain rectangle at one depth, texture coordinates in texels
    // (divided by w as the terrain hands them over).
    void terrainRect(float x0, float y0, float x1, float y1, float w)
    {
        auto corner = [&](float x, float y) {
            ScreenVertex v = sv(x, y, w);
            v.s = x * v.oow;
            v.t = y * v.oow;
            return v;
        };
        ScreenVertex bl = corner(x0, y0), tl = corner(x0, y1), tr = corner(x1, y1), br = corner(x1, y0);
        glide.drawTerrainTriangle(bl, tl, tr);
        glide.drawTerrainTriangle(bl, tr, br);
    }
    // The 16-triangle disc the marble drawing sends, with its ghost.
    void marble(float cx, float cy, float w, float radius, Rgb8 colour, bool withGhost)
    {
        float r = colour.r / 255.0f, g = colour.g / 255.0f, b = colour.b / 255.0f;
        auto rim = [&](float angle, float oow, float a) {
            ScreenVertex v = sv(cx + radius * std::cos(angle), cy + radius * std::sin(angle), w, r / 10, g / 10,
                                b / 10, a);
            v.oow = oow;
            return v;
        };
        ScreenVertex centre = sv(cx, cy, w - 20, r, g, b);
        for (int k = 0; k < 16; ++k)
            glide.drawMarbleTriangle(centre, rim((k + 1) * kStep, 1 / w, 1), rim(k * kStep, 1 / w, 1));
        if (!withGhost)
            return;
        float ghost = 40.0f / 255.0f;
        centre.a = ghost;
        for (int k = 0; k < 16; ++k)
            glide.drawGhostTriangle(centre, rim((k + 1) * kStep, 100, ghost), rim(k * kStep, 100, ghost), ghost);
    }
    // A 64 x 64 texture whose left half is red and right half blue.
    std::string twoColourTexture(int size = 64)
    {
        TdfImage image{size, size, {}};
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) {
                bool left = x < size / 2;
                image.rgba.insert(image.rgba.end(),
                                  {std::uint8_t(left ? 255 : 0), 0, std::uint8_t(left ? 0 : 255), 255});
            }
        std::string path = dir.path("level" + std::to_string(size) + ".3df");
        EXPECT_TRUE(tdfWriteFile(path, "rgb565", image, 1));
        return path;
    }

    TempDir dir;
    GlideRenderer glide;
    std::vector<std::uint32_t> presented;
    int presentCount = 0;
};

TEST_F(GlideRendererTest, TitlePictureIsCopiedWithTheCardsDitherAndDepthIsKept)
{
    std::vector<std::uint8_t> picture(kPictureBytes);
    ASSERT_TRUE(readBmp(kData + "graphics/title.bmp", picture.data(), picture.size()));
    // Something with depth first: the copy must leave it alone.
    marble(320, 240, 400, 50, {200, 200, 200}, false);
    std::vector<std::uint16_t> depthBefore = read(GR_BUFFER_AUXBUFFER);
    ASSERT_NE(depthBefore[240 * 640 + 320], 0xffff);

    glide.blitPicture(picture.data());
    std::vector<std::uint16_t> shown = read();
    // Every pixel is the picture's colour in 565 under the 4 x 4 ordered
    // dither the card applies to every written pixel; row 0 is the bottom.
    int wrong = 0;
    for (int row = 0; row < 480; ++row)
        for (int x = 0; x < 640; ++x) {
            const std::uint8_t* p = &picture[(static_cast<size_t>(row) * 640 + x) * 3];
            int physical = 479 - row;
            int d = ditherMatrix4x4[physical & 3][x & 3];
            wrong += shown[physical * 640 + x] != packDithered(d, p[0], p[1], p[2]);
        }
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(read(GR_BUFFER_AUXBUFFER), depthBefore);
}

TEST_F(GlideRendererTest, PlayingFrameShowsFogColouredSkyTexturedNearGroundAndFoggedFarGround)
{
    const Rgb8 fog{96, 160, 224};
    glide.setFogColour(0x60a0e0);
    glide.setFog(true);
    glide.clearFrame(fog.r / 255.0f, fog.g / 255.0f, fog.b / 255.0f);
    ASSERT_TRUE(glide.loadLevelTexture(twoColourTexture()));

    glide.beginTerrain();
    terrainRect(0, 0, 640, 100, 300);    // nearer than the fog's start
    terrainRect(0, 150, 640, 250, 1100); // half way
    terrainRect(0, 300, 640, 400, 2500); // beyond the fog's end
    // Counter-clockwise on screen: a back face, culled.
    ScreenVertex a = sv(100, 420, 300), b = sv(200, 420, 300), c = sv(150, 470, 300);
    glide.drawTerrainTriangle(a, b, c);
    glide.endTerrain();

    std::vector<std::uint16_t> f = read();
    // Sky and culled back face: the fog colour.
    EXPECT_TRUE(near(blockAt(f, 20, 450), fog, 4));
    EXPECT_TRUE(near(blockAt(f, 148, 440), fog, 4));
    // Near: the texture's own colours, which repeat every 64 texels * w.
    bool sawRed = false, sawBlue = false;
    for (int x = 0; x < 640; x += 4) {
        Rgb8 c = blockAt(f, x, 40);
        sawRed |= c.r > 230 && c.b < 20;
        sawBlue |= c.b > 230 && c.r < 20;
    }
    EXPECT_TRUE(sawRed);
    EXPECT_TRUE(sawBlue);
    // Half way: a mixture of texture and fog; far: fog only.
    Rgb8 middle = blockAt(f, 8, 200);
    EXPECT_FALSE(near(middle, fog, 12));
    EXPECT_GT(middle.g, 40);
    for (int x = 0; x < 640; x += 40)
        EXPECT_TRUE(near(blockAt(f, x, 340), fog, 4)) << x;

    // Fog off: the far ground shows its texture.
    glide.setFog(false);
    glide.clearFrame(0, 0, 0);
    glide.beginTerrain();
    terrainRect(0, 300, 640, 400, 2500);
    glide.endTerrain();
    Rgb8 far = blockAt(read(), 8, 340);
    EXPECT_TRUE(far.r > 200 || far.b > 200);
    EXPECT_LT(far.g, 20);
}

TEST_F(GlideRendererTest, MarbleSitsAtItsProjectedCentreAndItsGhostShowsThroughAMound)
{
    glide.clearFrame(0, 0, 0);
    marble(200, 300, 400, 20, {240, 40, 40}, true);
    std::vector<std::uint16_t> f = read();
    Rgb8 centre = at(f, 200, 300);
    EXPECT_GT(centre.r, 180);
    EXPECT_LT(centre.g, 80);
    EXPECT_TRUE(near(at(f, 200, 300 + 25), {0, 0, 0}, 0));
    EXPECT_TRUE(near(at(f, 200 - 25, 300), {0, 0, 0}, 0));
    // The same place counted from the top would be empty.
    EXPECT_TRUE(near(at(f, 200, 480 - 300), {0, 0, 0}, 0));

    // Positions go to the card's 1/16-pixel grid, rounded to the nearest.
    auto triangleAt = [&](float nudge) {
        glide.clearFrame(0, 0, 0);
        glide.drawMarbleTriangle(sv(100 + nudge, 100 + nudge, 400, 1, 1, 1),
                                 sv(200 + nudge, 300 + nudge, 400, 1, 1, 1),
                                 sv(300 + nudge, 100 + nudge, 400, 1, 1, 1));
        return read();
    };
    EXPECT_EQ(triangleAt(0.05f), triangleAt(0.0625f));

    // A grey mound nearer than the marble hides the solid disc; the ghost's
    // rim is nearer than anything, so the disc shows faintly towards its edge.
    glide.clearFrame(0, 0, 0);
    const Rgb8 grey{128, 128, 128};
    ScreenVertex m0 = sv(100, 200, 200, 0.5f, 0.5f, 0.5f), m1 = sv(100, 400, 200, 0.5f, 0.5f, 0.5f),
                 m2 = sv(300, 400, 200, 0.5f, 0.5f, 0.5f), m3 = sv(300, 200, 200, 0.5f, 0.5f, 0.5f);
    glide.drawMarbleTriangle(m0, m1, m2);
    glide.drawMarbleTriangle(m0, m2, m3);
    std::vector<std::uint16_t> moundOnly = read();
    marble(200, 300, 400, 40, {0, 255, 0}, false);
    EXPECT_EQ(read(), moundOnly); // the solid disc is behind the mound

    marble(200, 300, 400, 40, {0, 255, 0}, true);
    f = read();
    // Faint (40/255 on a colour already scaled by it), darker towards the rim
    // whose colour is a tenth of the centre's.
    Rgb8 nearRim = blockAt(f, 200 + 28, 300);
    EXPECT_FALSE(near(nearRim, grey, 10));
    EXPECT_GE(nearRim.g, nearRim.r);
    // The rim's key of 100 carries the ghost almost to the centre.
    EXPECT_FALSE(near(blockAt(f, 204, 299), grey, 8));
    EXPECT_TRUE(near(blockAt(f, 120, 220), grey, 4)); // outside the disc
}

TEST_F(GlideRendererTest, TextComesFromTheFontTextureAndTheStateComesBack)
{
    ASSERT_TRUE(glide.loadFontTexture(kData + "graphics/newFont.3df"));
    // The glyph box of "W" from the font table.
    std::ifstream table(kData + "misc/newFont.dat");
    int first, last;
    table >> first >> last;
    char c;
    float box[4] = {};
    bool found = false;
    while (table >> c >> box[0] >> box[1] >> box[2] >> box[3])
        if (c == 'W') {
            found = true;
            break;
        }
    ASSERT_TRUE(found);
    float w = box[2] - box[0], h = box[3] - box[1];

    glide.clearFrame(0, 0, 0);
    glide.beginText();
    glide.drawGlyph(OverlayRect{100, 50, 100 + w, 50 + h}, GlyphBox{box[0], box[1], box[2], box[3]},
                    Colour{1, 1, 0, 1});
    glide.endText();
    std::vector<std::uint16_t> f = read();
    int lit = 0, dark = 0, outside = 0;
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x) {
            int r, g, b;
            expand565(f[y * 640 + x], r, g, b);
            bool inQuad = x >= 100 && x < 100 + w && y >= 50 && y < 50 + h;
            if (!inQuad)
                outside += r + g + b != 0;
            else if (r > 200 && g > 200 && b < 30)
                ++lit;
            else if (r + g + b == 0)
                ++dark;
            EXPECT_LE(b, 8);
        }
    // Counted from the top (overlay space); a glyph shape, not a box.
    EXPECT_EQ(outside, 0);
    EXPECT_GT(lit, w * h / 10);
    EXPECT_GT(dark, w * h / 10);

    // After the text: lower-left origin, depth test and untextured colour again.
    marble(500, 100, 400, 10, {0, 0, 255}, false);
    f = read();
    EXPECT_GT(at(f, 500, 100).b, 200);
    EXPECT_EQ(at(f, 500, 100).r, 0);
}

TEST_F(GlideRendererTest, OverlayQuadDarkensWhatIsDrawnAndLeavesTheStateAsItWas)
{
    glide.clearFrame(1, 1, 1);
    glide.drawOverlayQuad(OverlayQuad{OverlayPoint{0, 0}, OverlayPoint{640, 0}, OverlayPoint{640, 240},
                                      OverlayPoint{0, 240}},
                          Colour{0, 0, 0, 200.0f / 255.0f});
    std::vector<std::uint16_t> f = read();
    Rgb8 top = blockAt(f, 300, 400), bottom = blockAt(f, 300, 100);
    EXPECT_NEAR(top.r, 56, 6); // 255 * 55/255 through the card's blend
    EXPECT_TRUE(near(bottom, {255, 255, 255}, 0));
    // Depth test and culling are back: a far marble behind a near one is hidden.
    marble(320, 100, 100, 30, {255, 0, 0}, false);
    marble(320, 100, 900, 30, {0, 0, 255}, false);
    EXPECT_GT(at(read(), 320, 100).r, 200);
}

TEST_F(GlideRendererTest, FocusLossAndReturnBringBackFogCombineAndTexture)
{
    glide.setFogColour(0x202020);
    glide.setFog(true);
    ASSERT_TRUE(glide.loadLevelTexture(twoColourTexture()));
    auto scene = [&] {
        glide.clearFrame(0, 0, 0);
        glide.beginTerrain();
        terrainRect(0, 0, 640, 200, 1000);
        glide.endTerrain();
        marble(320, 300, 1000, 30, {255, 255, 0}, false);
        return read();
    };
    std::vector<std::uint16_t> before = scene();

    glide.suspendGraphics();
    EXPECT_FALSE(glide.screenActive());
    // Whatever happens meanwhile is forgotten.
    grFogMode(GR_FOG_DISABLE);
    grColorCombine(GR_COMBINE_FUNCTION_ZERO, GR_COMBINE_FACTOR_NONE, GR_COMBINE_LOCAL_CONSTANT,
                   GR_COMBINE_OTHER_CONSTANT, FXFALSE);
    grCullMode(GR_CULL_NEGATIVE);
    glide.resumeGraphics();
    EXPECT_TRUE(glide.screenActive());
    EXPECT_EQ(scene(), before);
}

TEST_F(GlideRendererTest, LevelTexturesShareTheFirstOnesMemoryAndBadFilesAreRefused)
{
    EXPECT_FALSE(glide.loadLevelTexture(dir.path("missing.3df")));
    std::string junk = dir.path("junk.3df");
    std::ofstream(junk) << "3df v1.0\nnot a texture at all";
    EXPECT_FALSE(glide.loadLevelTexture(junk));
    EXPECT_FALSE(glide.levelTextureAllocated());

    ASSERT_TRUE(glide.loadLevelTexture(twoColourTexture(64)));
    EXPECT_TRUE(glide.loadLevelTexture(twoColourTexture(64)));
    // Larger than the memory reserved on the first level: refused, and the
    // first texture stays in use.
    EXPECT_FALSE(glide.loadLevelTexture(twoColourTexture(128)));
    EXPECT_FALSE(glide.loadLevelTexture(kData + "graphics/newFont.3df"));
    glide.clearFrame(0, 0, 0);
    glide.beginTerrain();
    terrainRect(0, 0, 640, 100, 300);
    glide.endTerrain();
    Rgb8 c = blockAt(read(), 4, 40);
    EXPECT_TRUE(c.r > 200 || c.b > 200);
}

TEST_F(GlideRendererTest, PresentHandsTheFinishedFrameOverAndClearsGoToTheNewBackBuffer)
{
    glide.clearFrame(1, 0, 0);
    glide.present();
    ASSERT_EQ(presentCount, 1);
    ASSERT_EQ(presented.size(), 640u * 480u);
    EXPECT_EQ(presented[1000] & 0xff0000, 0xff0000u);
    EXPECT_EQ(presented[1000] & 0x00ffff, 0u);
    // The next frame's clear does not touch the shown one.
    glide.clearFrame(0, 0, 1);
    EXPECT_TRUE(near(at(read(GR_BUFFER_FRONTBUFFER), 10, 10), {255, 0, 0}, 0));
    EXPECT_TRUE(near(at(read(), 10, 10), {0, 0, 255}, 0));
    // Unpaced, a still screen still has a refresh to wait for: it must not spin.
    EXPECT_NEAR(glide.secondsToNextRefresh(), 1.0 / 60.0, 1e-9);
}

TEST(GlideRendererStart, NoCardWithoutSomewhereToShowFrames)
{
    glide2SetPresenter(nullptr, nullptr);
    GlideRenderer glide;
    EXPECT_FALSE(glide.startGraphics());
    EXPECT_FALSE(glide.screenActive());
}

// The program's start-up on a scripted platform: the card is there only when
// the window has a surface for its frames. Without one, its absence is the
// first thing said (no hand-over of the screen before it), then the end.
class GlideStartUpTest : public GameTest {
protected:
    struct Window : FrameWindow {
        bool surface = false;
        bool hasFrameSurface() override { return surface; }
        void presentSoftwareFrame(const uint32_t*) override {}
    };
    TempWorkdir dir;
};

TEST_F(GlideStartUpTest, TheCardIsFoundOnlyWhenTheWindowCanShowItsFrames)
{
    TempWorkdir::write("maps/maplist.dat", "3 a b c");
    Window window;
    using Messages = std::vector<std::string>;
    for (bool surface : {false, true}) {
        startFresh(Edition::Glide);
        GlideRenderer glide;
        glide.showFramesIn(&window);
        renderer = &glide;
        window.surface = surface;
        EXPECT_EQ(runProgram(), 1); // start-up fails either way
        // With a surface the card starts, and start-up goes on to the font
        // (none here).
        Messages expected = surface ? Messages{"Error: could not initialize fonts", "Error: initialization failed"}
                                    : Messages{"Error: A Voodoo graphics card was not found",
                                               "Error: initialization failed"};
        EXPECT_EQ(scripted.messages, expected);
        glide.shutdownGraphics();
        renderer = nullptr;
    }
}

} // namespace
