#include "card_fixture.h"

#include "glide2/texel_span.h"

#include <cmath>
#include <random>
#include <utility>
#include <vector>

namespace {

// Perspective triangles over a mipmapped map, drawn with the terrain's
// modes varied one scene at a time: every build of the pixel loops must draw
// the same colour and depth as the one-pixel pipeline, large triangles and
// small (whose rows are gathered into lanes from several rows).
class PixelLoopTest : public CardTest {
protected:
    void TearDown() override
    {
        glide2UsePortablePixelLoops(false);
        glide2UseOnePixelLoop(false);
        CardTest::TearDown();
    }

    bool depthMask = true;

    void setScene(int scene)
    {
        std::mt19937 rng(static_cast<unsigned>(scene));
        guTexMemReset();
        std::vector<std::uint16_t> texels(256 * 256 * 2);
        for (auto& t : texels)
            t = static_cast<std::uint16_t>(rng());
        int filter = scene % 2, clamp = (scene / 2) % 2;
        GrMipMapId_t id = guTexAllocateMemory(GR_TMU0, GR_MIPMAPLEVELMASK_BOTH, 256, 256, GR_TEXFMT_RGB_565,
                                              GR_MIPMAP_NEAREST, GR_LOD_1, GR_LOD_256, GR_ASPECT_1x1, clamp, clamp,
                                              filter, filter, 0.0f, FXFALSE);
        guTexDownloadMipMap(id, texels.data(), nullptr);
        guTexSource(id);
        grColorCombine(GR_COMBINE_FUNCTION_SCALE_OTHER, GR_COMBINE_FACTOR_ONE, GR_COMBINE_LOCAL_CONSTANT,
                       GR_COMBINE_OTHER_TEXTURE, FXFALSE);
        grTexCombine(GR_TMU0, GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_NONE, GR_COMBINE_FUNCTION_LOCAL,
                     GR_COMBINE_FACTOR_NONE, FXFALSE, FXFALSE);
        grDepthBufferMode(scene % 5 == 4 ? GR_DEPTHBUFFER_DISABLE : GR_DEPTHBUFFER_WBUFFER);
        const int function[] = {GR_CMP_LESS, GR_CMP_LEQUAL, GR_CMP_NOTEQUAL, GR_CMP_ALWAYS};
        grDepthBufferFunction(function[rng() % 4]);
        grDepthBiasLevel(static_cast<FxI16>(static_cast<int>(rng() % 400) - 200));
        depthMask = scene % 3 != 2;
        const int dither[] = {GR_DITHER_4x4, GR_DITHER_2x2, GR_DITHER_DISABLE};
        grDitherMode(dither[scene % 3]);
        GrFog_t table[GR_FOG_TABLE_SIZE];
        for (int i = 0; i < GR_FOG_TABLE_SIZE; ++i)
            table[i] = static_cast<GrFog_t>(scene % 2 ? i * 4 : rng());
        grFogTable(table);
        const int fog[] = {GR_FOG_WITH_TABLE, GR_FOG_WITH_TABLE | GR_FOG_MULT2, GR_FOG_WITH_TABLE | GR_FOG_ADD2,
                           GR_FOG_DISABLE};
        grFogMode(fog[scene % 4]);
        grFogColorValue(0x00406080);
        grCullMode(GR_CULL_DISABLE);
    }

    // Colour and depth after clearing and calling draw().
    template <typename Draw>
    std::vector<std::uint16_t> picture(Draw&& draw)
    {
        grDepthMask(FXTRUE);
        grBufferClear(0x00123456, 0, 0xFFFF);
        grDepthMask(depthMask);
        draw();
        std::vector<std::uint16_t> out = readBuffer();
        std::vector<std::uint16_t> depth = readBuffer(GR_BUFFER_AUXBUFFER);
        out.insert(out.end(), depth.begin(), depth.end());
        return out;
    }

