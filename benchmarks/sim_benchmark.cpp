#include "scripted_platform.h"

#include "game/game_state.h"
#include "game/options.h"
#include "levels/level_list.h"
#include "levels/level_map.h"
#include "shell/replay_format.h"
#include "shell/replay_record.h"
#include "sim/camera.h"
#include "sim/marble.h"
#include "sim/marble_control.h"
#include "sim/view_transform.h"

#include <benchmark/benchmark.h>

namespace {

// Pits and mounds spread over the course; 70 is like the largest level the
// game ships, the larger counts show how a frame grows with the table.
void useHoles(int count)
{
    levelMap.holeCount = count;
    levelMap.holes = std::make_unique<Hole[]>(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        float x = static_cast<float>((i * 397) % 1400 - 700);
        float y = static_cast<float>(-5000 + (i * 150) % 10500);
        float depth = (i % 5 == 0) ? -20.0f : 35.0f;
        levelMap.holes[i] = Hole{x, y, 20.0f + static_cast<float>(i % 4) * 10.0f, depth};
    }
}

void useSeventyHoles() { useHoles(70); }

void BM_MarbleStep(benchmark::State& state)
{
    useSeventyHoles();
    Marble ball;
    ball.setPosition(Vec3(10.0f, -2000.0f, levelMap.heightAt(10.0f, -2000.0f)));
    ball.setVelocity(Vec3(0.5f, 3.0f, 0.0f));
    ball.setPower(40.0f);
    for (auto _ : state) {
        ball.step(levelMap, Vec3(0.0f, 40.0f, 0.0f), 1.0f / 500.0f);
        if (ball.position().y > 5000.0f)
            ball.setPosition(Vec3(10.0f, -2000.0f, 0.0f));
        benchmark::DoNotOptimize(ball);
    }
}
BENCHMARK(BM_MarbleStep);

// One running frame's simulation: steering, step, falls, goal, then camera,
// over 70 holes and over larger tables.
void BM_SimulationFrame(benchmark::State& state)
{
    ScriptedPlatform scripted;
    platform = &scripted;
    scripted.heldKeys = {kKeyUp, kKeyRight};
    useHoles(static_cast<int>(state.range(0)));
    resetOptions();
    resetMarbleControlState();
    levelDone = false;
    timeLeft = 30.0f;
    penaltyTimer = 0.0f;
    frameTime = 1.0f / 500.0f;
    marble.setPosition(Vec3(0.0f, -5800.0f, levelMap.heightAt(0.0f, -5800.0f)));
    marble.setVelocity(Vec3(0.0f, 0.0f, 0.0f));
    cameraPosition = Vec3(0.0f, -6200.0f, -350.0f);
    for (auto _ : state) {
        penaltyTimer = 0.0f;
        updateMarble();
        updateCamera();
        if (marble.position().y > 5000.0f)
            marble.setPosition(Vec3(0.0f, -5800.0f, 0.0f));
        benchmark::DoNotOptimize(cameraView);
    }
    platform = nullptr;
}
BENCHMARK(BM_SimulationFrame)->Arg(70)->Arg(100)->Arg(1000)->Arg(10000)->Arg(100000);

// What recording adds to a running frame: noting the frame time, the steering
// and whether the clock changed between frames. A new run starts every 10
// minutes of frames at 60 per second, so the cost of growing the list counts.
void BM_RecordingPerFrame(benchmark::State& state)
{
    ScriptedPlatform scripted;
    platform = &scripted;
    levelCount = 1;
    levelNames = {"maps/none.map"};
    levelTimes.assign(1, 45.0f);
    levelNumber = 1;
    levelDone = false;
    frameTime = 1.0f / 60.0f;
    steering.keys = kSteerUp;
    int frames = 0;
    beginRunRecording();
    for (auto _ : state) {
        if (++frames == 36000) {
            frames = 0;
            resetRunRecording();
            beginRunRecording();
        }
        noteFrameStart();
        timeLeft -= frameTime;
        noteFrameEnd();
        benchmark::DoNotOptimize(runBeingRecorded().frames.back());
    }
    resetRunRecording();
    platform = nullptr;
}
BENCHMARK(BM_RecordingPerFrame);

// Writing a run out, per frame of a one-minute run at 60 frames per second.
void BM_ReplayEncodePerFrame(benchmark::State& state)
{
    Replay run;
    run.levelFile = "maps/level1.map";
    run.frames.resize(3600);
    run.frames.front().hasClock = true;
    for (auto _ : state)
        benchmark::DoNotOptimize(encodeReplay(run));
    state.SetItemsProcessed(state.iterations() * 3600);
}
BENCHMARK(BM_ReplayEncodePerFrame);

} // namespace
