// Whole playing frames of orbivale-glide drawn on the software card at
// 640 x 480: terrain and marble of a level of the glide data, the camera
// following a scripted run down the course. Frames are not presented. The
// card draws on one core, or with one thread per hardware thread (timed by
// the wall clock).
// Run: ./build/benchmarks/glide_frame_benchmark (from anywhere).

#include "game/edition.h"
#include "game/game_state.h"
#include "game/options.h"
#include "glide2/draw_threads.h"
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
#include "sim/view_transform.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <filesystem>

namespace {

void ignorePresent(void*, const std::uint32_t*, int, int) {}

// One frame of the level 1 run: the marble `frame` steps down the course.
void placeMarble(int frame)
{
    float y = -5800.0f + 11600.0f * float(frame % 600) / 600.0f;
    float x = 200.0f * std::sin(float(frame) * 0.01f);
    marble.setPosition(Vec3(x, y, levelMap.heightAt(x, y)));
    updateCamera();
}

void glideFrames(benchmark::State& state, bool fog, int threads)
{
    glide2SetThreadCount(threads);
    edition = Edition::Glide;
    ScriptedPlatform scripted;
    platform = &scripted;
    GlideRenderer glide;
    renderer = &glide;
    glide2SetPresenter(&ignorePresent, nullptr);
    glide2SetSwapWait(false); // the card's unpaced maximum
    fogOn = fog;
    std::filesystem::path here = std::filesystem::current_path();
    std::filesystem::current_path(ORBIVALE_DATA_DIR "/glide");
    bool ready = glide.startGraphics() && levelMap.load("maps/level1.map", marble);
    std::filesystem::current_path(here);
    if (!ready) {
        state.SkipWithError("the card or level 1 of the glide data did not load");
        return;
    }
    frameTime = 0.016f;
    cameraLag = 0.0f;
    resetCameraState();
    placeMarble(0);
    int frame = 0;
    long triangles = 0;
    for (auto _ : state) {
        placeMarble(frame++);
        triangles += drawTerrain(levelMap, cameraView, false, fog);
        drawMarble(marble, cameraView, levelMap, false);
        glide.clearFrame(0.0f, 0.0f, 0.0f);
    }
    state.SetItemsProcessed(state.iterations());
    state.counters["triangles/frame"] = double(triangles) / double(state.iterations());
    state.counters["threads"] = glide2ThreadCount();
    glide.shutdownGraphics();
    glide2SetPresenter(nullptr, nullptr);
    renderer = nullptr;
    platform = nullptr;
}

void BM_GlideFrameFogOn(benchmark::State& state) { glideFrames(state, true, 1); }
void BM_GlideFrameFogOff(benchmark::State& state) { glideFrames(state, false, 1); }
void BM_GlideFrameFogOnThreaded(benchmark::State& state) { glideFrames(state, true, 0); }
void BM_GlideFrameFogOffThreaded(benchmark::State& state) { glideFrames(state, false, 0); }

} // namespace

// items_per_second is frames per second.
BENCHMARK(BM_GlideFrameFogOn)->Iterations(600)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GlideFrameFogOff)->Iterations(600)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GlideFrameFogOnThreaded)->Iterations(600)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_GlideFrameFogOffThreaded)->Iterations(600)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_MAIN();
