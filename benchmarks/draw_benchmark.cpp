#include "scripted_platform.h"
#include "temp_dir.h"

#include "game/edition.h"
#include "levels/level_map.h"
#include "render/glide/glide_vertex.h"
#include "render/marble_draw.h"
#include "render/null_renderer.h"
#include "render/renderer.h"
#include "render/terrain_draw.h"
#include "sim/marble.h"
#include "sim/view_transform.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <string>

namespace {

// A renderer that takes every call and does nothing: what is left is the
// game's own per-frame drawing work. Triangles are touched so none is skipped.
class TouchingRenderer : public NullRenderer {
public:
    bool loadLevelTexture(const std::string&) override { return true; }
    // Terrain vertices as the edition's back end takes them, so the walk does its real work.
    bool prepareTerrainVertex(ScreenVertex& v) override
    {
        return isGlide() ? prepareGlideTerrainVertex(v) : Renderer::prepareTerrainVertex(v);
    }
    void drawTerrainTriangle(const ScreenVertex& a, const ScreenVertex&, const ScreenVertex&) override
    {
        benchmark::DoNotOptimize(a.x);
    }
    void drawMarbleTriangle(const ScreenVertex& a, const ScreenVertex&, const ScreenVertex&) override
    {
        benchmark::DoNotOptimize(a.x);
    }
    void drawGhostTriangle(const ScreenVertex& a, const ScreenVertex&, const ScreenVertex&, float) override
    {
        benchmark::DoNotOptimize(a.x);
    }
};

// Loads a 70-hole level of pits and mounds spread over the course, as the
// largest levels the game ships, with its drawing grid for the edition.
bool loadSeventyHoles(LevelMap& level, const TempDir& dir)
{
    std::string text = "holecount= 70\n.data\n";
    for (int i = 0; i < 70; ++i) {
        int x = (i * 397) % 1400 - 700;
        int y = -5000 + i * 150;
        int radius = 20 + (i % 4) * 10;
        int depth = (i % 5 == 0) ? -20 : 35;
        text += std::to_string(x) + " " + std::to_string(y) + " " + std::to_string(radius) + " " +
                std::to_string(depth) + "\n";
    }
    text += ".end";
    Marble unused;
    return level.load(dir.write("seventy.map", text), unused);
}

// The camera at rest behind a marble at y: 400 behind, 350 above the ground.
ViewTransform playCamera(const LevelMap& level, float y)
{
    ViewTransform view;
    float ground = level.heightAt(0.0f, y);
    view.set(Vec3(0.0f, y - 400.0f, ground - 350.0f), -std::atan(400.0f / 350.0f), 0.0f, 0.0f);
    return view;
}

// One frame's terrain, the camera moving down the course frame by frame.
// Arguments: edition (0 gl, 1 glide), far sight.
void BM_DrawTerrain(benchmark::State& state)
{
    ScriptedPlatform scripted;
    TouchingRenderer null;
    platform = &scripted;
    renderer = &null;
    edition = state.range(0) ? Edition::Glide : Edition::Gl;
    bool farSight = state.range(1) != 0;
    TempDir dir;
    LevelMap level;
    if (!loadSeventyHoles(level, dir)) {
        state.SkipWithError("level did not load");
        return;
    }
    constexpr int kPositions = 64;
    ViewTransform views[kPositions];
    for (int k = 0; k < kPositions; ++k)
        views[k] = playCamera(level, -5800.0f + float(k) * (11400.0f / kPositions));

    int frame = 0;
    long triangles = 0;
    long projected = 0;
    for (auto _ : state) {
        triangles += drawTerrain(level, views[frame % kPositions], farSight, true);
        projected += terrainVerticesProjected;
        ++frame;
    }
    state.counters["triangles"] = benchmark::Counter(double(triangles) / frame);
    state.counters["projected"] = benchmark::Counter(double(projected) / frame);
    platform = nullptr;
    renderer = nullptr;
    edition = Edition::Gl;
}
BENCHMARK(BM_DrawTerrain)->ArgsProduct({{0, 1}, {0, 1}})->ArgNames({"glide", "farSight"});

// One frame's marble with the "Normal" arrows.
void BM_DrawMarble(benchmark::State& state)
{
    ScriptedPlatform scripted;
    TouchingRenderer null;
    platform = &scripted;
    renderer = &null;
    edition = state.range(0) ? Edition::Glide : Edition::Gl;
    TempDir dir;
    LevelMap level;
    if (!loadSeventyHoles(level, dir)) {
        state.SkipWithError("level did not load");
        return;
    }
    Marble ball;
    ball.setColour(200.0f, 40.0f, 40.0f);
    ball.setPosition(Vec3(0.0f, -2000.0f, level.heightAt(0.0f, -2000.0f)));
    ViewTransform view = playCamera(level, -2000.0f);
    for (auto _ : state)
        drawMarble(ball, view, level, true);
    platform = nullptr;
    renderer = nullptr;
    edition = Edition::Gl;
}
BENCHMARK(BM_DrawMarble)->Arg(0)->Arg(1)->ArgName("glide");

} // namespace
