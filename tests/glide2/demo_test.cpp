// A whole frame as the game composes one: a picture through the linear frame
// buffer, fogged and textured ground from a .3df file, a Gouraud disc with
// antialiased rim and its translucent ghost, a translucent overlay. The
// presented frame is written to /tmp/glide2_demo.ppm for a look.

#include "card_fixture.h"

#include "tools/tdf/tdf_writer.h"

#include <cmath>
#include <cstdio>
#include <string>

namespace {

constexpr float snapBias = 786432.0f;

std::string writeGroundTexture()
{
    TdfImage img;
    img.width = img.height = 256;
    img.rgba.resize(256 * 256 * 4);
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) {
            bool check = ((x >> 5) + (y >> 5)) & 1;
            std::uint8_t* p = &img.rgba[(y * 256 + x) * 4];
            p[0] = static_cast<std::uint8_t>(check ? 200 : 60 + (x & 31));
            p[1] = static_cast<std::uint8_t>(check ? 170 : 120);
            p[2] = static_cast<std::uint8_t>(check ? 90 : 40 + (y & 63));
            p[3] = 255;
        }
    std::string path = ::testing::TempDir() + "glide2_demo_ground.3df";
    EXPECT_TRUE(tdfWriteFile(path, "rgb565", img, 1));
    return path;
}

GrMipMapId_t loadTexture(const std::string& path)
{
    Gu3dfInfo info{};
    EXPECT_EQ(gu3dfGetInfo(path.c_str(), &info), FXTRUE);
    std::vector<std::uint8_t> data(info.mem_required);
    info.data = data.data();
    EXPECT_EQ(gu3dfLoad(path.c_str(), &info), FXTRUE);
    GrMipMapId_t id = guTexAllocateMemory(GR_TMU0, GR_MIPMAPLEVELMASK_BOTH, info.header.width, info.header.height,
                                          info.header.format, GR_MIPMAP_NEAREST, info.header.small_lod,
                                          info.header.large_lod, info.header.aspect_ratio, GR_TEXTURECLAMP_WRAP,
                                          GR_TEXTURECLAMP_WRAP, GR_TEXTUREFILTER_BILINEAR, GR_TEXTUREFILTER_BILINEAR,
                                          0.0f, FXFALSE);
    guTexDownloadMipMap(id, info.data, &info.table.nccTable);
    return id;
}

void blitPicture()
{
    GrLfbInfo_t info;
    info.size = 20;
    ASSERT_EQ(grLfbLock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER, GR_LFBWRITEMODE_888, GR_ORIGIN_LOWER_LEFT, FXFALSE,
                        &info),
              FXTRUE);
    auto* words = static_cast<std::uint32_t*>(info.lfbPtr);
    for (int i = 0; i < 480; ++i)
        for (int j = 0; j < 640; ++j) {
            std::uint32_t r = static_cast<std::uint32_t>(40 + i / 4), g = static_cast<std::uint32_t>(80 + i / 3),
                          b = static_cast<std::uint32_t>(150 + i / 5);
            words[j + i * (info.strideInBytes / 4)] = (r << 16) | (g << 8) | b;
        }
    grLfbUnlock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER);
}

