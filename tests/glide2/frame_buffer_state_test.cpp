#include "card_fixture.h"

#include "glide2/swap_pacing.h"

#include <chrono>
#include <cmath>
#include <cstring>
#include <limits>

namespace {

TEST_F(CardTest, Lfb888WriteUsesTheCardStrideAndRowOrder)
{
    grDepthBufferMode(GR_DEPTHBUFFER_WBUFFER);
    grDepthMask(FXTRUE);
    grBufferClear(0x00204060, 0, 0xFFFF);
    std::vector<std::uint16_t> before = readBuffer();
    struct Case {
        int origin;
        int physicalRow; // of lock row 0
    } cases[] = {{GR_ORIGIN_LOWER_LEFT, 479}, {GR_ORIGIN_UPPER_LEFT, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.origin);
        GrLfbInfo_t info;
        info.size = sizeof info;
        ASSERT_EQ(grLfbLock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER, GR_LFBWRITEMODE_888, c.origin, FXFALSE, &info),
                  FXTRUE);
        EXPECT_EQ(info.strideInBytes, 4096u);
        EXPECT_EQ(info.writeMode, GR_LFBWRITEMODE_888);
        EXPECT_EQ(info.origin, c.origin);
        // Locking twice fails until unlocked.
        GrLfbInfo_t again = info;
        EXPECT_EQ(grLfbLock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER, GR_LFBWRITEMODE_888, c.origin, FXFALSE, &again),
                  FXFALSE);
        auto* words = static_cast<std::uint32_t*>(info.lfbPtr);
        std::size_t stride = info.strideInBytes / 4;
        words[0 * stride + 5] = 0x00FF0000;   // red, lock row 0
        words[1 * stride + 639] = 0xAA00FF00; // green; the top byte is ignored
        words[2 * stride + 0] = 0x000000FF;   // blue
        EXPECT_EQ(grLfbUnlock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER), FXTRUE);
        EXPECT_EQ(grLfbUnlock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER), FXFALSE);
        std::vector<std::uint16_t> after = readBuffer();
        int down = c.origin == GR_ORIGIN_LOWER_LEFT ? -1 : 1;
        EXPECT_EQ(after[c.physicalRow * 640 + 5], 0xF800);
        EXPECT_EQ(after[(c.physicalRow + down) * 640 + 639], 0x07E0);
        EXPECT_EQ(after[(c.physicalRow + 2 * down) * 640 + 0], 0x001F);
        int changed = 0;
        for (int i = 0; i < 640 * 480; ++i)
            changed += after[i] != before[i];
        EXPECT_EQ(changed, 3) << "pixels not written keep their value";
        grBufferClear(0x00204060, 0, 0xFFFF);
    }
    // The depth buffer is not touched by a colour write.
    EXPECT_EQ(depthAt(5, 479), 0xFFFF);
}

TEST_F(CardTest, LfbWritesConvertEveryWrittenWordAndKeepWhatIsDrawnUnderTheLock)
{
    grDitherMode(GR_DITHER_DISABLE);
    grBufferClear(0x00101010, 0, 0); // stored 0x1082, which shows as 0x101010
    grDitherMode(GR_DITHER_4x4);
    struct Case {
        int mode;
        std::uint32_t word; // the colour 0x101010 as written in that mode
        int bytes;
    } cases[] = {{GR_LFBWRITEMODE_888, 0x00101010, 4},
                 {GR_LFBWRITEMODE_8888, 0xFF101010, 4},
                 {GR_LFBWRITEMODE_555, 0x0842, 2},
                 {GR_LFBWRITEMODE_1555, 0x8842, 2}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        GrLfbInfo_t info;
        info.size = sizeof info;
        ASSERT_EQ(grLfbLock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER, c.mode, GR_ORIGIN_UPPER_LEFT, FXFALSE, &info),
                  FXTRUE);
        // A triangle drawn while the lock is held stays where nothing was written.
        drawRect(100, 100, 110, 110, vertex(0, 0, 255, 0, 0));
        auto* bytes = static_cast<std::uint8_t*>(info.lfbPtr);
        std::memcpy(bytes, &c.word, c.bytes);                                            // (0, 0)
        std::memcpy(bytes + 104 * info.strideInBytes + 104 * c.bytes, &c.word, c.bytes); // over the triangle
        ASSERT_EQ(grLfbUnlock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER), FXTRUE);
        // Written: dithered afresh, though the colour is the one shown. Not written: as stored.
        EXPECT_EQ(pixel(0, 0), 0x0861);
        EXPECT_EQ(pixel(1, 0), 0x1082);
        EXPECT_EQ(pixel(100, 100), 0xF800);
        EXPECT_EQ(pixel(104, 104), 0x0861);
        grDitherMode(GR_DITHER_DISABLE);
        grBufferClear(0x00101010, 0, 0);
        grDitherMode(GR_DITHER_4x4);
    }
}

