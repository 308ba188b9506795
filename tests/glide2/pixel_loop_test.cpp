#include "card_fixture.h"

#include "glide2/texel_span.h"

#include <random>
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

    std::vector<std::uint16_t> draw(int scene, int triangles = 150)
    {
        float size = scene % 2 ? 150.0f : 9.0f;
        triangles *= scene % 2 ? 1 : 40;
        std::mt19937 rng(static_cast<unsigned>(scene) + 1000);
        auto uniform = [&](float a, float b) { return std::uniform_real_distribution<float>(a, b)(rng); };
        grDepthMask(FXTRUE);
        grBufferClear(0x00123456, 0, 0xFFFF);
        grDepthMask(depthMask);
        for (int t = 0; t < triangles; ++t) {
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
        std::vector<std::uint16_t> out = readBuffer();
        std::vector<std::uint16_t> depth = readBuffer(GR_BUFFER_AUXBUFFER);
        out.insert(out.end(), depth.begin(), depth.end());
        return out;
    }
};

TEST_F(PixelLoopTest, EveryBuildDrawsTheSamePixels)
{
    for (int scene = 0; scene < 12; ++scene) {
        SCOPED_TRACE(scene);
        setScene(scene);
        glide2UsePortablePixelLoops(false);
        std::vector<std::uint16_t> widest = draw(scene);
        glide2UsePortablePixelLoops(true);
        std::vector<std::uint16_t> portable = draw(scene);
        std::vector<std::uint16_t> cleared = draw(scene, 0);
        glide2UseOnePixelLoop(true);
        std::vector<std::uint16_t> onePixel = draw(scene);
        int drawn = 0, differing = 0, differingFromOne = 0;
        for (std::size_t i = 0; i < 640 * 480; ++i)
            drawn += widest[i] != cleared[i];
        for (std::size_t i = 0; i < widest.size(); ++i) {
            differing += widest[i] != portable[i];
            differingFromOne += widest[i] != onePixel[i];
        }
        EXPECT_EQ(differing, 0);
        EXPECT_EQ(differingFromOne, 0);
        EXPECT_GT(drawn, 20000);
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
