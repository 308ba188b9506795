#include "card_fixture.h"

#include "glide2/tdf_format.h"

#include <vector>

namespace {

// Intensity maps, so that a texel's value is the pixel's grey.
GrMipMapId_t intensityTexture(int largeLod, int smallLod, int aspect, const std::vector<std::uint8_t>& texels,
                              int clamp, int filter, int mipmapMode)
{
    GrMipMapId_t id = guTexAllocateMemory(GR_TMU0, GR_MIPMAPLEVELMASK_BOTH, 0, 0, GR_TEXFMT_INTENSITY_8, mipmapMode,
                                          smallLod, largeLod, aspect, clamp, clamp, filter, filter, 0.0f, FXFALSE);
    guTexDownloadMipMap(id, texels.data(), nullptr);
    guTexSource(id);
    return id;
}

class TextureTest : public CardTest {
protected:
    void SetUp() override
    {
        CardTest::SetUp();
        grDitherMode(GR_DITHER_DISABLE);
        grColorCombine(GR_COMBINE_FUNCTION_SCALE_OTHER, GR_COMBINE_FACTOR_ONE, GR_COMBINE_LOCAL_CONSTANT,
                       GR_COMBINE_OTHER_TEXTURE, FXFALSE);
        grTexCombine(GR_TMU0, GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_NONE, GR_COMBINE_FUNCTION_LOCAL,
                     GR_COMBINE_FACTOR_NONE, FXFALSE, FXFALSE);
    }

    // A screen rectangle mapped to s0..s1, t0..t1 at constant w.
    void texturedRect(float x0, float y0, float x1, float y1, float s0, float t0, float s1, float t1, float w = 1)
    {
        float oow = 1.0f / w;
        GrVertex a = vertex(x0, y0, 0, 0, 0, 255, oow, s0 * oow, t0 * oow);
        GrVertex b = vertex(x1, y0, 0, 0, 0, 255, oow, s1 * oow, t0 * oow);
        GrVertex c = vertex(x1, y1, 0, 0, 0, 255, oow, s1 * oow, t1 * oow);
        GrVertex d = vertex(x0, y1, 0, 0, 0, 255, oow, s0 * oow, t1 * oow);
        grDrawTriangle(&a, &b, &c);
        grDrawTriangle(&a, &c, &d);
    }