TEST_F(CardTest, LfbLocksRefuseWhatTheCardDoesNotOffer)
{
    GrLfbInfo_t info;
    info.size = sizeof info;
    EXPECT_EQ(grLfbLock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER, GR_LFBWRITEMODE_888, GR_ORIGIN_UPPER_LEFT, FXTRUE,
                        &info),
              FXFALSE); // through the pixel pipeline
    EXPECT_EQ(grLfbLock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER, GR_LFBWRITEMODE_565_DEPTH, GR_ORIGIN_UPPER_LEFT,
                        FXFALSE, &info),
              FXFALSE);
    EXPECT_EQ(grLfbLock(GR_LFB_WRITE_ONLY, GR_BUFFER_TRIPLEBUFFER, GR_LFBWRITEMODE_565, GR_ORIGIN_UPPER_LEFT, FXFALSE,
                        &info),
              FXFALSE);
    EXPECT_EQ(grLfbLock(GR_LFB_READ_ONLY, GR_BUFFER_FRONTBUFFER, GR_LFBWRITEMODE_ANY, GR_ORIGIN_UPPER_LEFT, FXFALSE,
                        nullptr),
              FXFALSE);
    // A 565 write lock hands out 2048-byte rows and stores the words as given.
    ASSERT_EQ(grLfbLock(GR_LFB_WRITE_ONLY, GR_BUFFER_FRONTBUFFER, GR_LFBWRITEMODE_ANY, GR_ORIGIN_UPPER_LEFT, FXFALSE,
                        &info),
              FXTRUE);
    EXPECT_EQ(info.strideInBytes, 2048u);
    EXPECT_EQ(info.writeMode, GR_LFBWRITEMODE_565);
    static_cast<std::uint16_t*>(info.lfbPtr)[3 * 1024 + 7] = 0x1234;
    EXPECT_EQ(grLfbUnlock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER), FXFALSE); // not the locked buffer
    EXPECT_EQ(grLfbUnlock(GR_LFB_WRITE_ONLY, GR_BUFFER_FRONTBUFFER), FXTRUE);
    EXPECT_EQ(pixel(7, 3, GR_BUFFER_FRONTBUFFER), 0x1234);
}

TEST_F(CardTest, ClearFillsTheClipWindowAndDepthOnlyWhenWritable)
{
    grDitherMode(GR_DITHER_DISABLE);
    grClipWindow(10, 20, 30, 25);
    grBufferClear(0x00FFFFFF, 0, 0x1234); // depth buffering off: depth untouched
    EXPECT_EQ(coveredCount(), 20 * 5);
    EXPECT_EQ(pixel(10, 20), 0xFFFF);
    EXPECT_EQ(pixel(30, 20), 0);
    EXPECT_EQ(pixel(10, 25), 0);
    EXPECT_EQ(depthAt(10, 20), 0);
    grDepthBufferMode(GR_DEPTHBUFFER_WBUFFER);
    grBufferClear(0x00FFFFFF, 0, 0x1234); // depth mask still off
    EXPECT_EQ(depthAt(10, 20), 0);
    grDepthMask(FXTRUE);
    grBufferClear(0x00FFFFFF, 0, 0x1234);
    EXPECT_EQ(depthAt(10, 20), 0x1234);
    EXPECT_EQ(depthAt(9, 20), 0);
    // Under the lower-left origin the window counts rows from the bottom.
    grSstOrigin(GR_ORIGIN_LOWER_LEFT);
    grBufferClear(0x000000FF, 0, 0x1234);
    EXPECT_EQ(pixel(10, 479 - 20), 0x001F);
}

