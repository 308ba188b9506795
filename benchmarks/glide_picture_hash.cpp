// Hashes of what the software card draws, to compare two builds of it: the
// level 1 run of glide_frame_benchmark (colour and depth of every tenth
// frame, fog on and off, one thread and all) and random scenes in the modes
// the card has paths for (texel only, Gouraud, modulated, blended, z and w
// buffers, fringes, both origins, clipped). Equal lines mean equal pictures.
// Run: ./build/benchmarks/glide_picture_hash (from anywhere).

#include "game/edition.h"
#include "game/game_state.h"
#include "game/options.h"
#include "glide2/draw_threads.h"
#include "glide2/glide.h"
#include "glide2/presenter.h"
#include "glide2/swap_pacing.h"
#include "levels/level_map.h"
#include "platform/platform.h"
#include "render/glide/glide_renderer.h"
#include "render/marble_draw.h"
#include "render/terrain_draw.h"
#include "scripted_platform.h"
#include "sim/camera.h"
#include "sim/marble.h"

#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <random>
#include <vector>

namespace {

void ignorePresent(void*, const std::uint32_t*, int, int) {}

// FNV-1a over the back buffer's and the depth buffer's rows.
void hashBuffers(std::uint64_t& h)
{
    for (int buffer : {GR_BUFFER_BACKBUFFER, GR_BUFFER_AUXBUFFER}) {
        GrLfbInfo_t info;
        info.size = sizeof info;
        if (grLfbLock(GR_LFB_READ_ONLY, buffer, GR_LFBWRITEMODE_ANY, GR_ORIGIN_UPPER_LEFT, FXFALSE, &info) != FXTRUE)
            continue;
        for (int y = 0; y < 480; ++y) {
            const auto* row = static_cast<const std::uint8_t*>(info.lfbPtr) + y * info.strideInBytes;
            for (int i = 0; i < 640 * 2; ++i)
                h = (h ^ row[i]) * 0x100000001b3ull;
        }
        grLfbUnlock(GR_LFB_READ_ONLY, buffer);
    }
}

void levelRun(bool fog, int threads)
{
    glide2SetThreadCount(threads);
    edition = Edition::Glide;
    ScriptedPlatform scripted;
    platform = &scripted;
    GlideRenderer glide;
    renderer = &glide;
    glide2SetPresenter(&ignorePresent, nullptr);
    glide2SetSwapWait(false);
    fogOn = fog;
    std::filesystem::path here = std::filesystem::current_path();
    std::filesystem::current_path(ORBIVALE_DATA_DIR "/glide");
    bool ready = glide.startGraphics() && levelMap.load("maps/level1.map", marble);
    std::filesystem::current_path(here);
    if (!ready) {
        std::fprintf(stderr, "the card or level 1 of the glide data did not load\n");
        return;
    }
    frameTime = 0.016f;
    cameraLag = 0.0f;
    resetCameraState();
    std::uint64_t h = 0xcbf29ce484222325ull;
    for (int frame = 0; frame < 600; ++frame) {
        float y = -5800.0f + 11600.0f * float(frame % 600) / 600.0f;
        float x = 200.0f * std::sin(float(frame) * 0.01f);
        marble.setPosition(Vec3(x, y, levelMap.heightAt(x, y)));
        updateCamera();
        drawTerrain(levelMap, cameraView, false, fog);
        drawMarble(marble, cameraView, levelMap, false);
        if (frame % 10 == 0)
            hashBuffers(h);
        glide.clearFrame(0.0f, 0.0f, 0.0f);
    }
    std::printf("level 1  fog %-3s threads %d  %016" PRIx64 "\n", fog ? "on" : "off", glide2ThreadCount(), h);
    glide.shutdownGraphics();
    glide2SetPresenter(nullptr, nullptr);
    renderer = nullptr;
    platform = nullptr;
}

void randomScene(int scene, int threads)
{
    std::mt19937 rng(static_cast<unsigned>(scene));
    auto uniform = [&](float a, float b) { return std::uniform_real_distribution<float>(a, b)(rng); };
    glide2SetThreadCount(threads);
    glide2SetPresenter(&ignorePresent, nullptr);
    glide2SetSwapWait(false);
    grGlideInit();
    GrHwConfiguration hw;
    grSstQueryHardware(&hw);
    grSstSelect(0);
    int origin = scene % 2 ? GR_ORIGIN_LOWER_LEFT : GR_ORIGIN_UPPER_LEFT;
    grSstWinOpen(0, GR_RESOLUTION_640x480, GR_REFRESH_60Hz, GR_COLORFORMAT_ARGB, origin, 2, 1);
    std::vector<std::uint16_t> texels(256 * 256 * 2);
    for (auto& t : texels)
        t = static_cast<std::uint16_t>(rng());
    int filter = (scene / 2) % 2, clamp = (scene / 4) % 2;
    GrMipMapId_t id = guTexAllocateMemory(GR_TMU0, GR_MIPMAPLEVELMASK_BOTH, 256, 256, GR_TEXFMT_RGB_565,
                                          GR_MIPMAP_NEAREST, GR_LOD_1, GR_LOD_256, GR_ASPECT_1x1, clamp, clamp, filter,
                                          filter, 0.0f, FXFALSE);
    guTexDownloadMipMap(id, texels.data(), nullptr);
    guTexSource(id);
    GrFog_t table[GR_FOG_TABLE_SIZE];
    for (int i = 0; i < GR_FOG_TABLE_SIZE; ++i)
        table[i] = static_cast<GrFog_t>(i * 4);
    grFogTable(table);
    grFogColorValue(0x00406080);
    grFogMode(scene % 3 ? GR_FOG_WITH_TABLE : GR_FOG_DISABLE);
    const int depth[] = {GR_DEPTHBUFFER_WBUFFER, GR_DEPTHBUFFER_ZBUFFER, GR_DEPTHBUFFER_DISABLE};
    grDepthBufferMode(depth[scene % 3]);
    grDepthBufferFunction(scene % 4 ? GR_CMP_LESS : GR_CMP_GEQUAL);
    grDepthMask(FXTRUE);
    grCullMode(scene % 5 == 0 ? GR_CULL_POSITIVE : GR_CULL_DISABLE);
    if (scene % 7 == 3)
        grClipWindow(37, 21, 601, 455);
    grBufferClear(0x00123456, 0, scene % 4 ? 0xFFFF : 0);
    for (int mode = 0; mode < 4; ++mode) {
        if (mode == 0) // the terrain's: the texel alone
            grColorCombine(GR_COMBINE_FUNCTION_SCALE_OTHER, GR_COMBINE_FACTOR_ONE, GR_COMBINE_LOCAL_CONSTANT,
                           GR_COMBINE_OTHER_TEXTURE, FXFALSE);
        else if (mode == 1) // Gouraud
            grColorCombine(GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_NONE, GR_COMBINE_LOCAL_ITERATED,
                           GR_COMBINE_OTHER_CONSTANT, FXFALSE);
        else // the texel times the iterated colour
            grColorCombine(GR_COMBINE_FUNCTION_SCALE_OTHER, GR_COMBINE_FACTOR_LOCAL, GR_COMBINE_LOCAL_ITERATED,
                           GR_COMBINE_OTHER_TEXTURE, FXFALSE);
        grAlphaCombine(GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_NONE, GR_COMBINE_LOCAL_ITERATED,
                       GR_COMBINE_OTHER_CONSTANT, FXFALSE);
        grTexCombine(GR_TMU0, GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_NONE, GR_COMBINE_FUNCTION_LOCAL,
                     GR_COMBINE_FACTOR_NONE, FXFALSE, FXFALSE);
        if (mode == 3)
            grAlphaBlendFunction(GR_BLEND_SRC_ALPHA, GR_BLEND_ONE_MINUS_SRC_ALPHA, GR_BLEND_ZERO, GR_BLEND_ZERO);
        else
            grAlphaBlendFunction(GR_BLEND_ONE, GR_BLEND_ZERO, GR_BLEND_ONE, GR_BLEND_ZERO);
        for (int t = 0; t < 3000; ++t) {
            float size = t % 10 == 0 ? 200.0f : (t % 2 ? 12.0f : 5.0f);
            float cx = uniform(-20, 660), cy = uniform(-20, 500);
            GrVertex v[3] = {};
            bool opaque = rng() % 2 == 0;
            for (GrVertex& q : v) {
                float w = rng() % 8 == 0 ? uniform(-2, 4) : uniform(1, 2000);
                q.x = cx + uniform(-size, size) + (t % 3 == 0 ? 786432.0f : 0.0f);
                q.y = cy + uniform(-size, size) + (t % 3 == 0 ? 786432.0f : 0.0f);
                q.r = uniform(-10, 265), q.g = uniform(0, 255), q.b = uniform(0, 255);
                q.a = opaque ? 255.0f : uniform(0, 255);
                q.oow = 1.0f / w;
                q.ooz = uniform(0, 65535);
                q.tmuvtx[0].sow = uniform(-600, 600) * q.oow;
                q.tmuvtx[0].tow = uniform(-600, 600) * q.oow;
            }
            if (t % 11 == 5)
                grAADrawTriangle(&v[0], &v[1], &v[2], FXTRUE, t % 2, FXFALSE);
            else
                grDrawTriangle(&v[0], &v[1], &v[2]);
        }
    }
    std::uint64_t h = 0xcbf29ce484222325ull;
    hashBuffers(h);
    std::printf("scene %2d threads %d  %016" PRIx64 "\n", scene, glide2ThreadCount(), h);
    grGlideShutdown();
    glide2SetPresenter(nullptr, nullptr);
}

} // namespace

int main()
{
    for (int threads : {1, 0}) {
        levelRun(true, threads);
        levelRun(false, threads);
    }
    for (int scene = 0; scene < 24; ++scene)
        randomScene(scene, scene % 4 == 1 ? 0 : 1);
    return 0;
}
