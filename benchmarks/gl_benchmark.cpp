// Frame rates of the OpenGL back end on a terrain-like scene of 3600 textured
// triangles. Needs a display: run under Xvfb, or with SDL_VIDEODRIVER=offscreen.
#include "gl_scene.h"

#include "platform/sdl/sdl_platform.h"
#include "render/gl/gl_renderer.h"

#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <vector>

namespace {

struct Bench {
    std::unique_ptr<SdlPlatform> sdl;
    std::unique_ptr<GlRenderer> gl;
    std::vector<TerrainTriangle> scene;
    std::vector<uint8_t> texture;
    // The same triangles as flat arrays, in the device units the renderer sends.
    std::vector<float> positions;
    std::vector<float> texCoords;
    bool ready = false;
};

Bench& bench()
{
    static Bench b;
    if (b.sdl)
        return b;
    b.sdl = std::make_unique<SdlPlatform>();
    if (!b.sdl->init())
        return b;
    b.sdl->setWindowCreatedHook([] {
        b.gl = std::make_unique<GlRenderer>(*b.sdl);
        return true;
    });
    if (!b.sdl->createWindow(WindowStyle::BorderlessWithOpenGL))
        return b;
    b.scene = rollingGround();
    b.texture = checkerTexture();
    b.gl->uploadLevelTexture(b.texture.data());
    b.gl->setFogColour(0x8899bb);
    for (const TerrainTriangle& t : b.scene)
        for (const ScreenVertex& v : t) {
            b.positions.insert(b.positions.end(), {v.x / 320.0f - 1.0f, v.y / 240.0f - 1.0f, v.oow});
            b.texCoords.insert(b.texCoords.end(), {v.s, v.t});
        }
    b.ready = true;
    return b;
}

void drawImmediate(Bench& b)
{
    b.gl->beginTerrain();
    b.gl->setFog(true);
    for (const TerrainTriangle& t : b.scene)
        b.gl->drawTerrainTriangle(t[0], t[1], t[2]);
    b.gl->endTerrain();
}

// The same state, the same vertices, one draw call.
void drawArrays(Bench& b)
{
    b.gl->beginTerrain();
    b.gl->setFog(true);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, b.positions.data());
    glTexCoordPointer(2, GL_FLOAT, 0, b.texCoords.data());
    glDrawArrays(GL_TRIANGLES, 0, GLsizei(b.positions.size() / 3));
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    b.gl->endTerrain();
}

std::vector<uint8_t> frameImage()
{
    glFinish();
    std::vector<uint8_t> out(size_t(640) * 480 * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, 640, 480, GL_RGB, GL_UNSIGNED_BYTE, out.data());
    return out;
}

template <void (*Draw)(Bench&)>
void frames(benchmark::State& state)
{
    Bench& b = bench();
    if (!b.ready) {
        state.SkipWithError("no OpenGL window");
        return;
    }
    for (auto _ : state) {
        b.gl->clearFrame(0x88 / 255.0f, 0x99 / 255.0f, 0xbb / 255.0f);
        Draw(b);
        b.gl->present();
        glFinish();
    }
    state.counters["fps"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["triangles"] = double(b.scene.size());
}

void nothing(Bench&) {}

void BM_ClearAndPresent(benchmark::State& state) { frames<nothing>(state); }
void BM_TerrainImmediate(benchmark::State& state) { frames<drawImmediate>(state); }
void BM_TerrainVertexArrays(benchmark::State& state) { frames<drawArrays>(state); }

// Both realisations must give the same picture.
void BM_SameImage(benchmark::State& state)
{
    Bench& b = bench();
    if (!b.ready) {
        state.SkipWithError("no OpenGL window");
        return;
    }
    size_t differing = 0;
    for (auto _ : state) {
        b.gl->clearFrame(0, 0, 0);
        drawImmediate(b);
        std::vector<uint8_t> immediate = frameImage();
        b.gl->clearFrame(0, 0, 0);
        drawArrays(b);
        std::vector<uint8_t> arrays = frameImage();
        differing = 0;
        for (size_t i = 0; i < immediate.size(); ++i)
            differing += immediate[i] != arrays[i];
    }
    state.counters["differing_bytes"] = double(differing);
}

BENCHMARK(BM_ClearAndPresent)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_TerrainImmediate)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_TerrainVertexArrays)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_SameImage)->Iterations(1);

} // namespace
