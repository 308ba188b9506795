#include "shell/replay_record.h"

#include "files/data_file.h"
#include "files/data_paths.h"
#include "files/whole_file.h"
#include "game/edition.h"
#include "game/game_state.h"
#include "game/joystick_menu.h"
#include "levels/level_list.h"
#include "sim/marble_control.h"

#include <cstdio>
#include <cstring>

std::string replayGameVersion = "unknown";

namespace {

Replay run;
bool recording = false;
bool runOver = false;    // the goal is reached: later frames are not part of the run
bool runTooLong = false; // longer than a replay holds: it is not kept
double runSeconds = 0.0;
bool frameStarted = false;
ReplayFrame pendingFrame;
ReplayClock clockAtFrameEnd;

bool sameBits(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }

bool sameClock(const ReplayClock& a, const ReplayClock& b)
{
    return sameBits(a.timeLeft, b.timeLeft) && sameBits(a.penaltyTimer, b.penaltyTimer) &&
           sameBits(a.penaltyFlight, b.penaltyFlight) && sameBits(a.boostReserve, b.boostReserve) &&
           a.fallPending == b.fallPending;
}

// Each refusal is said once: a folder without room or rights would say it
// at every level.
void complain(const std::string& reason)
{
    static std::string said;
    if (reason == said)
        return;
    said = reason;
    std::fprintf(stderr, "Replay: %s\n", reason.c_str());
    std::fflush(stderr);
}

// Keeps the run as the best unless a finished run of the same level file at
// least as fast is kept already.
bool beatsKeptBest(const std::string& bestName)
{
    std::string bytes, reason;
    Replay kept;
    if (!readWholeFile(bestName, kLargestReplayFile, bytes, reason) || !decodeReplay(bytes, kept, reason))
        return true;
    return !kept.finished || kept.levelChecksum != run.levelChecksum || kept.glide != run.glide ||
           run.finishTime < kept.finishTime;
}

} // namespace

const Replay& runBeingRecorded() { return run; }

ReplayClock currentClock() { return ReplayClock{timeLeft, penaltyTimer, penaltyFlight, boostReserve, fallPending}; }

void setClock(const ReplayClock& clock)
{
    timeLeft = clock.timeLeft;
    penaltyTimer = clock.penaltyTimer;
    penaltyFlight = clock.penaltyFlight;
    boostReserve = clock.boostReserve;
    fallPending = clock.fallPending;
}

std::string replayFileName(const std::string& levelFile, bool best)
{
    std::string stem = levelFile;
    for (char& c : stem)
        if (c == '/' || c == '\\')
            c = '_';
    return "replays/" + stem + (best ? "-best" : "-last") + ".orbreplay";
}

void beginRunRecording()
{
    endRunRecording();
    if (levelNumber < 1 || levelNumber > levelCount)
        return;
    run = Replay();
    run.glide = isGlide();
    run.gameVersion = replayGameVersion;
    run.levelFile = levelNames[levelNumber - 1];
    std::string bytes, reason;
    if (readWholeFile(dataFilePath(run.levelFile), kMapFileLimit, bytes, reason))
        run.levelChecksum = checksumBytes(bytes);
    run.levelNumber = levelNumber;
    run.stickLimits = joystickLimits;
    run.frames.reserve(4096);
    recording = true;
    runOver = false;
    runTooLong = false;
    runSeconds = 0.0;
    frameStarted = false;
}

void noteFrameStart()
{
    frameStarted = false;
    if (!recording || runOver || runTooLong || levelDone)
        return;
    // A run the replay reader would refuse is not kept (and grows no more).
    runSeconds += frameTime;
    if (frameTime > longestReplayFrame(run.glide) || runSeconds > kLongestRun ||
        run.frames.size() >= kMostReplayFrames) {
        runTooLong = true;
        run.frames.clear();
        run.frames.shrink_to_fit();
        return;
    }
    pendingFrame.frameTime = frameTime;
    ReplayClock now = currentClock();
    pendingFrame.hasClock = run.frames.empty() || !sameClock(now, clockAtFrameEnd);
    pendingFrame.clock = pendingFrame.hasClock ? now : ReplayClock();
    frameStarted = true;
}

void noteFrameEnd()
{
    if (!frameStarted)
        return;
    frameStarted = false;
    pendingFrame.steering = steering;
    run.frames.push_back(pendingFrame);
    clockAtFrameEnd = currentClock();
    if (levelDone) {
        runOver = true;
        run.finished = true;
        run.finishTime = levelTimes[levelNumber - 1];
    }
}

void endRunRecording()
{
    if (!recording)
        return;
    recording = false;
    frameStarted = false;
    if (runTooLong)
        complain("the run of " + run.levelFile + " is longer than a replay holds; it is not kept");
    if (run.frames.empty())
        return;
    std::string bytes = encodeReplay(run);
    std::string reason;
    if (!writeOwnFile(replayFileName(run.levelFile, false), bytes, reason))
        complain(reason);
    std::string bestName = replayFileName(run.levelFile, true);
    if (run.finished && beatsKeptBest(bestName) && !writeOwnFile(bestName, bytes, reason))
        complain(reason);
}

void resetRunRecording()
{
    recording = false;
    runTooLong = false;
    frameStarted = false;
    run = Replay();
}
