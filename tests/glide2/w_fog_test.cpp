#include "card_fixture.h"

#include "glide2/w_value.h"

namespace {

TEST(WValueTest, CheckValuesClampsAndMonotony)
{
    struct Case {
        float oow;
        std::uint16_t value;
    } cases[] = {
        {1.0f, 0x0000},
        {0.9999f, 0x0001},
        {1.0f / 1.3333333f, 0x0800},
        {1.0f / 1.5f, 0x0AAB},
        {0.5f, 0x1000},
        {1.0f / 3.0f, 0x1AAB},
        {0.25f, 0x2000},
        {0.125f, 0x3000},
        {0.1f, 0x3667},
        {0.01f, 0x6B86},
        {0.001f, 0x9F9E},
        {0.0001f, 0xD5CA},
        {1.0f / 52428.8f, 0xFC00},
        {1.0f / 65536.0f, 0xFFFF},
        {1.0f / 100000.0f, 0xFFFF},
        {0.0f, 0xFFFF},
        {2.0f, 0x0000},
        {-0.5f, 0x0000},
        {100.0f, 0x0000},
    };
    for (const Case& c : cases)
        EXPECT_EQ(wValueFromOow(c.oow), c.value) << "oow " << c.oow;
    std::uint16_t previous = 0;
    for (float w = 1.0f; w < 70000.0f; w *= 1.001f) {
        std::uint16_t v = wValueFromOow(1.0f / w);
        ASSERT_GE(v, previous) << "w " << w;
        previous = v;
    }
    EXPECT_EQ(previous, 0xFFFF);
}

TEST(FogTableTest, IndexToWAndLinearTable)
{
    struct Case {
        int index;
        float w;
    } cases[] = {{0, 1.0f},  {1, 1.142857f}, {2, 1.333333f}, {3, 1.6f},     {4, 2.0f},     {8, 4.0f},
                 {12, 8.0f}, {16, 16.0f},    {32, 256.0f},   {48, 4096.0f}, {63, 52428.8f}};
    for (const Case& c : cases) {
        EXPECT_NEAR(guFogTableIndexToW(c.index), c.w, c.w * 1e-5f) << c.index;
        // Each table w is where the w value has that index and no fraction.
        EXPECT_EQ(wValueFromOow(1.0f / guFogTableIndexToW(c.index)) >> 10, c.index) << c.index;
    }
    GrFog_t table[GR_FOG_TABLE_SIZE];
    guFogGenerateLinear(table, 400.0f, 1800.0f);
    for (int i = 0; i < GR_FOG_TABLE_SIZE; ++i) {
        float w = guFogTableIndexToW(i);
        if (w <= 400.0f) {
            EXPECT_EQ(table[i], 0) << i;
        } else if (w >= 1800.0f) {
            EXPECT_EQ(table[i], 255) << i;
        } else {
            EXPECT_EQ(table[i], static_cast<int>((w - 400.0f) / 1400.0f * 255.0f)) << i;
        }
        if (i > 0) {
            EXPECT_GE(table[i], table[i - 1]);
        }
    }
}

class FogTest : public CardTest {
protected:
    // Black, fogged towards white: the pixel's 8-bit red is the fog factor.
    Rgb fogged(float oow)
    {
        grBufferClear(0, 0, 0xFFFF);
        drawRect(0, 0, 16, 16, vertex(0, 0, 0, 0, 0, 255, oow));
        return flatColor(4, 4);
    }
};

TEST_F(FogTest, TableFogPerPixelWithInterpolation)
{
    GrFog_t table[GR_FOG_TABLE_SIZE];
    for (int i = 0; i < GR_FOG_TABLE_SIZE; ++i)
        table[i] = static_cast<GrFog_t>(i <= 20 ? i * 5 : (i == 21 ? 140 : 200));
    grFogTable(table);
    grFogColorValue(0x00FFFFFF);
    grFogMode(GR_FOG_WITH_TABLE);
    // Exactly at entry 20 (w = 32): the entry itself.
    EXPECT_EQ(fogged(1.0f / 32.0f), (Rgb{100, 100, 100}));
    // Half way to entry 21 (w value 0x5200): 100 + (140 - 100) / 2.
    EXPECT_EQ(fogged(0.029296875f), (Rgb{120, 120, 120}));
    // Disabled: no fog.
    grFogMode(GR_FOG_DISABLE);
    EXPECT_EQ(fogged(0.029296875f), (Rgb{0, 0, 0}));

    // The game's table: clear before 400, the fog colour from 1800 on.
    guFogGenerateLinear(table, 400.0f, 1800.0f);
    grFogTable(table);
    grFogMode(GR_FOG_WITH_TABLE);
    grFogColorValue(0x00406080);
    grBufferClear(0, 0, 0xFFFF);
    drawRect(0, 0, 16, 16, vertex(0, 0, 200, 100, 20, 255, 1.0f / 300.0f));
    drawRect(16, 0, 32, 16, vertex(0, 0, 200, 100, 20, 255, 1.0f / 4096.0f));
    // A zero factor still moves a channel above the fog colour down by one:
    // (fog - c) * (0 + 1) >> 8 is -1 for any c > fog.
    EXPECT_EQ(flatColor(4, 4), (Rgb{199, 99, 20}));
    EXPECT_EQ(flatColor(20, 4), (Rgb{0x40, 0x60, 0x80}));
}

} // namespace