TEST_F(CardTest, WBufferKeepsTheNearerSurface)
{
    grDitherMode(GR_DITHER_DISABLE);
    grDepthBufferMode(GR_DEPTHBUFFER_WBUFFER);
    grDepthBufferFunction(GR_CMP_LESS);
    grDepthMask(FXTRUE);
    grBufferClear(0, 0, GR_WDEPTHVALUE_FARTHEST);
    drawRect(0, 0, 16, 16, vertex(0, 0, 255, 0, 0, 255, 1.0f / 100.0f)); // red at w 100
    drawRect(0, 0, 16, 16, vertex(0, 0, 0, 0, 255, 255, 1.0f / 200.0f)); // blue behind
    EXPECT_EQ(pixel(5, 5), 0xF800);
    drawRect(0, 0, 16, 16, vertex(0, 0, 0, 255, 0, 255, 1.0f / 50.0f)); // green in front
    EXPECT_EQ(pixel(5, 5), 0x07E0);
    EXPECT_EQ(depthAt(5, 5), 0x5B86); // w 50
    // Without depth writes a surface passes the test but leaves the depth.
    grDepthMask(FXFALSE);
    drawRect(0, 0, 16, 16, vertex(0, 0, 255, 255, 255, 255, 1.0f / 20.0f));
    EXPECT_EQ(pixel(5, 5), 0xFFFF);
    EXPECT_EQ(depthAt(5, 5), 0x5B86);
}

TEST_F(CardTest, StateSaveAndRestoreRoundTrip)
{
    static_assert(sizeof(GrState) == 312);
    GrFog_t table[GR_FOG_TABLE_SIZE];
    guFogGenerateLinear(table, 1.0f, 100.0f);
    grFogTable(table);
    auto scene = [&] {
        grBufferClear(0, 0, 0xFFFF);
        GrVertex a = vertex(10, 10, 200, 50, 90, 160, 0.1f), b = vertex(200, 30, 20, 250, 90, 40, 0.02f),
                 c = vertex(60, 220, 90, 90, 250, 255, 0.05f);
        grDrawTriangle(&a, &b, &c);
        grDrawTriangle(&a, &c, &b);
        return readBuffer();
    };
    grFogMode(GR_FOG_WITH_TABLE);
    grFogColorValue(0x00808000);
    grColorCombine(GR_COMBINE_FUNCTION_SCALE_OTHER, GR_COMBINE_FACTOR_LOCAL_ALPHA, GR_COMBINE_LOCAL_CONSTANT,
                   GR_COMBINE_OTHER_ITERATED, FXFALSE);
    grAlphaCombine(GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_NONE, GR_COMBINE_LOCAL_ITERATED,
                   GR_COMBINE_OTHER_CONSTANT, FXFALSE);
    grCullMode(GR_CULL_POSITIVE);
    grSstOrigin(GR_ORIGIN_LOWER_LEFT);
    std::vector<std::uint16_t> original = scene();
    int drawn = 0;
    for (std::uint16_t p : original)
        drawn += p != 0;
    EXPECT_GT(drawn, 10000);
    GrState saved;
    grGlideGetState(&saved);
    grDisableAllEffects();
    grFogColorValue(0x00FFFFFF);
    grColorCombine(GR_COMBINE_FUNCTION_SCALE_OTHER, GR_COMBINE_FACTOR_ONE, GR_COMBINE_LOCAL_CONSTANT,
                   GR_COMBINE_OTHER_CONSTANT, FXFALSE);
    grCullMode(GR_CULL_NEGATIVE);
    grSstOrigin(GR_ORIGIN_UPPER_LEFT);
    grClipWindow(0, 0, 100, 100);
    EXPECT_TRUE(scene() != original);
    grGlideSetState(&saved);
    EXPECT_TRUE(scene() == original);
}

