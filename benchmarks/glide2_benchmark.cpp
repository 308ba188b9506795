// Fill rate and triangle rate of the software card: on one core, and with its
// drawing threads (one per hardware thread, timed by the wall clock).

#include "glide2/draw_threads.h"
#include "glide2/glide.h"
#include "glide2/presenter.h"
#include "glide2/swap_pacing.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <vector>

namespace {

void ignorePresent(void*, const std::uint32_t*, int, int) {}

void openCard(int threads)
{
    glide2SetThreadCount(threads);
    glide2SetPresenter(&ignorePresent, nullptr);
    glide2SetSwapWait(false); // the card's unpaced maximum
    grGlideInit();
    GrHwConfiguration hw;
    grSstQueryHardware(&hw);
    grSstSelect(0);
    grSstWinOpen(0, GR_RESOLUTION_640x480, GR_REFRESH_60Hz, GR_COLORFORMAT_ARGB, GR_ORIGIN_LOWER_LEFT, 2, 1);
}

GrMipMapId_t loadTerrainTexture()
{
    // A 256 x 256 RGB565 map with its full chain, as the level texture is.
    std::vector<std::uint16_t> texels;
    for (int lod = 0; lod <= 8; ++lod) {
        int size = 256 >> lod;
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x)
                texels.push_back(
                    static_cast<std::uint16_t>(((x * 7 + y * 3) & 31) << 11 | ((x ^ y) & 63) << 5 | ((y * 5) & 31)));
    }
    GrMipMapId_t id = guTexAllocateMemory(GR_TMU0, GR_MIPMAPLEVELMASK_BOTH, 256, 256, GR_TEXFMT_RGB_565,
                                          GR_MIPMAP_NEAREST, GR_LOD_1, GR_LOD_256, GR_ASPECT_1x1, GR_TEXTURECLAMP_WRAP,
                                          GR_TEXTURECLAMP_WRAP, GR_TEXTUREFILTER_BILINEAR, GR_TEXTUREFILTER_BILINEAR,
                                          0.0f, FXFALSE);
    guTexDownloadMipMap(id, texels.data(), nullptr);
    return id;
}

void terrainState(GrMipMapId_t id)
{
    grColorCombine(GR_COMBINE_FUNCTION_SCALE_OTHER, GR_COMBINE_FACTOR_ONE, GR_COMBINE_LOCAL_CONSTANT,
                   GR_COMBINE_OTHER_TEXTURE, FXFALSE);
    grAlphaCombine(GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_NONE, GR_COMBINE_LOCAL_ITERATED,
                   GR_COMBINE_OTHER_CONSTANT, FXFALSE);
    grTexCombine(GR_TMU0, GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_NONE, GR_COMBINE_FUNCTION_LOCAL,
                 GR_COMBINE_FACTOR_NONE, FXFALSE, FXFALSE);
    grAlphaBlendFunction(GR_BLEND_SRC_ALPHA, GR_BLEND_ONE_MINUS_SRC_ALPHA, GR_BLEND_ZERO, GR_BLEND_ZERO);
    grDepthBufferMode(GR_DEPTHBUFFER_WBUFFER);
    grDepthBufferFunction(GR_CMP_LESS);
    grDepthMask(FXTRUE);
    GrFog_t table[GR_FOG_TABLE_SIZE];
    guFogGenerateLinear(table, 400.0f, 1800.0f);
    grFogTable(table);
    grFogMode(GR_FOG_WITH_TABLE);
    grFogColorValue(0x406080);
    guTexSource(id);
}

