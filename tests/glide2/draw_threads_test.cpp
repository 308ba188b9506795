#include "card_fixture.h"

#include "glide2/draw_threads.h"

#include <chrono>
#include <random>
#include <thread>
#include <vector>

namespace {

class DrawThreadsTest : public CardTest {
protected:
    void TearDown() override
    {
        CardTest::TearDown();
        glide2SetThreadCount(0);
    }

    std::mt19937 rng{5};
    GrState initial;

    void SetUp() override
    {
        CardTest::SetUp();
        grGlideGetState(&initial);
    }

    float uniform(float a, float b) { return std::uniform_real_distribution<float>(a, b)(rng); }

    GrVertex randomVertex(float cx, float cy, float reach)
    {
        float w = uniform(1, 800);
        GrVertex v = vertex(cx + uniform(-reach, reach), cy + uniform(-reach, reach), uniform(0, 255), uniform(0, 255),
                            uniform(0, 255), uniform(0, 255), 1.0f / w);
        v.tmuvtx[0].sow = uniform(-300, 300) * v.oow;
        v.tmuvtx[0].tow = uniform(-300, 300) * v.oow;
        v.ooz = uniform(0, 65535);
        return v;
    }

    void triangles(int count, float reach = 120)
    {
        for (int i = 0; i < count; ++i) {
            float cx = uniform(0, 640), cy = uniform(0, 480);
            GrVertex a = randomVertex(cx, cy, reach), b = randomVertex(cx, cy, reach), c = randomVertex(cx, cy, reach);
            grDrawTriangle(&a, &b, &c);
        }
    }

    void download(GrMipMapId_t id, unsigned seed)
    {
        std::mt19937 texels(seed);
        std::vector<std::uint16_t> data(128 * 128 * 2);
        for (auto& t : data)
            t = static_cast<std::uint16_t>(texels());
        guTexDownloadMipMap(id, data.data(), nullptr);
    }

    // A frame that changes, between triangles, everything the queued
    // triangles depend on: modes, texels, the fog table, pixels written
    // through the frame buffer lock, the clip window, origin and buffer.
    std::vector<std::uint16_t> frame()
    {
        rng.seed(5);
        grDepthBufferMode(GR_DEPTHBUFFER_WBUFFER);
        grDepthMask(FXTRUE);
        grRenderBuffer(GR_BUFFER_FRONTBUFFER);
        grBufferClear(0x00102030, 0, 0xFFFF);
        grRenderBuffer(GR_BUFFER_BACKBUFFER);
        grBufferClear(0x00203040, 0, 0xFFFF);
        GrMipMapId_t id = guTexAllocateMemory(GR_TMU0, GR_MIPMAPLEVELMASK_BOTH, 128, 128, GR_TEXFMT_RGB_565,
                                              GR_MIPMAP_NEAREST, GR_LOD_1, GR_LOD_128, GR_ASPECT_1x1,
                                              GR_TEXTURECLAMP_WRAP, GR_TEXTURECLAMP_WRAP, GR_TEXTUREFILTER_BILINEAR,
                                              GR_TEXTUREFILTER_BILINEAR, 0.0f, FXFALSE);
        download(id, 1);
        guTexSource(id);
        grColorCombine(GR_COMBINE_FUNCTION_SCALE_OTHER, GR_COMBINE_FACTOR_ONE, GR_COMBINE_LOCAL_CONSTANT,
                       GR_COMBINE_OTHER_TEXTURE, FXFALSE);
        grTexCombine(GR_TMU0, GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_NONE, GR_COMBINE_FUNCTION_LOCAL,
                     GR_COMBINE_FACTOR_NONE, FXFALSE, FXFALSE);
        GrFog_t fog[GR_FOG_TABLE_SIZE];
        guFogGenerateLinear(fog, 10, 600);
        grFogTable(fog);
        grFogMode(GR_FOG_WITH_TABLE);
        grFogColorValue(0x00808080);
        triangles(150);
        download(id, 2);
        grSstOrigin(GR_ORIGIN_LOWER_LEFT);
        triangles(100);
        guFogGenerateLinear(fog, 300, 400);
        grFogTable(fog);
        triangles(100);

        grColorCombine(GR_COMBINE_FUNCTION_SCALE_OTHER_ADD_LOCAL, GR_COMBINE_FACTOR_TEXTURE_ALPHA,
                       GR_COMBINE_LOCAL_ITERATED, GR_COMBINE_OTHER_TEXTURE, FXFALSE);
        grAlphaCombine(GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_NONE, GR_COMBINE_LOCAL_ITERATED,
                       GR_COMBINE_OTHER_CONSTANT, FXFALSE);
        grAlphaBlendFunction(GR_BLEND_SRC_ALPHA, GR_BLEND_ONE_MINUS_SRC_ALPHA, GR_BLEND_ZERO, GR_BLEND_ZERO);
        grDepthBufferMode(GR_DEPTHBUFFER_ZBUFFER);
        triangles(80);
        for (int i = 0; i < 30; ++i) {
            float cx = uniform(0, 640), cy = uniform(0, 480);
            GrVertex a = randomVertex(cx, cy, 60), b = randomVertex(cx, cy, 60), c = randomVertex(cx, cy, 60);
            grAADrawTriangle(&a, &b, &c, FXTRUE, FXTRUE, FXTRUE);
        }

        GrLfbInfo_t info;
        info.size = sizeof info;
        if (grLfbLock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER, GR_LFBWRITEMODE_565, GR_ORIGIN_UPPER_LEFT, FXFALSE,
                      &info)) {
            for (int y = 100; y < 300; ++y)
                for (int x = 50; x < 400; x += 3)
                    reinterpret_cast<std::uint16_t*>(static_cast<std::uint8_t*>(info.lfbPtr) +
                                                     y * info.strideInBytes)[x] = 0xF81F;
            grLfbUnlock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER);
        }
        grClipWindow(100, 80, 500, 300);
        triangles(60, 300);
        grClipWindow(0, 0, 640, 480);
        grRenderBuffer(GR_BUFFER_FRONTBUFFER);
        triangles(40);
        grRenderBuffer(GR_BUFFER_BACKBUFFER);
        grBufferSwap(1);
        triangles(40);

