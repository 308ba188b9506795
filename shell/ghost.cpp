#include "shell/ghost.h"

#include "files/data_paths.h"
#include "files/replay_file.h"
#include "game/edition.h"
#include "game/game_state.h"
#include "game/joystick_menu.h"
#include "game/sound.h"
#include "levels/level_list.h"
#include "levels/level_map.h"
#include "render/marble_draw.h"
#include "shell/replay_format.h"
#include "shell/replay_record.h"
#include "shell/settings.h"
#include "sim/marble.h"
#include "sim/marble_control.h"
#include "sim/steering.h"
#include "sim/view_transform.h"

#include <cstdio>
#include <vector>

namespace {

struct GhostPoint {
    double at; // seconds of the run
    Vec3 position;
};

std::string levelOfRun;
std::vector<GhostPoint> path;
size_t shownPoint = 0;
double runClock = 0.0;

// Everything a run of the simulation touches, so that the ghost's run leaves
// the player's exactly as it was.
struct SimulationState {
    Marble ball = marble;
    ReplayClock clock = currentClock();
    float frameTime = ::frameTime;
    float endThreshold = ::endThreshold;
    bool levelDone = ::levelDone;
    Vec3 controlForce = ::controlForce;
    Steering steering = ::steering;
    const Steering* replayed = replayedSteering;
    JoystickCaps limits = joystickLimits;
    float levelTime = levelNumber >= 1 && levelNumber <= levelCount ? levelTimes[levelNumber - 1] : 0.0f;

    void restore() const
    {
        marble = ball;
        setClock(clock);
        ::frameTime = frameTime;
        ::endThreshold = endThreshold;
        ::levelDone = levelDone;
        ::controlForce = controlForce;
        ::steering = steering;
        replayedSteering = replayed;
        joystickLimits = limits;
        if (levelNumber >= 1 && levelNumber <= levelCount)
            levelTimes[levelNumber - 1] = levelTime;
    }
};

// Runs the recorded frames as the frame loop does, silently, keeping the
// marble's position after each.
void traceRun(const Replay& run)
{
    SimulationState saved;
    soundsMuted = true;
    joystickLimits = run.stickLimits;
    levelDone = false;
    endThreshold = kTimeOutThreshold;
    marble.setPosition(Vec3(0.0f, kStartY, levelMap.heightAt(0.0f, kStartY)));
    marble.setVelocity(Vec3(0.0f, 0.0f, 0.0f));
    ReplayClock afterFrame;
    double at = 0.0;
    path.reserve(run.frames.size());
    for (const ReplayFrame& frame : run.frames) {
        setClock(frame.hasClock ? frame.clock : afterFrame);
        frameTime = frame.frameTime;
        timeLeft -= frameTime;
        penaltyTimer -= frameTime;
        replayedSteering = &frame.steering;
        updateMarble();
        // The "-5" flies on as its text is drawn, after the marble moved.
        if (!isGlide() && fallPending)
            advancePenaltyFlight();
        afterFrame = currentClock();
        at += frameTime;
        path.push_back(GhostPoint{at, marble.position()});
    }
    soundsMuted = false;
    saved.restore();
}

bool loadBestRun(const std::string& levelFile, Replay& run)
{
    std::string bytes, level, reason;
    if (!readWholeFile(replayFileName(levelFile, true), bytes, reason) || !decodeReplay(bytes, run, reason))
        return false;
    // A best run of another version of the level would run through its pits.
    return run.finished && run.glide == isGlide() && readWholeFile(dataFilePath(levelFile), level, reason) &&
           checksumBytes(level) == run.levelChecksum;
}

void traceBestRun()
{
    path.clear();
    shownPoint = 0;
    Replay run;
    if (ghostOn && !levelOfRun.empty() && loadBestRun(levelOfRun, run))
        traceRun(run);
}

} // namespace

void prepareGhost(const std::string& levelFile)
{
    levelOfRun = levelFile;
    runClock = 0.0;
    traceBestRun();
}

void advanceGhost() { runClock += frameTime; }

void drawGhost()
{
    if (!ghostOn || path.empty())
        return;
    while (shownPoint + 1 < path.size() && path[shownPoint + 1].at <= runClock)
        ++shownPoint;
    drawGhostMarble(path[shownPoint].position, marble.colour(), cameraView, levelMap);
}

void toggleGhost()
{
    ghostOn = !ghostOn;
    if (gameState == GameState::Playing)
        traceBestRun();
    std::string reason;
    if (!saveSettings(reason)) {
        std::fprintf(stderr, "Settings: %s\n", reason.c_str());
        std::fflush(stderr);
    }
}

int ghostFrameCount() { return static_cast<int>(path.size()); }

Vec3 ghostPositionAfter(int frame) { return path.at(static_cast<size_t>(frame)).position; }

void forgetGhost()
{
    levelOfRun.clear();
    path.clear();
    shownPoint = 0;
    runClock = 0.0;
}