    // The grey of a pixel as its green channel (6 bits) holds it.
    int grey(const std::vector<std::uint16_t>& b, int x, int y) { return (b[y * 640 + x] >> 5) & 63; }
};

TEST_F(TextureTest, OneRepeatSpansZeroTo256WhateverTheMapSize)
{
    for (int lod : {GR_LOD_8, GR_LOD_64, GR_LOD_256}) {
        SCOPED_TRACE(lod);
        int size = 256 >> lod;
        std::vector<std::uint8_t> texels(static_cast<std::size_t>(size) * size);
        for (int j = 0; j < size; ++j)
            for (int i = 0; i < size; ++i)
                texels[j * size + i] = static_cast<std::uint8_t>(((i * 4 + j * 36) % 64) * 4);
        guTexMemReset();
        intensityTexture(lod, lod, GR_ASPECT_1x1, texels, GR_TEXTURECLAMP_WRAP, GR_TEXTUREFILTER_POINT_SAMPLED,
                         GR_MIPMAP_DISABLE);
        grBufferClear(0, 0, 0xFFFF);
        texturedRect(0, 0, 256, 256, 0, 0, 256, 256);
        std::vector<std::uint16_t> b = readBuffer();
        int step = 256 / size;
        for (int j = 0; j < size; j += (size > 8 ? 7 : 1))
            for (int i = 0; i < size; i += (size > 8 ? 5 : 1))
                ASSERT_EQ(grey(b, i * step + step / 2, j * step + step / 2), texels[j * size + i] >> 2)
                    << i << "," << j;
    }
}

TEST_F(TextureTest, WrapRepeatsAndClampHoldsTheEdgeTexels)
{
    // 8 x 8, columns 0..7 with greys 0, 32, ..., 224.
    std::vector<std::uint8_t> texels(64);
    for (int j = 0; j < 8; ++j)
        for (int i = 0; i < 8; ++i)
            texels[j * 8 + i] = static_cast<std::uint8_t>(i * 32);
    struct Case {
        int clamp;
        int columnAtMinus16, columnAt272;
    } cases[] = {{GR_TEXTURECLAMP_WRAP, 7, 0}, {GR_TEXTURECLAMP_CLAMP, 0, 7}};
    for (const Case& c : cases) {
        guTexMemReset();
        intensityTexture(GR_LOD_8, GR_LOD_8, GR_ASPECT_1x1, texels, c.clamp, GR_TEXTUREFILTER_POINT_SAMPLED,
                         GR_MIPMAP_DISABLE);
        grBufferClear(0, 0, 0xFFFF);
        // s from -256 to 512 over 768 pixels: pixel x sits at s = x - 256 + 0.5.
        texturedRect(0, 0, 640, 8, -256, 0, 384, 256);
        std::vector<std::uint16_t> b = readBuffer();
        EXPECT_EQ(grey(b, 256 - 16, 2), texels[c.columnAtMinus16] >> 2) << c.clamp;
        EXPECT_EQ(grey(b, 256 + 272, 2), texels[c.columnAt272] >> 2) << c.clamp;
        EXPECT_EQ(grey(b, 256 + 100, 2), texels[3] >> 2) << c.clamp;
    }
}

TEST_F(TextureTest, MipLevelFollowsTexelsPerPixelAndDepth)
{
    // A 256 chain where level n is the flat grey 20 * (n + 1).
    std::vector<std::uint8_t> texels;
    for (int lod = 0; lod <= 8; ++lod)
        texels.insert(texels.end(), static_cast<std::size_t>((256 >> lod) * (256 >> lod)),
                      static_cast<std::uint8_t>(20 * (lod + 1)));
    intensityTexture(GR_LOD_256, GR_LOD_1, GR_ASPECT_1x1, texels, GR_TEXTURECLAMP_WRAP, GR_TEXTUREFILTER_POINT_SAMPLED,
                     GR_MIPMAP_NEAREST);
    struct Case {
        float pixelsPer256; // screen pixels over which s runs 0..256
        float w;
        int level;
    } cases[] = {
        {512, 1, 0}, {256, 1, 0}, {128, 1, 1}, {64, 1, 2}, {256, 2, 1}, {256, 4, 2}, {8, 1, 5}, {1, 1, 8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.pixelsPer256 << " pixels, w " << c.w);
        grBufferClear(0, 0, 0xFFFF);
        // The same s/w across the screen at a larger w covers more texels per pixel.
        float s1 = 256 * 64 / c.pixelsPer256 * c.w;
        texturedRect(0, 0, 64, 64, 0, 0, s1, s1, c.w);
        std::vector<std::uint16_t> b = readBuffer();
        EXPECT_EQ(grey(b, 30, 30), (20 * (c.level + 1)) >> 2);
    }
    // Without mipmapping the largest level serves every size.
    grTexMipMapMode(GR_TMU0, GR_MIPMAP_DISABLE, FXFALSE);
    grBufferClear(0, 0, 0xFFFF);
    texturedRect(0, 0, 64, 64, 0, 0, 1024, 1024);
    EXPECT_EQ(grey(readBuffer(), 30, 30), 20 >> 2);
}

TEST_F(TextureTest, BilinearSamplesBetweenTexelCentres)
{
    // Columns alternate black and white; 8 pixels per texel, so s = (x + 0.5) * 4.
    std::vector<std::uint8_t> texels(64);
    for (int j = 0; j < 8; ++j)
        for (int i = 0; i < 8; ++i)
            texels[j * 8 + i] = (i & 1) ? 255 : 0;
    struct Case {
        int filter;
        int x;
        int value;
    } cases[] = {
        // Bilinear: i' = (x + 0.5) / 8 - 0.5, in 1/16 steps.
        {GR_TEXTUREFILTER_BILINEAR, 3, 0},    // still clamped onto texel 0
        {GR_TEXTUREFILTER_BILINEAR, 4, 15},   // 1/16 of texel 1
        {GR_TEXTUREFILTER_BILINEAR, 8, 143},  // 9/16 of texel 1
        {GR_TEXTUREFILTER_BILINEAR, 11, 239}, // 15/16 of texel 1
        {GR_TEXTUREFILTER_BILINEAR, 12, 239}, // 1/16 towards texel 2
        {GR_TEXTUREFILTER_POINT_SAMPLED, 4, 0}, {GR_TEXTUREFILTER_POINT_SAMPLED, 8, 255},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "filter " << c.filter << " x " << c.x);
        guTexMemReset();
        intensityTexture(GR_LOD_8, GR_LOD_8, GR_ASPECT_1x1, texels, GR_TEXTURECLAMP_CLAMP, c.filter,
                         GR_MIPMAP_DISABLE);
        grBufferClear(0, 0, 0xFFFF);
        texturedRect(0, 0, 64, 64, 0, 0, 256, 256);
        std::vector<std::uint16_t> b = readBuffer();
        EXPECT_EQ(b[10 * 640 + c.x],
                  static_cast<std::uint16_t>((c.value >> 3) << 11 | (c.value >> 2) << 5 | (c.value >> 3)));
    }
}