TEST(CardSessionTest, NoPresenterNoCardAndPresentingAppliesGamma)
{
    glide2SetPresenter(nullptr, nullptr);
    grGlideInit();
    GrHwConfiguration hw;
    EXPECT_EQ(grSstQueryHardware(&hw), FXFALSE);
    EXPECT_EQ(grSstWinOpen(0, GR_RESOLUTION_640x480, GR_REFRESH_60Hz, GR_COLORFORMAT_ARGB, GR_ORIGIN_LOWER_LEFT, 2, 1),
              FXFALSE);

    struct Capture {
        std::vector<std::uint32_t> pixels;
        int width = 0, height = 0, calls = 0;
    } capture;
    glide2SetPresenter(
        [](void* user, const std::uint32_t* pixels, int width, int height) {
            auto* c = static_cast<Capture*>(user);
            c->pixels.assign(pixels, pixels + width * height);
            c->width = width, c->height = height, ++c->calls;
        },
        &capture);
    ASSERT_EQ(grSstQueryHardware(&hw), FXTRUE);
    EXPECT_EQ(hw.num_sst, 1);
    EXPECT_EQ(grSstWinOpen(0, GR_RESOLUTION_800x600, GR_REFRESH_60Hz, GR_COLORFORMAT_ARGB, GR_ORIGIN_LOWER_LEFT, 2, 1),
              FXFALSE);
    EXPECT_EQ(grSstWinOpen(0, GR_RESOLUTION_640x480, GR_REFRESH_60Hz, GR_COLORFORMAT_ARGB, GR_ORIGIN_LOWER_LEFT, 3, 1),
              FXFALSE);
    ASSERT_EQ(grSstWinOpen(0, GR_RESOLUTION_640x480, GR_REFRESH_60Hz, GR_COLORFORMAT_ARGB, GR_ORIGIN_LOWER_LEFT, 2, 1),
              FXTRUE);
    grDitherMode(GR_DITHER_DISABLE);
    grBufferClear(0x00FF8000, 0, 0xFFFF); // stored as 565 (31, 32, 0) = (255, 130, 0)
    grBufferSwap(1);
    ASSERT_EQ(capture.calls, 1);
    EXPECT_EQ(capture.width, 640);
    EXPECT_EQ(capture.height, 480);
    // The RAMDAC's curve: sampled every eighth value, interpolated between.
    // Red 255 lies between 251 (at 248) and 256 (at 256); green 130 between
    // 170 (at 128) and 176 (at 136).
    EXPECT_EQ(capture.pixels[1000], 255u << 16 | 171u << 8);
    // The buffers swapped: the new back buffer holds the old front (black).
    grBufferSwap(1);
    EXPECT_EQ(capture.pixels[1000], 0u);
    grGammaCorrectionValue(1.0f);
    grBufferSwap(1);
    EXPECT_EQ(capture.pixels[1000], 0x00FF8200u);
    grGammaCorrectionValue(1.7f);
    grBufferClear(0x00000400, 0, 0xFFFF); // stored green 1, shown as 4: half way from 0 to 33
    grBufferSwap(1);
    EXPECT_EQ(capture.pixels[1000], 16u << 8);
    grGlideShutdown();
    glide2SetPresenter(nullptr, nullptr);
}

// A display clock the test moves: sleeping jumps straight to the wake time.
struct SteppedTime {
    double now = 100.0;
    std::vector<double> sleeps;
};

TEST_F(CardTest, SwapsWaitForTheRetracesOfTheSixtyHertzMode)
{
    SteppedTime time;
    Glide2Clock clock{[](void* t) { return static_cast<SteppedTime*>(t)->now; },
                      [](void* t, double until) {
                          auto* st = static_cast<SteppedTime*>(t);
                          st->sleeps.push_back(until - st->now);
                          st->now = until;
                      },
                      &time};
    glide2SetClock(&clock);
    grGlideShutdown();
    open(GR_ORIGIN_UPPER_LEFT); // the display starts at 100.0
    glide2SetSwapWait(true);
    const double period = 1.0 / 60.0;

    // 30 quick frames take 30 retraces, each swap shown on its own retrace.
    for (int i = 0; i < 30; ++i) {
        time.now += 0.004;
        grBufferSwap(1);
        ASSERT_NEAR(time.now, 100.0 + (i + 1) * period, 1e-9) << i;
    }
    EXPECT_EQ(presentCount, 30);
    EXPECT_EQ(time.sleeps.size(), 30u);
    EXPECT_NEAR(glide2SecondsToNextRetrace(), period, 1e-9);

    // Interval 0 never waits; interval 2 skips a retrace.
    time.sleeps.clear();
    grBufferSwap(0);
    EXPECT_TRUE(time.sleeps.empty());
    grBufferSwap(2);
    EXPECT_NEAR(time.now, 100.0 + 32 * period, 1e-9);

    // A late frame is shown at once; the next swap counts from the retrace just passed.
    time.sleeps.clear();
    time.now += 1.5 * period;
    grBufferSwap(1);
    EXPECT_TRUE(time.sleeps.empty());
    EXPECT_NEAR(glide2SecondsToNextRetrace(), 0.5 * period, 1e-9);
    grBufferSwap(1);
    EXPECT_NEAR(time.now, 100.0 + 34 * period, 1e-9);

    // Turned off, nothing waits and there is no retrace to sleep for.
    glide2SetSwapWait(false);
    time.sleeps.clear();
    grBufferSwap(1);
    EXPECT_TRUE(time.sleeps.empty());
    EXPECT_EQ(glide2SecondsToNextRetrace(), 0.0);
    EXPECT_EQ(presentCount, 35);
}

