// Whole playing frames of orbivale-gl in its 640 x 480 window, against the
// driver's ceiling for the same pictures.
//
// The game runs as the program runs it: start-up in the generated gl data
// folder, the level start of "NeW Game", then the frame event handler
// (runFrame: clock, marble physics with Up held, camera, terrain walk,
// marble, heads-up display, present, clear) for every frame of the first
// 10 s of level 1 (the camera's sweep of the ready phase, then the race),
// each frame advancing the game's clock by 1/60 s so that every configuration
// sees the same frames. A game frame is timed from the call of runFrame to the
// end of a glFinish after it, so it includes the swap (and the scaling blit
// before it).
//
// Right after each game frame the ceiling draws the same picture again: the
// triangles the terrain walk sent in that frame, collected outside the timing
// from the same camera, go out as one glDrawArrays with the terrain's state;
// then the marble and the heads-up display as the game draws them (with the
// frame time held at zero, so that their animations do not advance twice),
// present, clear and glFinish. Side by side in one run, so that a loaded
// machine slows both alike.
//
// Needs a display: tests/run_with_xvfb.sh ./build/benchmarks/gl_frame_benchmark
// (or xvfb-run -s "-screen 0 1024x768x24"). Arguments: fog, far sight, and
// whether GlRenderer gathers the terrain into one vertex array (1, the game's
// way) or sends a glBegin/glEnd pair per triangle (0).
// Counters: fps (game frames), ceiling_fps, of_ceiling (their ratio, over all
// frames), median_of_ceiling (the median of the frame-by-frame ratios),
// triangles per frame, walk_ms (the terrain walk's own time per frame).

#include "scripted_platform.h"

#include "game/edition.h"
#include "game/game_state.h"
#include "game/joystick_menu.h"
#include "game/options.h"
#include "game/sound.h"
#include "levels/level_map.h"
#include "platform/sdl/sdl_platform.h"
#include "render/gl/gl_renderer.h"
#include "render/marble_draw.h"
#include "render/renderer.h"
#include "render/terrain_draw.h"
#include "screens/hud.h"
#include "shell/draw_frame.h"
#include "shell/event_loop.h"
#include "shell/lifecycle.h"
#include "shell/run_frame.h"
#include "sim/camera.h"
#include "sim/marble.h"
#include "sim/marble_control.h"
#include "sim/view_transform.h"
#include "tools/mapcheck/checking_renderer.h"

#include <GL/gl.h>
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <vector>

namespace {

constexpr double kFrameStep = 1.0 / 60.0;
constexpr int kFrames = 600;

struct CeilingVertex {
    float s, t;
    float x, y, oow;
};

// Keeps the terrain triangles a walk sends, in the device units the back end
// hands to OpenGL; every other call draws nothing.
class TerrainCollector : public CheckingRenderer {
public:
    std::vector<CeilingVertex> vertices;