TEST_F(TextureTest, TexelFormatsDecodeAsTheCardExpandsThem)
{
    grAlphaCombine(GR_COMBINE_FUNCTION_SCALE_OTHER, GR_COMBINE_FACTOR_ONE, GR_COMBINE_LOCAL_CONSTANT,
                   GR_COMBINE_OTHER_TEXTURE, FXFALSE);
    grDitherMode(GR_DITHER_4x4);
    struct Case {
        int format;
        std::uint16_t texel;
        Rgb rgb;
    } cases[] = {
        {GR_TEXFMT_RGB_565, 0xF81F, {255, 0, 255}},
        {GR_TEXFMT_ARGB_1555, 0x7C00 | 0x8000, {255, 0, 0}},
        {GR_TEXFMT_ARGB_4444, 0xF8C4, {136, 204, 68}},
        {GR_TEXFMT_ALPHA_INTENSITY_88, 0x3377, {0x77, 0x77, 0x77}},
        {GR_TEXFMT_INTENSITY_8, 0x99, {0x99, 0x99, 0x99}},
        {GR_TEXFMT_ALPHA_8, 0x42, {0x42, 0x42, 0x42}},
        {GR_TEXFMT_ALPHA_INTENSITY_44, 0x3A, {170, 170, 170}},
        {GR_TEXFMT_RGB_332, 0xE3, {255, 0, 255}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.format);
        guTexMemReset();
        std::vector<std::uint16_t> wide(64, c.texel);
        std::vector<std::uint8_t> narrow(64, static_cast<std::uint8_t>(c.texel));
        GrMipMapId_t id = guTexAllocateMemory(GR_TMU0, 3, 8, 8, c.format, GR_MIPMAP_DISABLE, GR_LOD_8, GR_LOD_8,
                                              GR_ASPECT_1x1, 0, 0, 0, 0, 0.0f, FXFALSE);
        ASSERT_NE(id, GR_NULL_MIPMAP_HANDLE);
        guTexDownloadMipMap(id, c.format >= GR_TEXFMT_16BIT ? static_cast<const void*>(wide.data()) : narrow.data(),
                            nullptr);
        guTexSource(id);
        grBufferClear(0, 0, 0xFFFF);
        texturedRect(0, 0, 16, 16, 0, 0, 256, 256);
        EXPECT_EQ(flatColor(4, 4), c.rgb);
    }
}

} // namespace
