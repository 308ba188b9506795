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
    b.ready = true;
    return b;
}

// The textbook sequence: one begin/end pair per triangle.
void drawImmediate(Bench& b)
{
    b.gl->beginTerrain();
    b.gl->setFog(true);
    for (const TerrainTriangle& t : b.scene) {
        glBegin(GL_TRIANGLES);
        glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
        for (const ScreenVertex& v : t) {
            glTexCoord2f(v.s, v.t);
            glVertex3f(v.x / 320.0f - 1.0f, v.y / 240.0f - 1.0f, v.oow);
        }
        glEnd();
    }
    glFlush();
}

// GlRenderer as the game uses it: the triangles go out as one vertex array.
void drawRenderer(Bench& b)
{
    b.gl->beginTerrain();
    b.gl->setFog(true);
    for (const TerrainTriangle& t : b.scene)
        b.gl->drawTerrainTriangle(t[0], t[1], t[2]);
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
void BM_TerrainGlRenderer(benchmark::State& state) { frames<drawRenderer>(state); }

// Both submissions must give the same picture.
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
        drawRenderer(b);
        std::vector<uint8_t> arrays = frameImage();
        differing = 0;
        for (size_t i = 0; i < immediate.size(); ++i)
            differing += immediate[i] != arrays[i];
    }
    state.counters["differing_bytes"] = double(differing);
}

BENCHMARK(BM_ClearAndPresent)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();
BENCHMARK(BM_TerrainImmediate)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();
BENCHMARK(BM_TerrainGlRenderer)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();
BENCHMARK(BM_SameImage)->Iterations(1);

} // namespace