    std::vector<std::uint16_t> draw(int scene, int triangles = 150)
    {
        return picture([&] {
            float size = scene % 2 ? 150.0f : 9.0f;
            int count = triangles * (scene % 2 ? 1 : 40);
            std::mt19937 rng(static_cast<unsigned>(scene) + 1000);
            auto uniform = [&](float a, float b) { return std::uniform_real_distribution<float>(a, b)(rng); };
            for (int t = 0; t < count; ++t) {
                GrVertex v[3];
                float cx = uniform(-20, 660), cy = uniform(-20, 500);
                for (GrVertex& q : v) {
                    float w = rng() % 8 == 0 ? uniform(-2, 4) : uniform(1, 2000);
                    q = vertex(cx + uniform(-size, size), cy + uniform(-size, size), 0, 0, 0, 255, 1.0f / w);
                    q.tmuvtx[0].sow = uniform(-600, 600) * q.oow;
                    q.tmuvtx[0].tow = uniform(-600, 600) * q.oow;
                }
                grDrawTriangle(&v[0], &v[1], &v[2]);
            }
        });
    }

    // Pixels that differ between the widest build and the portable one, and
    // between the widest and the one-pixel pipeline, drawing with draw().
    template <typename Draw>
    std::pair<int, int> differences(Draw&& draw)
    {
        glide2UsePortablePixelLoops(false);
        std::vector<std::uint16_t> widest = picture(draw);
        glide2UsePortablePixelLoops(true);
        std::vector<std::uint16_t> portable = picture(draw);
        glide2UseOnePixelLoop(true);
        std::vector<std::uint16_t> onePixel = picture(draw);
        glide2UseOnePixelLoop(false);
        glide2UsePortablePixelLoops(false);
        std::pair<int, int> d{0, 0};
        for (std::size_t i = 0; i < widest.size(); ++i) {
            d.first += widest[i] != portable[i];
            d.second += widest[i] != onePixel[i];
        }
        return d;
    }
};

TEST_F(PixelLoopTest, EveryBuildDrawsTheSamePixels)
{
    for (int scene = 0; scene < 12; ++scene) {
        SCOPED_TRACE(scene);
        setScene(scene);
        std::vector<std::uint16_t> widest = draw(scene), cleared = draw(scene, 0);
        int drawn = 0;
        for (std::size_t i = 0; i < 640 * 480; ++i)
            drawn += widest[i] != cleared[i];
        std::pair<int, int> d = differences([&] { draw(scene); });
        EXPECT_EQ(d.first, 0);
        EXPECT_EQ(d.second, 0);
        EXPECT_GT(drawn, 20000);
    }
}

// Rows gathered from triangles taller than a batch of rows, lanes waiting
// across a fan's triangles and overlapping redraws, and texture coordinates
// past the limits or not numbers: every build still draws what the one-pixel
// pipeline draws.
TEST_F(PixelLoopTest, SliversFansAndWildCoordinatesDrawAsOnePixelDoes)
{
    for (int scene : {0, 1, 4, 5, 6}) {
        SCOPED_TRACE(scene);
        setScene(scene);
        std::mt19937 rng;
        auto uniform = [&](float a, float b) { return std::uniform_real_distribution<float>(a, b)(rng); };
        auto at = [&](float x, float y, float w, float s, float t) {
            GrVertex v = vertex(x, y, 0, 0, 0, 255, 1.0f / w);
            v.tmuvtx[0].sow = s * v.oow;
            v.tmuvtx[0].tow = t * v.oow;
            return v;
        };
        auto slivers = [&] {
            rng.seed(static_cast<unsigned>(scene) + 7); // the same triangles for every build
            for (int n = 0; n < 60; ++n) {
                float x = uniform(0, 640), y = uniform(-10, 300), w = uniform(20, 900);
                float right = x + uniform(1, 6), bottomX = x + uniform(-30, 30), bottomY = y + uniform(40, 200);
                for (float shift : {0.0f, 100.0f}) { // drawn again over itself, as deep: order shows
                    GrVertex a = at(x, y, w, shift, 0), b = at(right, y, w, 40 + shift, 0),
                             c = at(bottomX, bottomY, w * 1.5f, shift, 300);
                    grDrawTriangle(&a, &b, &c);
                }
            }
        };
        auto fans = [&] {
            for (int repeat = 0; repeat < 2; ++repeat)
                for (int n = 0; n < 40; ++n) {
                    float cx = 16.0f * static_cast<float>(n % 40), cy = 12.0f * static_cast<float>(n / 2 % 40);
                    GrVertex hub = at(cx + 8, cy + 8, 200 + 300.0f * static_cast<float>(repeat), 0, 0);
                    for (int k = 0; k < 8; ++k) {
                        float a0 = 0.785f * static_cast<float>(k), a1 = a0 + 0.785f;
                        GrVertex p = at(cx + 8 + 7 * std::cos(a0), cy + 8 + 7 * std::sin(a0), 300, 50, 0),
                                 q = at(cx + 8 + 7 * std::cos(a1), cy + 8 + 7 * std::sin(a1), 300, 0, 50);
                        grDrawTriangle(&hub, &p, &q);
                    }
                }
        };
        auto wild = [&] {
            rng.seed(static_cast<unsigned>(scene) + 8);
            const float extremes[] = {1e30f, -1e30f, 3e9f, std::nanf(""), 1e-30f};
            for (int n = 0; n < 200; ++n) {
                float x = uniform(0, 620), y = uniform(0, 460), w = uniform(1, 50);
                GrVertex a = at(x, y, w, extremes[n % 5], 0), b = at(x + 12, y + 2, w, 0, extremes[(n + 2) % 5]),
                         c = at(x + 3, y + 11, w, 5, 5);
                grDrawTriangle(&a, &b, &c);
            }
        };
        EXPECT_EQ(differences(slivers), std::make_pair(0, 0));
        EXPECT_EQ(differences(fans), std::make_pair(0, 0));
        EXPECT_EQ(differences(wild), std::make_pair(0, 0));
    }
}

// A small triangle's pixels may wait for a full group of lanes: a triangle
// drawn alike over them must see their depths, and one drawn by another path
// must still end up on top.
TEST_F(PixelLoopTest, PixelsWaitingForLanesComeBeforeTheNextDrawing)
{
    setScene(4);
    grDepthBufferMode(GR_DEPTHBUFFER_WBUFFER);
    grDepthBufferFunction(GR_CMP_LESS);
    grDepthBiasLevel(0);
    grDepthMask(FXTRUE);
    auto small = [](float s) {
        GrVertex a = vertex(10, 10, 0, 0, 0, 255, 0.5f, s, 3), b = vertex(13, 10, 0, 0, 0, 255, 0.5f, s + 6, 3),
                 c = vertex(10, 12, 0, 0, 0, 255, 0.5f, s, 7);
        grDrawTriangle(&a, &b, &c);
    };
    grBufferClear(0, 0, 0xFFFF);
    small(3);
    std::vector<std::uint16_t> first = readBuffer();
    grBufferClear(0, 0, 0xFFFF);
    small(3);
    small(40); // as deep as the first: fails the test everywhere
    EXPECT_EQ(readBuffer(), first);

    auto gouraud = [] {
        grColorCombine(GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_NONE, GR_COMBINE_LOCAL_ITERATED,
                       GR_COMBINE_OTHER_CONSTANT, FXFALSE);
        grDepthBufferMode(GR_DEPTHBUFFER_DISABLE);
        GrVertex a = vertex(0, 0, 250, 10, 10), b = vertex(60, 0, 10, 250, 10), c = vertex(0, 60, 10, 10, 250);
        grDrawTriangle(&a, &b, &c);
    };
    gouraud();
    std::vector<std::uint16_t> alone = readBuffer();
    setScene(4);
    grBufferClear(0, 0, 0xFFFF);
    small(3);
    gouraud();
    EXPECT_EQ(readBuffer(), alone);
}

} // namespace