        std::vector<std::uint16_t> out = readBuffer(GR_BUFFER_BACKBUFFER);
        for (int buffer : {GR_BUFFER_FRONTBUFFER, GR_BUFFER_AUXBUFFER}) {
            std::vector<std::uint16_t> more = readBuffer(buffer);
            out.insert(out.end(), more.begin(), more.end());
        }
        return out;
    }

    // Long runs between flushes: every triangle has its own constant colour
    // and blends by its iterated alpha, so a band drawn out of order shows.
    // The caller pauses between bursts (the helpers fall asleep and must be
    // woken), and the last run passes the queue's limit.
    std::vector<std::uint16_t> busyFrame()
    {
        rng.seed(9);
        grDepthBufferMode(GR_DEPTHBUFFER_WBUFFER);
        grDepthMask(FXTRUE);
        grDepthBufferFunction(GR_CMP_LEQUAL);
        grBufferClear(0x00000000, 0, 0xFFFF);
        grColorCombine(GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_NONE, GR_COMBINE_LOCAL_CONSTANT,
                       GR_COMBINE_OTHER_ITERATED, FXFALSE);
        grAlphaCombine(GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_NONE, GR_COMBINE_LOCAL_ITERATED,
                       GR_COMBINE_OTHER_CONSTANT, FXFALSE);
        grAlphaBlendFunction(GR_BLEND_SRC_ALPHA, GR_BLEND_ONE_MINUS_SRC_ALPHA, GR_BLEND_ZERO, GR_BLEND_ZERO);
        for (int burst = 0; burst < 4; ++burst) {
            for (int i = 0; i < 700; ++i) {
                grConstantColorValue(static_cast<GrColor_t>(rng()));
                triangles(1, 40);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(3));
        }
        grConstantColorValue(0x00C08040);
        triangles(70000, 3);
        grConstantColorValue(0x004080C0);
        triangles(300, 200);
        std::vector<std::uint16_t> out = readBuffer(GR_BUFFER_BACKBUFFER);
        std::vector<std::uint16_t> depth = readBuffer(GR_BUFFER_AUXBUFFER);
        out.insert(out.end(), depth.begin(), depth.end());
        return out;
    }
};

int differing(const std::vector<std::uint16_t>& a, const std::vector<std::uint16_t>& b)
{
    if (a.size() != b.size())
        return -1;
    int count = 0;
    for (std::size_t i = 0; i < a.size(); ++i)
        count += a[i] != b[i];
    return count;
}

TEST_F(DrawThreadsTest, ThreadsDrawWhatOneThreadDraws)
{
    glide2SetThreadCount(1);
    EXPECT_EQ(glide2ThreadCount(), 1);
    std::vector<std::uint16_t> one = frame();
    std::vector<std::uint32_t> presentedByOne = presented;
    ASSERT_EQ(presentCount, 1);

    glide2SetThreadCount(3);
    EXPECT_EQ(glide2ThreadCount(), 3);
    guTexMemReset();
    grGlideSetState(&initial);
    std::vector<std::uint16_t> three = frame();
    ASSERT_EQ(presentCount, 2);
    EXPECT_EQ(differing(one, three), 0);
    EXPECT_TRUE(presented == presentedByOne);

    // Something was drawn: the back buffer is not one flat clear.
    int changed = 0;
    for (std::size_t i = 1; i < 640 * 480; ++i)
        changed += one[i] != one[0];
    EXPECT_GT(changed, 100000);
}

TEST_F(DrawThreadsTest, ThreadsDrawingBehindTheCallerDrawWhatOneThreadDraws)
{
    glide2SetThreadCount(1);
    std::vector<std::uint16_t> one = busyFrame();
    for (int threads : {2, 3}) {
        glide2SetThreadCount(threads);
        EXPECT_EQ(glide2ThreadCount(), threads);
        grGlideSetState(&initial);
        EXPECT_EQ(differing(one, busyFrame()), 0) << threads << " threads";
    }

    // The bursts and the small triangles both left their mark.
    int black = 0;
    for (std::size_t i = 0; i < 640 * 480; ++i)
        black += one[i] == 0;
    EXPECT_LT(black, 640 * 480 / 4);
    EXPECT_GT(black, 0);
}

} // namespace
