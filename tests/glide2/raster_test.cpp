#include "card_fixture.h"

#include <cmath>

namespace {

constexpr float bias = 786432.0f;

// Flat, undithered, additive: a pixel drawn twice shows twice the red.
void additiveRed()
{
    grDitherMode(GR_DITHER_DISABLE);
    grAlphaBlendFunction(GR_BLEND_ONE, GR_BLEND_ONE, GR_BLEND_ZERO, GR_BLEND_ZERO);
}

TEST_F(CardTest, SharedEdgesAreDrawnExactlyOnce)
{
    additiveRed();
    const float r = 64; // stored red 8
    // A rectangle split along its diagonal, corners off the pixel grid.
    drawRect(10.25f, 20.75f, 50.75f, 61.25f, vertex(0, 0, r));
    // A fan of 12 triangles around an off-grid centre.
    const float cx = 200.3125f, cy = 150.6875f;
    for (int i = 0; i < 12; ++i) {
        float a0 = i * 0.5235988f, a1 = (i + 1) * 0.5235988f;
        GrVertex c = vertex(cx, cy, r);
        GrVertex p = vertex(std::round((cx + 40 * std::cos(a0)) * 16) / 16,
                            std::round((cy + 40 * std::sin(a0)) * 16) / 16, r);
        GrVertex q = vertex(std::round((cx + 40 * std::cos(a1)) * 16) / 16,
                            std::round((cy + 40 * std::sin(a1)) * 16) / 16, r);
        grDrawTriangle(&c, &p, &q);
    }
    std::vector<std::uint16_t> buffer = readBuffer();
    int twice = 0, rectPixels = 0;
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x) {
            int red = buffer[y * 640 + x] >> 11;
            twice += red > 8;
            rectPixels += red == 8 && x < 100;
        }
    EXPECT_EQ(twice, 0);
    // Centres inside [10.25, 50.75) x [20.75, 61.25): columns 10..50, rows 21..60.
    EXPECT_EQ(rectPixels, 41 * 40);
    // The fan has no hole at its centre and none along its spokes.
    for (int dy = -20; dy <= 20; ++dy)
        for (int dx = -20; dx <= 20; ++dx)
            ASSERT_EQ(buffer[(150 + dy) * 640 + 200 + dx] >> 11, 8) << dx << "," << dy;
}

TEST_F(CardTest, CoverageTakesTopAndLeftEdgesButNotBottomAndRight)
{
    grDitherMode(GR_DITHER_DISABLE);
    drawRect(10.5f, 10.5f, 20.5f, 20.5f, vertex(0, 0, 255));
    std::vector<std::uint16_t> b = readBuffer();
    auto on = [&](int x, int y) { return b[y * 640 + x] != 0; };
    EXPECT_TRUE(on(10, 10));
    EXPECT_TRUE(on(19, 19));
    EXPECT_FALSE(on(20, 15));
    EXPECT_FALSE(on(15, 20));
    EXPECT_FALSE(on(9, 15));
    EXPECT_FALSE(on(15, 9));
    EXPECT_EQ(coveredCount(), 100);
}

TEST_F(CardTest, BiasedAndUnbiasedVerticesGiveIdenticalPixels)
{
    struct Tri {
        float x[3], y[3];
    } tris[] = {
        {{10.0625f, 300.5f, 120.25f}, {5.125f, 40.75f, 400.9375f}},
        {{-30.5f, 60.25f, 10.0f}, {-12.0f, 200.0f, 470.125f}},      // crosses the left edge
        {{600.0f, 700.5f, 630.25f}, {460.0f, 470.0f, 500.5f}},      // crosses the right and bottom
        {{320.0625f, 321.0f, 320.5f}, {240.0f, 240.0625f, 241.0f}}, // tiny
    };
    std::vector<std::uint16_t> plain, biased;
    for (int pass = 0; pass < 2; ++pass) {
        grBufferClear(0, 0, 0xFFFF);
        for (const Tri& t : tris) {
            GrVertex v[3];
            for (int i = 0; i < 3; ++i) {
                float add = pass ? bias : 0.0f;
                v[i] = vertex(t.x[i] + add, t.y[i] + add, 80.0f * i, 255.0f - 60.0f * i, 30.0f + 100.0f * i);
            }
            grDrawTriangle(&v[0], &v[1], &v[2]);
        }
        (pass ? biased : plain) = readBuffer();
    }
    EXPECT_GT(coveredCount(), 1000);
    EXPECT_TRUE(plain == biased);
}