TEST_F(CardTest, ThirtySwapsTakeHalfASecondOfRealTime)
{
    glide2SetSwapWait(true);
    auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < 30; ++i)
        grBufferSwap(1);
    EXPECT_GE(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 0.45);
}

} // namespace

namespace {

// State records that grGlideGetState did not write (here: noise) may give odd
// pictures but never reach outside the card's memory; the sanitizer build
// watches every access.
TEST_F(CardTest, ForeignStateRecordsStayInsideTheCard)
{
    std::vector<std::uint16_t> texels(64 * 64, 0x1234);
    GrMipMapId_t id = guTexAllocateMemory(GR_TMU0, 3, 64, 64, GR_TEXFMT_RGB_565, GR_MIPMAP_NEAREST, GR_LOD_64,
                                          GR_LOD_64, GR_ASPECT_1x1, 0, 0, 1, 1, 0.0f, FXFALSE);
    guTexDownloadMipMap(id, texels.data(), nullptr);
    std::uint32_t seed = 12345;
    for (int round = 0; round < 200; ++round) {
        GrState noise;
        for (char& c : noise.pad) {
            seed = seed * 1664525u + 1013904223u;
            c = static_cast<char>(seed >> 24);
        }
        grGlideSetState(&noise);
        GrVertex a = vertex(-50, -40, 10, 20, 30, 128, 0.5f, 10, 20),
                 b = vertex(700, 100, 200, 0, 0, 255, 0.01f, 900, 5),
                 c = vertex(300, 600, 0, 0, 255, 0, 0.2f, -300, 4000);
        grDrawTriangle(&a, &b, &c);
        grAADrawTriangle(&a, &c, &b, FXTRUE, FXTRUE, FXTRUE);
        grBufferClear(0x00808080, 0x80, 0x4000);
    }
    // Vertices carrying not-a-number and infinities are drawn without
    // undefined conversions.
    TearDown();
    SetUp();
    guTexSource(guTexAllocateMemory(GR_TMU0, 3, 64, 64, GR_TEXFMT_RGB_565, GR_MIPMAP_NEAREST, GR_LOD_64, GR_LOD_64,
                                    GR_ASPECT_1x1, 0, 0, 1, 1, 0.0f, FXFALSE));
    grDepthBufferMode(GR_DEPTHBUFFER_WBUFFER);
    grFogMode(GR_FOG_WITH_TABLE);
    const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
    for (int textured = 0; textured < 2; ++textured) {
        if (textured)
            grColorCombine(GR_COMBINE_FUNCTION_SCALE_OTHER, GR_COMBINE_FACTOR_ONE, GR_COMBINE_LOCAL_CONSTANT,
                           GR_COMBINE_OTHER_TEXTURE, FXFALSE);
        GrVertex a = vertex(10, 10, nan, inf, -inf, nan, nan, nan, inf), b = vertex(100, 10, 1, 2, 3, 4, inf, 1, 2),
                 c = vertex(10, 100, 1, 2, 3, 4, -inf, -inf, nan);
        grDrawTriangle(&a, &b, &c);
        GrVertex d = vertex(nan, 10, 1, 1, 1), e = vertex(inf, -inf, 1, 1, 1);
        grDrawTriangle(&d, &e, &c);
    }
    // Whatever the noise left, a sane record brings the card back.
    TearDown();
    SetUp();
    drawRect(0, 0, 16, 16, vertex(0, 0, 255, 255, 255));
    EXPECT_EQ(coveredCount(), 256);
}

} // namespace