// The course as the game shows it: cells of 30 units, two triangles each, seen
// from 350 above and 400 behind the marble (41.2 degrees below the horizon),
// 49 columns across and 80 rows ahead, projected with a focal length of 400.
std::vector<GrVertex> terrainTriangles()
{
    const int columns = 49, rows = 80;
    const float height = 350.0f, pitch = std::atan2(350.0f, 400.0f);
    const float c = std::cos(pitch), s = std::sin(pitch);
    std::vector<GrVertex> grid((columns + 1) * (rows + 1));
    std::vector<bool> visible(grid.size());
    for (int r = 0; r <= rows; ++r)
        for (int k = 0; k <= columns; ++k) {
            float wx = (k - columns / 2.0f) * 30.0f, wy = r * 30.0f;
            float vy = -height * c + wy * s, vz = wy * c + height * s;
            GrVertex& v = grid[r * (columns + 1) + k];
            v = GrVertex{};
            v.oow = 1.0f / vz;
            v.x = std::floor((320.0f + 400.0f * wx / vz) * 16.0f) / 16.0f;
            v.y = std::floor((240.0f + 400.0f * vy / vz) * 16.0f) / 16.0f;
            v.a = 255.0f;
            v.tmuvtx[0].sow = 2.0f * wx * v.oow;
            v.tmuvtx[0].tow = 2.0f * wy * v.oow;
            visible[r * (columns + 1) + k] = vz >= 25.0f && std::fabs(v.x) < 2000 && std::fabs(v.y) < 2000;
        }
    std::vector<GrVertex> tris;
    for (int r = 0; r < rows; ++r)
        for (int k = 0; k < columns; ++k) {
            int i = r * (columns + 1) + k;
            if (!visible[i] || !visible[i + 1] || !visible[i + columns + 1] || !visible[i + columns + 2])
                continue;
            const GrVertex& a = grid[i];
            const GrVertex& b = grid[i + 1];
            const GrVertex& d = grid[i + columns + 1];
            const GrVertex& e = grid[i + columns + 2];
            tris.insert(tris.end(), {a, d, e, a, e, b});
        }
    return tris;
}

int coveredPixels()
{
    GrLfbInfo_t info;
    info.size = sizeof info;
    int n = 0;
    if (grLfbLock(GR_LFB_READ_ONLY, GR_BUFFER_BACKBUFFER, GR_LFBWRITEMODE_ANY, GR_ORIGIN_UPPER_LEFT, FXFALSE, &info)) {
        for (int y = 0; y < 480; ++y) {
            auto* row = reinterpret_cast<const std::uint16_t*>(static_cast<const std::uint8_t*>(info.lfbPtr) +
                                                               y * info.strideInBytes);
            for (int x = 0; x < 640; ++x)
                n += row[x] != 0x1234;
        }
        grLfbUnlock(GR_LFB_READ_ONLY, GR_BUFFER_BACKBUFFER);
    }
    return n;
}

void terrainFill(benchmark::State& state, int threads)
{
    openCard(threads);
    terrainState(loadTerrainTexture());
    std::vector<GrVertex> tris = terrainTriangles();
    std::int64_t pixels = 0;
    for (auto _ : state) {
        grBufferClear(0, 0, 0xFFFF);
        for (std::size_t i = 0; i < tris.size(); i += 3)
            grDrawTriangle(&tris[i], &tris[i + 1], &tris[i + 2]);
        benchmark::ClobberMemory();
    }
    // Pixels one frame covers, counted once against a marker colour.
    grDitherMode(GR_DITHER_DISABLE);
    grColorCombine(GR_COMBINE_FUNCTION_SCALE_OTHER, GR_COMBINE_FACTOR_ONE, GR_COMBINE_LOCAL_CONSTANT,
                   GR_COMBINE_OTHER_CONSTANT, FXFALSE);
    grBufferClear(0x00102030, 0, 0xFFFF);
    GrLfbInfo_t info;
    info.size = sizeof info;
    grLfbLock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER, GR_LFBWRITEMODE_565, GR_ORIGIN_UPPER_LEFT, FXFALSE, &info);
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x)
            reinterpret_cast<std::uint16_t*>(static_cast<std::uint8_t*>(info.lfbPtr) +
                                             y * info.strideInBytes)[x] = 0x1234;
    grLfbUnlock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER);
    grDepthBufferMode(GR_DEPTHBUFFER_DISABLE);
    grConstantColorValue(0xFFFFFFFF);
    for (std::size_t i = 0; i < tris.size(); i += 3)
        grDrawTriangle(&tris[i], &tris[i + 1], &tris[i + 2]);
    pixels = coveredPixels();
    state.counters["pixels/frame"] = static_cast<double>(pixels);
    state.counters["triangles/frame"] = static_cast<double>(tris.size() / 3);
    state.counters["Mpix/s"] = benchmark::Counter(static_cast<double>(pixels) * state.iterations() / 1e6,
                                                  benchmark::Counter::kIsRate);
    state.counters["frames/s"] = benchmark::Counter(static_cast<double>(state.iterations()),
                                                    benchmark::Counter::kIsRate);
    state.counters["threads"] = glide2ThreadCount();
    grGlideShutdown();
}

