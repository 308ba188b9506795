#include "card_fixture.h"

#include <vector>

namespace {

// Constants programs for the card name, with the card's values.
static_assert(GR_TEXTURECOMBINE_ZERO == 0 && GR_TEXTURECOMBINE_DECAL == 1 && GR_TEXTURECOMBINE_OTHER == 2 &&
              GR_TEXTURECOMBINE_ADD == 3 && GR_TEXTURECOMBINE_MULTIPLY == 4 && GR_TEXTURECOMBINE_SUBTRACT == 5 &&
              GR_TEXTURECOMBINE_DETAIL == 6 && GR_TEXTURECOMBINE_DETAIL_OTHER == 7 &&
              GR_TEXTURECOMBINE_TRILINEAR_ODD == 8 && GR_TEXTURECOMBINE_TRILINEAR_EVEN == 9 &&
              GR_TEXTURECOMBINE_ONE == 0xA);
static_assert(GR_TEXTABLE_NCC0 == 0 && GR_TEXTABLE_NCC1 == 1 && GR_TEXTABLE_PALETTE == 2);
static_assert(GR_CHROMAKEY_DISABLE == 0 && GR_CHROMAKEY_ENABLE == 1);

// An 8 x 8 single-level map of one 16-bit texel value.
GrMipMapId_t flatTexture(int format, std::uint16_t texel)
{
    std::vector<std::uint16_t> data(64, texel);
    GrMipMapId_t id = guTexAllocateMemory(GR_TMU0, GR_MIPMAPLEVELMASK_BOTH, 8, 8, format, GR_MIPMAP_DISABLE, GR_LOD_8,
                                          GR_LOD_8, GR_ASPECT_1x1, GR_TEXTURECLAMP_WRAP, GR_TEXTURECLAMP_WRAP,
                                          GR_TEXTUREFILTER_POINT_SAMPLED, GR_TEXTUREFILTER_POINT_SAMPLED, 0.0f,
                                          FXFALSE);
    guTexDownloadMipMap(id, data.data(), nullptr);
    guTexSource(id);
    return id;
}

void decal()
{
    grTexCombine(GR_TMU0, GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_NONE, GR_COMBINE_FUNCTION_LOCAL,
                 GR_COMBINE_FACTOR_NONE, FXFALSE, FXFALSE);
}

TEST_F(CardTest, CombineConfigurationsWithNumbers)
{
    struct Case {
        const char* name;
        void (*setup)();
        GrVertex v;
        Rgb expected;
    } cases[] = {
        {"vertex colour scaled by iterated alpha (the shared alpha local)",
         [] {
             grColorCombine(GR_COMBINE_FUNCTION_SCALE_OTHER, GR_COMBINE_FACTOR_LOCAL_ALPHA, GR_COMBINE_LOCAL_CONSTANT,
                            GR_COMBINE_OTHER_ITERATED, FXFALSE);
             grAlphaCombine(GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_NONE, GR_COMBINE_LOCAL_ITERATED,
                            GR_COMBINE_OTHER_CONSTANT, FXFALSE);
         },
         vertex(0, 0, 200, 100, 40, 128), Rgb{100, 50, 20}},
        {"same colour unit, alpha local switched to the constant",
         [] {
             grConstantColorValue(0x40FFFFFF);
             grColorCombine(GR_COMBINE_FUNCTION_SCALE_OTHER, GR_COMBINE_FACTOR_LOCAL_ALPHA, GR_COMBINE_LOCAL_CONSTANT,
                            GR_COMBINE_OTHER_ITERATED, FXFALSE);
             grAlphaCombine(GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_NONE, GR_COMBINE_LOCAL_CONSTANT,
                            GR_COMBINE_OTHER_CONSTANT, FXFALSE);
         },
         vertex(0, 0, 200, 100, 40, 128), Rgb{50, 25, 10}},
        {"texture colour (decal)",
         [] {
             grColorCombine(GR_COMBINE_FUNCTION_SCALE_OTHER, GR_COMBINE_FACTOR_ONE, GR_COMBINE_LOCAL_CONSTANT,
                            GR_COMBINE_OTHER_TEXTURE, FXFALSE);
             decal();
             flatTexture(GR_TEXFMT_RGB_565, static_cast<std::uint16_t>(20 << 11 | 40 << 5 | 5));
         },
         vertex(0, 0, 1, 2, 3), Rgb{165, 162, 41}},
        {"texture unit left at its default outputs zero",
         [] {
             grColorCombine(GR_COMBINE_FUNCTION_SCALE_OTHER, GR_COMBINE_FACTOR_ONE, GR_COMBINE_LOCAL_CONSTANT,
                            GR_COMBINE_OTHER_TEXTURE, FXFALSE);
             flatTexture(GR_TEXFMT_RGB_565, 0xFFFF);
         },
         vertex(0, 0, 1, 2, 3), Rgb{0, 0, 0}},
        {"constant colour",
         [] {
             grConstantColorValue(0x00336699);
             grColorCombine(GR_COMBINE_FUNCTION_SCALE_OTHER, GR_COMBINE_FACTOR_ONE, GR_COMBINE_LOCAL_CONSTANT,
                            GR_COMBINE_OTHER_CONSTANT, FXFALSE);
         },
         vertex(0, 0, 1, 2, 3), Rgb{0x33, 0x66, 0x99}},
        {"Gouraud default after opening", [] {}, vertex(0, 0, 10, 130, 250), Rgb{10, 130, 250}},
        {"other minus local plus local, inverted",
         [] {
             grConstantColorValue(0x00204060);
             grColorCombine(GR_COMBINE_FUNCTION_SCALE_OTHER_MINUS_LOCAL_ADD_LOCAL, GR_COMBINE_FACTOR_ONE,
                            GR_COMBINE_LOCAL_CONSTANT, GR_COMBINE_OTHER_ITERATED, FXTRUE);
         },
         vertex(0, 0, 100, 100, 100), Rgb{155, 155, 155}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        c.setup();
        drawRect(0, 0, 16, 16, c.v);
        EXPECT_EQ(flatColor(4, 4), c.expected);
    }
}

// Colour from the constant, coverage from the texture's alpha: the text state.
TEST_F(CardTest, TextureAlphaBlendsAtFullHalfAndZero)
{
    grDitherMode(GR_DITHER_DISABLE);
    grConstantColorValue(0x00C8C8C8);
    grColorCombine(GR_COMBINE_FUNCTION_SCALE_OTHER, GR_COMBINE_FACTOR_ONE, GR_COMBINE_LOCAL_CONSTANT,
                   GR_COMBINE_OTHER_CONSTANT, FXFALSE);
    grAlphaCombine(GR_COMBINE_FUNCTION_SCALE_OTHER, GR_COMBINE_FACTOR_ONE, GR_COMBINE_LOCAL_CONSTANT,
                   GR_COMBINE_OTHER_TEXTURE, FXFALSE);
    grAlphaBlendFunction(GR_BLEND_SRC_ALPHA, GR_BLEND_ONE_MINUS_SRC_ALPHA, GR_BLEND_ZERO, GR_BLEND_ZERO);
    decal();
    struct Case {
        std::uint16_t texel; // alpha:intensity 88
        std::uint16_t overBlack, overWhite;
    } cases[] = {
        // 200 * 256 >> 8 = 200 over anything
        {0xFF00, static_cast<std::uint16_t>(25 << 11 | 50 << 5 | 25),
         static_cast<std::uint16_t>(25 << 11 | 50 << 5 | 25)},
        // 200 * 129 >> 8 = 100; over white + 255 * 128 >> 8 = 127
        {0x8000, static_cast<std::uint16_t>(12 << 11 | 25 << 5 | 12),
         static_cast<std::uint16_t>(28 << 11 | 56 << 5 | 28)},
        // nothing of the source: the destination stays
        {0x0000, 0x0000, 0xFFFF},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.texel);
        flatTexture(GR_TEXFMT_ALPHA_INTENSITY_88, c.texel);
        grBufferClear(0, 0, 0xFFFF);
        grBufferClear(0x00FFFFFF, 0, 0xFFFF);
        grClipWindow(0, 0, 8, 8);
        grBufferClear(0, 0, 0xFFFF);
        grClipWindow(0, 0, 640, 480);
        drawRect(0, 0, 16, 8, vertex(0, 0));
        EXPECT_EQ(pixel(3, 3), c.overBlack);
        EXPECT_EQ(pixel(11, 3), c.overWhite);
    }
}

TEST_F(CardTest, IteratedAlphaBlendOverAStoredColour)
{
    grDitherMode(GR_DITHER_DISABLE);
    grAlphaCombine(GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_NONE, GR_COMBINE_LOCAL_ITERATED,
                   GR_COMBINE_OTHER_CONSTANT, FXFALSE);
    struct Case {
        float alpha;
        std::uint16_t expected;
    } cases[] = {
        {255, static_cast<std::uint16_t>(25 << 11 | 25 << 5 | 0)},  // the source (200, 100, 0)
        {0, static_cast<std::uint16_t>(12 << 11 | 40 << 5 | 25)},   // the destination
        {128, static_cast<std::uint16_t>(18 << 11 | 32 << 5 | 12)}, // (149, 131, 103)
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.alpha);
        grAlphaBlendFunction(GR_BLEND_ONE, GR_BLEND_ZERO, GR_BLEND_ONE, GR_BLEND_ZERO);
        // Destination 565 (12, 40, 25) reads back as (99, 162, 206).
        drawRect(0, 0, 16, 16, vertex(0, 0, 96, 160, 200));
        EXPECT_EQ(pixel(5, 5), static_cast<std::uint16_t>(12 << 11 | 40 << 5 | 25));
        grAlphaBlendFunction(GR_BLEND_SRC_ALPHA, GR_BLEND_ONE_MINUS_SRC_ALPHA, GR_BLEND_ZERO, GR_BLEND_ZERO);
        drawRect(0, 0, 16, 16, vertex(0, 0, 200, 100, 0, c.alpha));
        EXPECT_EQ(pixel(5, 5), c.expected);
    }
}

