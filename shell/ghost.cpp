#include "shell/ghost.h"

#include "files/data_file.h"
#include "files/data_paths.h"
#include "files/whole_file.h"
#include "game/edition.h"
#include "game/edition_rules.h"
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

namespace {

// The most recorded frames the ghost runs in one displayed frame: catching up
// after F7, or a stretch of frames of no time, is spread over several
// pictures rather than stalling one.
constexpr int kMostGhostFramesPerFrame = 256;

// Everything a run of the simulation touches, so that the ghost's frames
// leave the player's run exactly as it was.
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
    bool muted = soundsMuted;

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
        soundsMuted = muted;
    }
};

// The ghost's run and where it stands: what one frame of the simulation
// hands to the next.
struct GhostRun {
    Replay run;
    size_t framesRun = 0;
    double seconds = 0.0; // the run's time after them
    Marble ball;
    ReplayClock clock;
    float endThreshold = kTimeOutThreshold;
    bool levelDone = false;
};

std::string levelOfRun;
Replay raced; // from --ghost; no frames when none
GhostRun ghost;
bool ghostShown = false; // a run is loaded and its first frame run
double runClock = 0.0;

bool nextFrameDue(double until)
{
    if (ghost.framesRun >= ghost.run.frames.size())
        return false;
    // The first frame is shown from the start, as the marble stands there.
    return ghost.framesRun == 0 || ghost.seconds + ghost.run.frames[ghost.framesRun].frameTime <= until;
}

// Runs the recorded frames that end by `until` seconds of the run (at most
// `most` of them) as the frame loop does, silently, with the player's
// simulation set aside meanwhile.
void runGhostFrames(double until, int most)
{
    if (!nextFrameDue(until))
        return;
    SimulationState saved;
    soundsMuted = true;
    joystickLimits = ghost.run.stickLimits;
    marble = ghost.ball;
    levelDone = ghost.levelDone;
    endThreshold = ghost.endThreshold;
    for (int n = 0; n < most && nextFrameDue(until); ++n) {
        const ReplayFrame& frame = ghost.run.frames[ghost.framesRun];
        setClock(frame.hasClock ? frame.clock : ghost.clock);
        frameTime = frame.frameTime;
        timeLeft -= frameTime;
        penaltyTimer -= frameTime;
        replayedSteering = &frame.steering;
        updateMarble();
        // The "-5" flies on as its text is drawn, after the marble moved.
        if (rules().fallPenaltyFlies && fallPending)
            advancePenaltyFlight();
        ghost.clock = currentClock();
        ghost.seconds += frame.frameTime;
        ++ghost.framesRun;
    }
    ghost.ball = marble;
    ghost.levelDone = levelDone;
    ghost.endThreshold = endThreshold;
    saved.restore();
}

bool loadBestRun(const std::string& levelFile, Replay& run)
{
    std::string bytes, level, reason;
    if (!readWholeFile(replayFileName(levelFile, true), kLargestReplayFile, bytes, reason) ||
        !decodeReplay(bytes, run, reason))
        return false;
    // A best run of another version of the level would run through its pits.
    return run.finished && run.glide == isGlide() && run.levelNumber >= 1 && run.levelNumber <= levelCount &&
           readWholeFile(dataFilePath(levelFile), kMapFileLimit, level, reason) &&
           checksumBytes(level) == run.levelChecksum;
}

// The run is read and checked once; its frames are run as the level's clock
// reaches them, so that a level's start never waits for a whole run.
void loadGhost()
{
    ghost = GhostRun();
    ghostShown = false;
    if (!ghostOn || levelOfRun.empty())
        return;
    if (!raced.frames.empty() && raced.levelFile == levelOfRun)
        ghost.run = raced;
    else if (!loadBestRun(levelOfRun, ghost.run))
        return;
    ghost.ball = marble;
    ghost.ball.setPosition(Vec3(0.0f, kStartY, levelMap.heightAt(0.0f, kStartY)));
    ghost.ball.setVelocity(Vec3(0.0f, 0.0f, 0.0f));
    runGhostFrames(0.0, 1);
    ghostShown = true;
}

} // namespace

void prepareGhost(const std::string& levelFile)
{
    levelOfRun = levelFile;
    runClock = 0.0;
    loadGhost();
}

void advanceGhost()
{
    runClock += frameTime;
    if (ghostShown)
        runGhostFrames(runClock, kMostGhostFramesPerFrame);
}

void drawGhost()
{
    if (ghostOn && ghostShown)
        drawGhostMarble(ghost.ball.position(), marble.colour(), cameraView, levelMap);
}

void toggleGhost()
{
    ghostOn = !ghostOn;
    if (gameState == GameState::Playing)
        loadGhost();
    std::string reason;
    if (!saveSettings(reason)) {
        std::fprintf(stderr, "Settings: %s\n", reason.c_str());
        std::fflush(stderr);
    }
}

int ghostFrameCount() { return ghostShown ? static_cast<int>(ghost.run.frames.size()) : 0; }

int ghostFramesRun() { return ghostShown ? static_cast<int>(ghost.framesRun) : 0; }

bool ghostPosition(Vec3& position)
{
    if (!ghostShown)
        return false;
    position = ghost.ball.position();
    return true;
}

void raceRun(const Replay& run) { raced = run; }

void forgetGhost()
{
    levelOfRun.clear();
    raced = Replay();
    ghost = GhostRun();
    ghostShown = false;
    runClock = 0.0;
}
