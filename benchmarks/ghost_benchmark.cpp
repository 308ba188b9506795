// What the ghost costs at a level's start (and at F7): the time and memory
// of preparing it, for the longest run the autopilot makes on the generated
// levels and for the largest run a replay may hold, with the most time one
// displayed frame then spends running the ghost's frames.
//
//   build/benchmarks/ghost_benchmark
//
// makes the runs in a temporary folder and measures each in a fresh process
// of its own (`ghost_benchmark measure EDITION FOLDER LEVEL`), so that no
// memory freed by an earlier step hides what the preparation takes. Memory
// is given twice: the peak of the heap the preparation adds, counted by this
// program's operator new, and the growth of the process's peak resident size
// (VmHWM in /proc/self/status, reset through /proc/self/clear_refs).
#include "scripted_platform.h"
#include "tools/autopilot/autopilot.h"
#include "tools/mapcheck/checking_renderer.h"

#include "game/edition.h"
#include "game/game_globals.h"
#include "game/game_state.h"
#include "game/joystick_menu.h"
#include "game/options.h"
#include "game/sound.h"
#include "levels/level_globals.h"
#include "levels/level_list.h"
#include "levels/level_map.h"
#include "records/best_times.h"
#include "records/records_globals.h"
#include "render/render_globals.h"
#include "screens/screens_globals.h"
#include "shell/draw_frame.h"
#include "shell/event_loop.h"
#include "shell/ghost.h"
#include "shell/replay_format.h"
#include "shell/replay_playback.h"
#include "shell/replay_record.h"
#include "shell/settings.h"
#include "shell/shell_globals.h"
#include "sim/camera.h"
#include "sim/marble.h"
#include "sim/marble_control.h"
#include "sim/sim_globals.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <malloc.h>
#include <new>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

size_t heapLive = 0;
size_t heapPeak = 0;

void* counted(size_t size)
{
    void* p = std::malloc(size ? size : 1);
    if (!p)
        throw std::bad_alloc();
    heapLive += malloc_usable_size(p);
    heapPeak = std::max(heapPeak, heapLive);
    return p;
}

void uncounted(void* p) noexcept
{
    if (!p)
        return;
    heapLive -= malloc_usable_size(p);
    std::free(p);
}

} // namespace

void* operator new(size_t size) { return counted(size); }
void* operator new[](size_t size) { return counted(size); }
void operator delete(void* p) noexcept { uncounted(p); }
void operator delete[](void* p) noexcept { uncounted(p); }
void operator delete(void* p, size_t) noexcept { uncounted(p); }
void operator delete[](void* p, size_t) noexcept { uncounted(p); }

namespace {

ScriptedPlatform scripted;
CheckingRenderer drawNothing;

// A program of the edition just started in `folder`, its level list loaded.
bool startIn(Edition which, const std::string& folder)
{
    std::filesystem::current_path(folder);
    platform = &scripted;
    renderer = &drawNothing;
    edition = which;
    resetEveryLayer();
    if (!loadLevelList())
        return false;
    bestTimes.setDefaults();
    return true;
}

bool frame(int& exitCode)
{
    for (int guard = 0; guard < 1000; ++guard) {
        bool wasEmpty = scripted.queue.empty();
        if (!runLoopTurn(exitCode))
            return false;
        if (wasEmpty)
            return runLoopTurn(exitCode);
    }
    return false;
}

// The autopilot plays a whole game at 60 frames a second, as its test does:
// every level's best run is kept in replays/.
bool playWithAutopilot()
{
    int exitCode = 0;
    gameState = GameState::Title;
    levelNumber = 0;
    scripted.postEvent(Event{kEventLevel, 0});
    if (!frame(exitCode))
        return false;
    for (int level = 1; level <= levelCount; ++level) {
        Autopilot pilot;
        if (levelNumber != level || !pilot.plan(levelMap))
            return false;
        for (int n = 0; n < 60 * 60 && levelNumber == level && gameState == GameState::Playing; ++n) {
            scripted.heldKeys = levelDone ? std::set<int>() : pilot.keysFor(marble, isGlide() || boostReserve > 0.0f);
            scripted.advance(1.0 / 60.0);
            if (!frame(exitCode))
                return false;
        }
    }
    return true;
}

// The largest run a replay may hold, for the first level: a frame every
// 0.99 ms for the longest a level lasts, each frame carrying the clock and
// the stick (orbivale-glide) or the pad (orbivale-gl), the race on all along.
void writeLargestRun()
{
    Replay run;
    run.glide = isGlide();
    run.finished = true;
    run.finishTime = 40.0f;
    run.gameVersion.assign(255, 'v');
    run.levelFile = levelNames[0];
    std::ifstream in(levelNames[0], std::ios::binary);
    run.levelChecksum = checksumBytes(std::string(std::istreambuf_iterator<char>(in), {}));
    run.levelNumber = 1;
    run.stickLimits = JoystickCaps{0, 65535, 0, 65535};
    ReplayFrame f;
    f.frameTime = 0.00099f;
    f.steering.keys = kSteerUp;
    f.steering.stickUsed = run.glide;
    f.steering.position = JoystickPosition{32768, 0, 1};
    f.steering.padY = run.glide ? 0 : -20000;
    f.hasClock = true;
    f.clock = ReplayClock{44.0f, 0.0f, 0.7f, 5.0f, false};
    run.frames.assign(kMostReplayFrames, f);
    std::filesystem::create_directories("replays");
    std::ofstream(replayFileName(levelNames[0], true), std::ios::binary) << encodeReplay(run);
}

// The level whose best run has the most frames.
std::string longestRunLevel()
{
    std::string longest;
    uintmax_t most = 0;
    for (const std::string& level : levelNames) {
        uintmax_t size = std::filesystem::file_size(replayFileName(level, true));
        if (size > most) {
            most = size;
            longest = level;
        }
    }
    return longest;
}

long statusKilobytes(const char* field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(field, 0) == 0)
            return std::atol(line.c_str() + std::strlen(field));
    return -1;
}

double millisecondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

int measure(Edition which, const std::string& folder, const std::string& level)
{
    if (!startIn(which, folder))
        return 1;
    auto at = std::find(levelNames.begin(), levelNames.end(), level);
    if (at == levelNames.end() || !levelMap.load(level, marble))
        return 1;
    levelNumber = static_cast<int>(at - levelNames.begin()) + 1;
    gameState = GameState::Playing;
    ghostOn = true;
    uintmax_t bytes = std::filesystem::file_size(replayFileName(level, true));

    // Memory: the first preparation, in a process that has not prepared one.
    long residentBefore = statusKilobytes("VmRSS:");
    std::ofstream("/proc/self/clear_refs") << "5";
    size_t heapBefore = heapLive;
    heapPeak = heapLive;
    prepareGhost(level);
    size_t heapAdded = heapPeak - heapBefore;
    long peakResidentAdded = statusKilobytes("VmHWM:") - residentBefore;
    int frames = ghostFrameCount();
    if (frames == 0) {
        std::printf("%s: no ghost was prepared\n", level.c_str());
        return 1;
    }

    std::vector<double> times;
    for (int i = 0; i < 25; ++i) {
        auto start = std::chrono::steady_clock::now();
        prepareGhost(level);
        times.push_back(millisecondsSince(start));
    }
    std::sort(times.begin(), times.end());

    // The ghost then runs beside a player at 60 frames a second to its end.
    std::vector<double> frameTimes;
    prepareGhost(level);
    while (ghostFramesRun() < ghostFrameCount() && frameTimes.size() < 60 * 600) {
        frameTime = 1.0f / 60.0f;
        auto start = std::chrono::steady_clock::now();
        advanceGhost();
        frameTimes.push_back(millisecondsSince(start));
    }
    if (frameTimes.empty())
        frameTimes.push_back(0.0); // the whole run was worked out beforehand
    std::sort(frameTimes.begin(), frameTimes.end());

    std::printf("%-14s %-22s %6d frames %8ju bytes | prepare ms min %.3f median %.3f max %.3f | heap +%.2f MB, "
                "peak resident +%.2f MB | per displayed frame ms median %.4f 99%% %.4f max %.3f over %zu\n",
                which == Edition::Glide ? "orbivale-glide" : "orbivale-gl", level.c_str(), frames, bytes,
                times.front(), times[times.size() / 2], times.back(), heapAdded / 1048576.0,
                peakResidentAdded / 1024.0, frameTimes[frameTimes.size() / 2],
                frameTimes[frameTimes.size() * 99 / 100], frameTimes.back(), frameTimes.size());
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 5 && std::string(argv[1]) == "measure")
        return measure(std::string(argv[2]) == "glide" ? Edition::Glide : Edition::Gl, argv[3], argv[4]);

    std::string self = std::filesystem::canonical("/proc/self/exe").string();
    std::filesystem::path root = std::filesystem::temp_directory_path() /
                                 ("orbivale-ghost-" + std::to_string(getpid()));
    int status = 0;
    for (const char* name : {"gl", "glide"}) {
        Edition which = std::string(name) == "glide" ? Edition::Glide : Edition::Gl;
        std::string played = (root / (std::string(name) + "-autopilot")).string();
        std::string largest = (root / (std::string(name) + "-largest")).string();
        for (const std::string& copy : {played, largest}) {
            std::filesystem::create_directories(copy);
            std::filesystem::copy(std::string(ORBIVALE_DATA_DIR) + "/" + name, copy,
                                  std::filesystem::copy_options::recursive);
        }
        if (!startIn(which, played) || !playWithAutopilot()) {
            std::fprintf(stderr, "%s: the autopilot did not finish the game\n", name);
            status = 1;
            continue;
        }
        std::string longest = longestRunLevel();
        if (!startIn(which, largest))
            return 1;
        writeLargestRun();
        for (const auto& [folder, level] : {std::pair{played, longest}, std::pair{largest, levelNames[0]}}) {
            std::string command = "'" + self + "' measure " + name + " '" + folder + "' '" + level + "'";
            if (std::system(command.c_str()) != 0)
                status = 1;
        }
    }
    std::filesystem::current_path("/");
    std::filesystem::remove_all(root);
    return status;
}