void drawGround(GrMipMapId_t id)
{
    GrState saved;
    grGlideGetState(&saved);
    grColorCombine(GR_COMBINE_FUNCTION_SCALE_OTHER, GR_COMBINE_FACTOR_ONE, GR_COMBINE_LOCAL_CONSTANT,
                   GR_COMBINE_OTHER_TEXTURE, FXFALSE);
    grTexCombine(GR_TMU0, GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_NONE, GR_COMBINE_FUNCTION_LOCAL,
                 GR_COMBINE_FACTOR_NONE, FXFALSE, FXFALSE);
    guTexSource(id);
    const float height = 350.0f, pitch = std::atan2(350.0f, 400.0f), c = std::cos(pitch), s = std::sin(pitch);
    auto project = [&](float wx, float wy) {
        float vy = -height * c + wy * s, vz = wy * c + height * s;
        GrVertex v{};
        v.oow = 1.0f / vz;
        v.x = (320.0f + 400.0f * wx / vz + snapBias) - snapBias;
        v.y = (240.0f + 400.0f * vy / vz + snapBias) - snapBias;
        v.a = 255.0f;
        v.tmuvtx[0].sow = 2.0f * wx * v.oow;
        v.tmuvtx[0].tow = 2.0f * wy * v.oow;
        return v;
    };
    for (int r = 0; r < 120; ++r)
        for (int k = -30; k < 30; ++k) {
            GrVertex a = project(k * 30.0f, r * 30.0f), b = project((k + 1) * 30.0f, r * 30.0f),
                     d = project(k * 30.0f, (r + 1) * 30.0f), e = project((k + 1) * 30.0f, (r + 1) * 30.0f);
            grDrawTriangle(&a, &d, &e);
            grDrawTriangle(&a, &e, &b);
        }
    grGlideSetState(&saved);
}

void drawDisc(float cx, float cy, float w, float ghostAlpha)
{
    float radius = 8000.0f / w;
    for (float angle = 0.0f; angle < 6.283186f; angle += 0.39269912f) {
        GrVertex centre = CardTest::vertex(cx + snapBias, cy + snapBias, 240, 60, 40, ghostAlpha, 1.0f / (w - 20));
        GrVertex a = CardTest::vertex(cx + radius * std::cos(angle + 0.39269912f) + snapBias,
                                      cy + radius * std::sin(angle + 0.39269912f) + snapBias, 24, 6, 4, ghostAlpha,
                                      ghostAlpha < 255 ? 100.0f : 1.0f / w);
        GrVertex b = CardTest::vertex(cx + radius * std::cos(angle) + snapBias,
                                      cy + radius * std::sin(angle) + snapBias, 24, 6, 4, ghostAlpha,
                                      ghostAlpha < 255 ? 100.0f : 1.0f / w);
        grAADrawTriangle(&centre, &a, &b, FXFALSE, FXTRUE, FXFALSE);
    }
}

void writePpm(const std::string& path, const std::vector<std::uint32_t>& pixels)
{
    std::FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fprintf(f, "P6\n640 480\n255\n");
    for (std::uint32_t p : pixels) {
        unsigned char rgb[3] = {static_cast<unsigned char>(p >> 16), static_cast<unsigned char>(p >> 8),
                                static_cast<unsigned char>(p)};
        std::fwrite(rgb, 1, 3, f);
    }
    std::fclose(f);
}

