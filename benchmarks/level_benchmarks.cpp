// The level's hot paths: the height query the simulation asks every frame,
// and a whole level load (map parsing and the 50 x 400 grid) without images.

#include "game/edition.h"
#include "levels/level_map.h"
#include "render/renderer.h"
#include "sim/marble.h"
#include "tools/mapcheck/checking_renderer.h"
#include "tools/mapcheck/console_platform.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

// Seventy holes spread over the course like a real level: pits and mounds.
std::string seventyHoleMap()
{
    std::string text = "fogcolor= 0x8090a0\nmarblecolor= 0xd02020\nholecount= 70\n.data\n";
    for (int i = 0; i < 70; ++i) {
        int x = -700 + (i * 389) % 1400;
        int y = -5600 + i * 160;
        int radius = 40 + (i % 4) * 15;
        int depth = i % 5 == 0 ? -25 : 40;
        text += std::to_string(x) + " " + std::to_string(y) + " " + std::to_string(radius) + " " +
                std::to_string(depth) + "\n";
    }
    return text + ".end";
}

struct Setup {
    Setup()
    {
        platform = &console;
        renderer = &checker;
        path = (std::filesystem::temp_directory_path() / "orbivale-bench-70.map").string();
        std::ofstream(path, std::ios::binary) << seventyHoleMap();
    }
    ~Setup() { std::remove(path.c_str()); }
    ConsolePlatform console;
    CheckingRenderer checker;
    std::string path;
};

Setup& setup()
{
    static Setup s;
    return s;
}

void BM_HeightAt70Holes(benchmark::State& state)
{
    Marble marble;
    LevelMap level;
    if (!level.load(setup().path, marble))
        state.SkipWithError("map did not load");
    float x = -700.0f;
    float y = -5800.0f;
    for (auto _ : state) {
        benchmark::DoNotOptimize(level.heightAt(x, y));
        x = x > 700.0f ? -700.0f : x + 7.3f;
        y = y > 5800.0f ? -5800.0f : y + 11.1f;
    }
}
BENCHMARK(BM_HeightAt70Holes);

void loadLevel(benchmark::State& state, Edition which)
{
    edition = which;
    Marble marble;
    LevelMap level;
    for (auto _ : state) {
        if (!level.load(setup().path, marble))
            state.SkipWithError("map did not load");
        benchmark::DoNotOptimize(level.vertices.get());
    }
    edition = Edition::Gl;
}

void BM_LoadLevel70HolesGl(benchmark::State& state) { loadLevel(state, Edition::Gl); }
BENCHMARK(BM_LoadLevel70HolesGl)->Unit(benchmark::kMillisecond);

// orbivale-glide accepts exactly this count.
void BM_LoadLevel70HolesGlide(benchmark::State& state) { loadLevel(state, Edition::Glide); }
BENCHMARK(BM_LoadLevel70HolesGlide)->Unit(benchmark::kMillisecond);

} // namespace