TEST_F(CardTest, UnsupportedArgumentsLeaveTheStateAlone)
{
    grConstantColorValue(0x00102030);
    grColorCombine(GR_COMBINE_FUNCTION_SCALE_OTHER, GR_COMBINE_FACTOR_ONE, GR_COMBINE_LOCAL_CONSTANT,
                   GR_COMBINE_OTHER_CONSTANT, FXFALSE);
    grColorCombine(0xA, GR_COMBINE_FACTOR_ONE, GR_COMBINE_LOCAL_CONSTANT, GR_COMBINE_OTHER_ITERATED, FXFALSE);
    grColorCombine(GR_COMBINE_FUNCTION_SCALE_OTHER, GR_COMBINE_FACTOR_TEXTURE_RGB, GR_COMBINE_LOCAL_CONSTANT,
                   GR_COMBINE_OTHER_ITERATED, FXFALSE);
    grColorCombine(GR_COMBINE_FUNCTION_SCALE_OTHER, GR_COMBINE_FACTOR_ONE, GR_COMBINE_LOCAL_DEPTH,
                   GR_COMBINE_OTHER_ITERATED, FXFALSE);
    grAlphaBlendFunction(GR_BLEND_RESERVED_8, GR_BLEND_ZERO, GR_BLEND_ONE, GR_BLEND_ZERO);
    grDepthBufferMode(GR_DEPTHBUFFER_WBUFFER_COMPARE_TO_BIAS);
    grFogMode(GR_FOG_WITH_ITERATED_ALPHA);
    drawRect(0, 0, 16, 16, vertex(0, 0, 250, 250, 250));
    EXPECT_EQ(flatColor(4, 4), (Rgb{0x10, 0x20, 0x30}));
    // Textures: a second unit, table formats and impossible level ranges get no memory.
    EXPECT_EQ(guTexAllocateMemory(GR_TMU1, 3, 8, 8, GR_TEXFMT_RGB_565, 0, GR_LOD_8, GR_LOD_8, GR_ASPECT_1x1, 0, 0, 0,
                                  0, 0.0f, FXFALSE),
              GR_NULL_MIPMAP_HANDLE);
    for (int format : {GR_TEXFMT_P_8, GR_TEXFMT_AP_88, GR_TEXFMT_YIQ_422, GR_TEXFMT_AYIQ_8422, GR_TEXFMT_RSVD0})
        EXPECT_EQ(guTexAllocateMemory(GR_TMU0, 3, 8, 8, format, 0, GR_LOD_8, GR_LOD_8, GR_ASPECT_1x1, 0, 0, 0, 0, 0.0f,
                                      FXFALSE),
                  GR_NULL_MIPMAP_HANDLE)
            << format;
    EXPECT_EQ(guTexAllocateMemory(GR_TMU0, 3, 8, 8, GR_TEXFMT_RGB_565, 0, GR_LOD_256, GR_LOD_8, GR_ASPECT_1x1, 0, 0, 0,
                                  0, 0.0f, FXFALSE),
              GR_NULL_MIPMAP_HANDLE);
    // 2 MB of texture memory: eleven full 256 x 256 RGB565 chains do not fit.
    int granted = 0;
    for (int i = 0; i < 12; ++i)
        granted += guTexAllocateMemory(GR_TMU0, 3, 256, 256, GR_TEXFMT_RGB_565, GR_MIPMAP_NEAREST, GR_LOD_1,
                                       GR_LOD_256, GR_ASPECT_1x1, 0, 0, 1, 1, 0.0f, FXFALSE) != GR_NULL_MIPMAP_HANDLE;
    EXPECT_EQ(granted, 11);
    guTexMemReset();
    EXPECT_EQ(guTexAllocateMemory(GR_TMU0, 3, 256, 256, GR_TEXFMT_RGB_565, GR_MIPMAP_NEAREST, GR_LOD_1, GR_LOD_256,
                                  GR_ASPECT_1x1, 0, 0, 1, 1, 0.0f, FXFALSE),
              0u);
}

} // namespace