TEST(CardDemoTest, AWholeFrame)
{
    struct Capture {
        std::vector<std::uint32_t> pixels;
    } capture;
    glide2SetPresenter([](void* user, const std::uint32_t* pixels, int width,
                          int height) { static_cast<Capture*>(user)->pixels.assign(pixels, pixels + width * height); },
                       &capture);
    grGlideInit();
    GrHwConfiguration hw;
    ASSERT_EQ(grSstQueryHardware(&hw), FXTRUE);
    grSstSelect(0);
    ASSERT_EQ(grSstWinOpen(0, GR_RESOLUTION_640x480, GR_REFRESH_60Hz, GR_COLORFORMAT_ARGB, GR_ORIGIN_LOWER_LEFT, 2, 1),
              FXTRUE);
    grColorCombine(GR_COMBINE_FUNCTION_SCALE_OTHER, GR_COMBINE_FACTOR_LOCAL_ALPHA, GR_COMBINE_LOCAL_CONSTANT,
                   GR_COMBINE_OTHER_ITERATED, FXFALSE);
    grAlphaCombine(GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_NONE, GR_COMBINE_LOCAL_ITERATED,
                   GR_COMBINE_OTHER_CONSTANT, FXFALSE);
    grAlphaBlendFunction(GR_BLEND_SRC_ALPHA, GR_BLEND_ONE_MINUS_SRC_ALPHA, GR_BLEND_ZERO, GR_BLEND_ZERO);
    grDepthBufferMode(GR_DEPTHBUFFER_WBUFFER);
    grDepthBufferFunction(GR_CMP_LESS);
    grDepthMask(FXTRUE);
    grBufferClear(0, 0, 0xFFFF);
    grCullMode(GR_CULL_POSITIVE);
    GrFog_t table[GR_FOG_TABLE_SIZE];
    guFogGenerateLinear(table, 400.0f, 1800.0f);
    grFogTable(table);
    grFogMode(GR_FOG_WITH_TABLE);
    grFogColorValue(0x00B0C0D0);
    grTexFilterMode(GR_TMU0, GR_TEXTUREFILTER_BILINEAR, GR_TEXTUREFILTER_BILINEAR);
    GrMipMapId_t ground = loadTexture(writeGroundTexture());
    ASSERT_NE(ground, GR_NULL_MIPMAP_HANDLE);

    blitPicture();
    drawGround(ground);
    grCullMode(GR_CULL_DISABLE);
    drawDisc(320, 160, 300, 255);
    drawDisc(320, 160, 300, 40);
    drawDisc(420, 300, 900, 255); // behind the ground: only its ghost shows
    drawDisc(420, 300, 900, 40);
    grCullMode(GR_CULL_POSITIVE);
    // A translucent dark band, as the heads-up display draws one.
    GrState saved;
    grGlideGetState(&saved);
    grDisableAllEffects();
    grAlphaBlendFunction(GR_BLEND_SRC_ALPHA, GR_BLEND_ONE_MINUS_SRC_ALPHA, GR_BLEND_ZERO, GR_BLEND_ZERO);
    grColorCombine(GR_COMBINE_FUNCTION_SCALE_OTHER, GR_COMBINE_FACTOR_ONE, GR_COMBINE_LOCAL_CONSTANT,
                   GR_COMBINE_OTHER_ITERATED, FXFALSE);
    grSstOrigin(GR_ORIGIN_UPPER_LEFT);
    grCullMode(GR_CULL_DISABLE);
    CardTest::drawRect(20, 20, 620, 60, CardTest::vertex(0, 0, 0, 0, 0, 160));
    grGlideSetState(&saved);

    grBufferSwap(1);
    ASSERT_EQ(capture.pixels.size(), 640u * 480u);
    writePpm("/tmp/glide2_demo.ppm", capture.pixels);

    auto at = [&](int x, int yFromTop) { return capture.pixels[static_cast<std::size_t>(yFromTop) * 640 + x]; };
    auto red = [](std::uint32_t p) { return static_cast<int>(p >> 16); };
    auto green = [](std::uint32_t p) { return static_cast<int>((p >> 8) & 0xFF); };
    // The disc's centre shows the marble's red, nearer than the ground.
    EXPECT_GT(red(at(320, 480 - 1 - 160)), 200);
    EXPECT_LT(green(at(320, 480 - 1 - 160)), 140);
    // The top of the screen above the horizon shows the picture, darkened under the band.
    EXPECT_LT(red(at(320, 40)), red(at(320, 10)));
    // The ground fades into the fog colour (0xB0C0D0, shown through the gamma
    // curve) with distance.
    auto distanceToFog = [&](int row) {
        const int fog[3] = {206, 216, 226};
        long sum = 0;
        for (int x = 0; x < 640; ++x) {
            std::uint32_t p = at(x, row);
            sum += std::abs(static_cast<int>(p >> 16) - fog[0]) +
                   std::abs(static_cast<int>((p >> 8) & 0xFF) - fog[1]) +
                   std::abs(static_cast<int>(p & 0xFF) - fog[2]);
        }
        return sum / 640;
    };
    // Row 62 lies at w of about 1075, half way into the fog.
    EXPECT_LT(distanceToFog(62) * 10, distanceToFog(470) * 7);
    EXPECT_LT(distanceToFog(62), distanceToFog(200));
    grGlideShutdown();
    glide2SetPresenter(nullptr, nullptr);
}

} // namespace