    void drawTerrainTriangle(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c) override
    {
        for (const ScreenVertex* v : {&a, &b, &c})
            vertices.push_back({v->s, v->t, v->x / 320.0f - 1.0f, v->y / 240.0f - 1.0f, v->oow});
    }
};

// The program's window and back end, and the scripted platform the game's
// own calls go to (its clock, held keys, sounds and message boxes).
struct Session {
    std::unique_ptr<SdlPlatform> sdl;
    std::unique_ptr<GlRenderer> gl;
    ScriptedPlatform game;
    bool ready = false;
};

Session& session()
{
    static Session s;
    if (s.sdl)
        return s;
    // The unpaced maximum: neither the driver's sync nor the platform's pacing.
    setenv("ORBIVALE_NO_VSYNC", "1", 1);
    s.sdl = std::make_unique<SdlPlatform>();
    if (!s.sdl->init())
        return s;
    s.sdl->setWindowCreatedHook([] {
        s.gl = std::make_unique<GlRenderer>(*s.sdl);
        return true;
    });
    if (!s.sdl->createWindow(WindowStyle::BorderlessWithOpenGL))
        return s;
    std::fprintf(stderr, "video driver %s, renderer %s, %s\n", SDL_GetCurrentVideoDriver(),
                 reinterpret_cast<const char*>(glGetString(GL_RENDERER)),
                 s.gl->drawsOffscreen() ? "drawing offscreen" : "drawing into the window");
    edition = Edition::Gl;
    platform = &s.game;
    renderer = s.gl.get();
    // The program runs in its data folder.
    std::filesystem::current_path(ORBIVALE_DATA_DIR "/gl");
    s.ready = startUp();
    return s;
}

// A fresh game: the state of a program just started, the options, then the
// level start that "NeW Game" posts.
void startGame(Session& s, bool fog, bool far)
{
    resetGameState();
    resetSoundState();
    resetJoystickMenuState();
    resetOptions();
    resetMarbleControlState();
    resetCameraState();
    resetFrameState();
    cameraView = ViewTransform();
    fogOn = fog;
    farSight = far;
    s.game.heldKeys = {kKeyUp};
    s.game.now = 0;
    levelNumber = 0;
    handleEvent(Event{kEventLevel, 0});
}

// What the loop handles between two frames: the game's own posted events (a
// level start at the goal) and the window's.
void handlePendingEvents(Session& s)
{
    Event event;
    while (s.game.takeEvent(event))
        if (event.type != kEventFrame)
            handleEvent(event);
    while (s.sdl->takeEvent(event)) {
    }
}

void clearLikeTheGame()
{
    if (fogOn) {
        uint32_t c = levelMap.getFogColour();
        glClearColor(float((c >> 16) & 0xff) / 255.0f, float((c >> 8) & 0xff) / 255.0f, float(c & 0xff) / 255.0f,
                     0.0f);
    } else {
        glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    }
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

// The frame's picture with the driver's best for its terrain: the terrain
// state and one array, then the rest of the playing screen as the game draws it.
void drawCeilingFrame(Session& s, const std::vector<CeilingVertex>& vertices)
{
    // The back end's own terrain and fog state, so only the submission differs.
    s.gl->beginTerrain();
    s.gl->setFog(fogOn);
    if (!vertices.empty()) {
        glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
        glEnableClientState(GL_VERTEX_ARRAY);
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        glTexCoordPointer(2, GL_FLOAT, sizeof(CeilingVertex), &vertices[0].s);
        glVertexPointer(3, GL_FLOAT, sizeof(CeilingVertex), &vertices[0].x);
        glDrawArrays(GL_TRIANGLES, 0, GLsizei(vertices.size()));
        glDisableClientState(GL_VERTEX_ARRAY);
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    }
    glFlush();

    // As shell/draw_frame.cpp composes the playing screen after the terrain.
    float step = frameTime;
    frameTime = 0.0f;
    drawMarble(marble, cameraView, levelMap, normalView);
    drawBoostGauge();
    drawStatisticsAndCountdown();
    drawLevelBanner();
    drawPenaltyText();
    frameTime = step;
    s.gl->present();
    clearLikeTheGame();
    glFinish();
}

double secondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void BM_PlayingFrame(benchmark::State& state)
{
    Session& s = session();
    if (!s.ready) {
        state.SkipWithError("no OpenGL window or the gl data did not load");
        return;
    }
    bool fog = state.range(0) != 0;
    bool far = state.range(1) != 0;
    s.gl->setTerrainBatching(state.range(2) != 0);
    startGame(s, fog, far);
    if (gameState != GameState::Playing) {
        state.SkipWithError("level 1 did not start");
        return;
    }
    clearLikeTheGame();

    TerrainCollector collector;
    double gameSeconds = 0.0;
    double ceilingSeconds = 0.0;
    double walkSeconds = 0.0;
    std::vector<double> frameRatios;
    long triangles = 0;
    for (auto _ : state) {
        s.game.advance(kFrameStep);
        handlePendingEvents(s);

        auto start = std::chrono::steady_clock::now();
        runFrame();
        glFinish();
        double game = secondsSince(start);

        // The walk again from the camera the frame was drawn with.
        collector.vertices.clear();
        renderer = &collector;
        start = std::chrono::steady_clock::now();
        triangles += drawTerrain(levelMap, cameraView, farSight, fogOn);
        walkSeconds += secondsSince(start);
        renderer = s.gl.get();

        start = std::chrono::steady_clock::now();
        drawCeilingFrame(s, collector.vertices);
        double ceiling = secondsSince(start);

        state.SetIterationTime(game);
        gameSeconds += game;
        ceilingSeconds += ceiling;
        frameRatios.push_back(ceiling / game);
    }
    s.gl->setTerrainBatching(true);
    double frames = double(state.iterations());
    state.counters["fps"] = frames / gameSeconds;
    state.counters["ceiling_fps"] = frames / ceilingSeconds;
    state.counters["of_ceiling"] = ceilingSeconds / gameSeconds;
    // Each game frame against its own ceiling frame, drawn a moment later:
    // the median shrugs off the moments another process took the cores.
    std::sort(frameRatios.begin(), frameRatios.end());
    state.counters["median_of_ceiling"] = frameRatios[frameRatios.size() / 2];
    state.counters["triangles"] = double(triangles) / frames;
    // The terrain walk alone (projection and the sweeps), handing its
    // triangles to a collector.
    state.counters["walk_ms"] = 1000.0 * walkSeconds / frames;
}

} // namespace

BENCHMARK(BM_PlayingFrame)
    ->ArgsProduct({{1, 0}, {0, 1}, {1, 0}})
    ->ArgNames({"fog", "far", "batched"})
    ->Iterations(kFrames)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