TEST_F(CardTest, CullingFollowsTheSignedAreaUnderBothOrigins)
{
    // a, b, c with S = (xb - xa)(yc - ya) - (xc - xa)(yb - ya) > 0.
    GrVertex a = vertex(10, 10, 255), b = vertex(50, 10, 255), c = vertex(10, 50, 255);
    struct Case {
        int origin, cull;
        bool positiveOrder, drawn;
    } cases[] = {
        {GR_ORIGIN_UPPER_LEFT, GR_CULL_DISABLE, true, true},   {GR_ORIGIN_UPPER_LEFT, GR_CULL_DISABLE, false, true},
        {GR_ORIGIN_UPPER_LEFT, GR_CULL_POSITIVE, true, false}, {GR_ORIGIN_UPPER_LEFT, GR_CULL_POSITIVE, false, true},
        {GR_ORIGIN_UPPER_LEFT, GR_CULL_NEGATIVE, true, true},  {GR_ORIGIN_UPPER_LEFT, GR_CULL_NEGATIVE, false, false},
        {GR_ORIGIN_LOWER_LEFT, GR_CULL_POSITIVE, true, false}, {GR_ORIGIN_LOWER_LEFT, GR_CULL_POSITIVE, false, true},
        {GR_ORIGIN_LOWER_LEFT, GR_CULL_NEGATIVE, true, true},  {GR_ORIGIN_LOWER_LEFT, GR_CULL_NEGATIVE, false, false},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(::testing::Message()
                     << "origin " << k.origin << " cull " << k.cull << " positive " << k.positiveOrder);
        grSstOrigin(k.origin);
        grCullMode(k.cull);
        grBufferClear(0, 0, 0xFFFF);
        if (k.positiveOrder)
            grDrawTriangle(&a, &b, &c);
        else
            grDrawTriangle(&a, &c, &b);
        std::vector<std::uint16_t> buffer = readBuffer();
        int row = k.origin == GR_ORIGIN_LOWER_LEFT ? 479 - 20 : 20;
        EXPECT_EQ(buffer[row * 640 + 20] != 0, k.drawn);
        EXPECT_EQ(buffer[(479 - row) * 640 + 20], 0);
    }
    // No area, nothing drawn, whatever the mode.
    grCullMode(GR_CULL_DISABLE);
    grBufferClear(0, 0, 0xFFFF);
    GrVertex d = vertex(30, 30, 255), e = vertex(90, 90, 255);
    grDrawTriangle(&a, &d, &e);
    grDrawTriangle(&a, &a, &b);
    EXPECT_EQ(coveredCount(), 0);
}

TEST_F(CardTest, ClipWindowBoundsTrianglesInTheCurrentOrigin)
{
    struct Case {
        int origin;
        int rowFirst, rowLast; // physical rows expected
    } cases[] = {{GR_ORIGIN_UPPER_LEFT, 50, 149}, {GR_ORIGIN_LOWER_LEFT, 480 - 150, 479 - 50}};
    for (const Case& k : cases) {
        grSstOrigin(k.origin);
        grClipWindow(0, 0, 640, 480);
        grBufferClear(0, 0, 0xFFFF);
        grClipWindow(100, 50, 200, 150);
        drawRect(-100, -100, 1000, 1000, vertex(0, 0, 255, 255, 255));
        std::vector<std::uint16_t> b = readBuffer();
        int count = 0, minX = 640, maxX = -1, minY = 480, maxY = -1;
        for (int y = 0; y < 480; ++y)
            for (int x = 0; x < 640; ++x)
                if (b[y * 640 + x]) {
                    ++count;
                    minX = std::min(minX, x), maxX = std::max(maxX, x);
                    minY = std::min(minY, y), maxY = std::max(maxY, y);
                }
        EXPECT_EQ(count, 100 * 100);
        EXPECT_EQ(minX, 100);
        EXPECT_EQ(maxX, 199);
        EXPECT_EQ(minY, k.rowFirst);
        EXPECT_EQ(maxY, k.rowLast);
    }
    // The window is clamped to the screen.
    grSstOrigin(GR_ORIGIN_UPPER_LEFT);
    grClipWindow(0, 0, 640, 480);
    grBufferClear(0, 0, 0xFFFF);
    grClipWindow(600, 400, 5000, 5000);
    drawRect(-100, -100, 1000, 1000, vertex(0, 0, 255, 255, 255));
    EXPECT_EQ(coveredCount(), 40 * 80);
}

TEST_F(CardTest, AntialiasedEdgeGetsAFadingFringeOutsideOnly)
{
    grDitherMode(GR_DITHER_DISABLE);
    grAlphaCombine(GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_NONE, GR_COMBINE_LOCAL_ITERATED,
                   GR_COMBINE_OTHER_CONSTANT, FXFALSE);
    grAlphaBlendFunction(GR_BLEND_SRC_ALPHA, GR_BLEND_ONE_MINUS_SRC_ALPHA, GR_BLEND_ZERO, GR_BLEND_ZERO);
    // A wide triangle whose long bottom edge b-c slopes gently (x-major).
    GrVertex a = vertex(100, 100, 255, 255, 255), b = vertex(300, 100.5f, 255, 255, 255),
             c = vertex(100, 140.5f, 255, 255, 255);
    GrVertex plainA = a, plainB = b, plainC = c;
    grDrawTriangle(&plainA, &plainB, &plainC);
    std::vector<std::uint16_t> plain = readBuffer();
    grBufferClear(0, 0, 0xFFFF);
    grAADrawTriangle(&a, &b, &c, FXFALSE, FXTRUE, FXFALSE);
    std::vector<std::uint16_t> aa = readBuffer();
    int fringe = 0;
    for (int i = 0; i < 640 * 480; ++i) {
        if (plain[i])
            ASSERT_EQ(aa[i], plain[i]) << "the triangle itself is unchanged";
        else if (aa[i]) {
            ++fringe;
            ASSERT_LT(aa[i] >> 11, 31) << "fringe pixels are partly transparent";
            int y = i / 640;
            ASSERT_GE(y, 100); // only below/right of b-c, away from a
        }
    }
    EXPECT_GT(fringe, 150);
    // A culled triangle draws no fringe either.
    grBufferClear(0, 0, 0xFFFF);
    grCullMode(GR_CULL_POSITIVE);
    grAADrawTriangle(&a, &b, &c, FXTRUE, FXTRUE, FXTRUE);
    EXPECT_EQ(coveredCount(), 0);
}

} // namespace