void BM_TerrainFill(benchmark::State& state) { terrainFill(state, 1); }
void BM_TerrainFillThreaded(benchmark::State& state) { terrainFill(state, 0); }
BENCHMARK(BM_TerrainFill)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TerrainFillThreaded)->Unit(benchmark::kMillisecond)->UseRealTime();

void smallTriangles(benchmark::State& state, int threads)
{
    openCard(threads);
    terrainState(loadTerrainTexture());
    // 4 x 4 pixel right triangles (8 pixels each), tiled over the screen.
    std::vector<GrVertex> tris;
    for (int y = 0; y + 4 <= 480; y += 4)
        for (int x = 0; x + 4 <= 640; x += 4) {
            GrVertex a{}, b{}, c{};
            a.x = x, a.y = y, b.x = x + 4.0f, b.y = y, c.x = x, c.y = y + 4.0f;
            for (GrVertex* v : {&a, &b, &c}) {
                v->oow = 0.01f;
                v->a = 255;
                v->tmuvtx[0].sow = v->x * 0.02f;
                v->tmuvtx[0].tow = v->y * 0.02f;
            }
            tris.insert(tris.end(), {a, c, b});
        }
    std::int64_t count = 0;
    for (auto _ : state) {
        grBufferClear(0, 0, 0xFFFF);
        for (std::size_t i = 0; i < tris.size(); i += 3)
            grDrawTriangle(&tris[i], &tris[i + 1], &tris[i + 2]);
        count += static_cast<std::int64_t>(tris.size() / 3);
    }
    state.counters["triangles/s"] = benchmark::Counter(static_cast<double>(count), benchmark::Counter::kIsRate);
    state.counters["threads"] = glide2ThreadCount();
    grGlideShutdown();
}

void BM_SmallTriangles(benchmark::State& state) { smallTriangles(state, 1); }
void BM_SmallTrianglesThreaded(benchmark::State& state) { smallTriangles(state, 0); }
BENCHMARK(BM_SmallTriangles)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SmallTrianglesThreaded)->Unit(benchmark::kMillisecond)->UseRealTime();

// Fill by triangle size: squares of `side` pixels (two triangles each) tiled
// over the screen in the terrain's state, 1/w falling down the screen as on
// the course. The game's terrain triangles average about 37 pixels.
void fillBySize(benchmark::State& state)
{
    const int side = static_cast<int>(state.range(0));
    openCard(1);
    terrainState(loadTerrainTexture());
    std::vector<GrVertex> tris;
    auto corner = [](int x, int y) {
        GrVertex v{};
        v.x = static_cast<float>(x);
        v.y = static_cast<float>(y);
        v.a = 255.0f;
        v.oow = 1.0f / (300.0f + 2.5f * static_cast<float>(y));
        v.tmuvtx[0].sow = 0.7f * static_cast<float>(x) * v.oow * 8.0f;
        v.tmuvtx[0].tow = 0.9f * static_cast<float>(y) * v.oow * 8.0f;
        return v;
    };
    for (int y = 0; y + side <= 480; y += side)
        for (int x = 0; x + side <= 640; x += side) {
            GrVertex a = corner(x, y), b = corner(x + side, y), c = corner(x, y + side),
                     d = corner(x + side, y + side);
            tris.insert(tris.end(), {a, c, d, a, d, b});
        }
    std::int64_t pixels = 0;
    for (auto _ : state) {
        grBufferClear(0, 0, 0xFFFF);
        for (std::size_t i = 0; i < tris.size(); i += 3)
            grDrawTriangle(&tris[i], &tris[i + 1], &tris[i + 2]);
        pixels += static_cast<std::int64_t>(tris.size() / 6) * side * side;
        benchmark::ClobberMemory();
    }
    state.counters["Mpix/s"] = benchmark::Counter(static_cast<double>(pixels) / 1e6, benchmark::Counter::kIsRate);
    state.counters["pixels/triangle"] = side * side / 2.0;
    grGlideShutdown();
}
BENCHMARK(fillBySize)
    ->Name("BM_FillBySquareSide")
    ->Arg(4)
    ->Arg(8)
    ->Arg(16)
    ->Arg(32)
    ->Arg(160)
    ->Arg(480)
    ->Unit(benchmark::kMillisecond);

void BM_Present(benchmark::State& state)
{
    openCard(1);
    for (auto _ : state)
        grBufferSwap(1);
    state.counters["swaps/s"] = benchmark::Counter(static_cast<double>(state.iterations()),
                                                   benchmark::Counter::kIsRate);
    grGlideShutdown();
}
BENCHMARK(BM_Present)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
