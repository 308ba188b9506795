#include "shell/replay_playback.h"

#include "files/data_file.h"
#include "files/data_paths.h"
#include "files/whole_file.h"
#include "game/edition.h"
#include "game/game_state.h"
#include "game/joystick_menu.h"
#include "game/options.h"
#include "game/sound.h"
#include "levels/level_list.h"
#include "levels/level_map.h"
#include "platform/platform.h"
#include "screens/cues.h"
#include "shell/ghost.h"
#include "shell/level_flow.h"
#include "shell/replay_format.h"
#include "shell/replay_record.h"
#include "sim/camera.h"
#include "sim/marble.h"
#include "sim/marble_control.h"
#include "sim/steering.h"

#include <algorithm>

std::string replayToPlay;

namespace {

// Real time the display is ahead of the recording, at most this much: a
// slower display plays the run slowed down rather than in bursts.
constexpr float kMostOwed = 0.25f;

Replay shown;
bool playing = false;
size_t nextFrame = 0;
float owed = 0.0f;
ReplayClock clockAfterFrame;

bool refuse(const std::string& path, const std::string& why)
{
    platform->messageBox(path + ": " + why, "Replay");
    platform->requestQuit(1);
    return false;
}

} // namespace

bool replayPlaying() { return playing; }
int replayFramesPlayed() { return static_cast<int>(nextFrame); }

bool readPlayableReplay(const std::string& path, Replay& replay, std::string& reason)
{
    std::string bytes;
    if (!readWholeFile(path, kLargestReplayFile, bytes, reason) || !decodeReplay(bytes, replay, reason))
        return false;
    if (replay.glide != isGlide()) {
        reason = std::string("recorded by ") + (replay.glide ? "orbivale-glide" : "orbivale-gl") +
                 ", which alone can play it";
        return false;
    }
    if (replay.levelNumber > levelCount) {
        reason = "its level number " + std::to_string(replay.levelNumber) + " names no level of the level list";
        return false;
    }
    std::string level;
    if (!readWholeFile(dataFilePath(replay.levelFile), kMapFileLimit, level, reason)) {
        reason = "its level file " + replay.levelFile + " is missing";
        return false;
    }
    if (checksumBytes(level) != replay.levelChecksum) {
        reason = "its level file " + replay.levelFile + " differs from the one it was recorded on";
        return false;
    }
    return true;
}

bool startReplayPlayback(const std::string& path)
{
    std::string reason;
    Replay replay;
    if (!readPlayableReplay(path, replay, reason))
        return refuse(path, reason);
    if (!loadLevelMap(replay.levelFile)) {
        platform->requestQuit(1);
        return false;
    }

    shown = std::move(replay);
    playing = true;
    nextFrame = 0;
    owed = 0.0f;
    gameState = GameState::Playing;
    menuShown = false;
    paused = false;
    clockStopped = false;
    levelDone = false;
    levelNumber = shown.levelNumber;
    endThreshold = kTimeOutThreshold;
    joystickLimits = shown.stickLimits;
    setClock(shown.frames.front().clock);
    clockAfterFrame = currentClock();
    Vec3 start(0.0f, kStartY, levelMap.heightAt(0.0f, kStartY));
    marble.setPosition(start);
    marble.setVelocity(Vec3(0.0f, 0.0f, 0.0f));
    cameraPosition = start + Vec3(0.0f, kCameraStartBehind, kCameraStartAbove);
    if (musicOn && !musicPlaying) {
        startMusic("sounds/midi1.mid");
        musicPlaying = true;
    }
    prepareGhost(shown.levelFile);
    showCue("Replay - Space pauses, Escape leaves", 4.0);
    frameClock = platform->counter();
    return true;
}

bool takeReplayFrame()
{
    float measured = frameTime;
    frameTime = 0.0f;
    if (nextFrame >= shown.frames.size()) {
        clockStopped = true;
        return false;
    }
    const ReplayFrame& frame = shown.frames[nextFrame];
    owed = std::min(owed + measured, std::max(kMostOwed, frame.frameTime));
    if (owed < 0.5f * frame.frameTime)
        return false;
    owed -= frame.frameTime;
    frameTime = frame.frameTime;
    // What pauses, repaints and focus changes did to the clock while watching
    // is undone; what they did while recording comes with the frame.
    setClock(frame.hasClock ? frame.clock : clockAfterFrame);
    replayedSteering = &frame.steering;
    ++nextFrame;
    return true;
}

void endReplayFrame()
{
    clockAfterFrame = currentClock();
    replayedSteering = nullptr;
    if (nextFrame >= shown.frames.size()) {
        clockStopped = true; // the last picture stays until Escape
        showLastingCue("End of replay");
    }
}

bool handleReplayKey(int keyCode)
{
    switch (keyCode) {
    case kKeyEscape:
        platform->postEvent(Event{kEventDestroy, 0});
        return true;
    case kKeySpace:
        paused = !paused;
        return true;
    case kKeyEnter:
    case kKeyLeft:
    case kKeyRight:
    case kKeyUp:
    case kKeyDown:
    case kKeyF1:
        return true; // no menu and no next level while watching
    default:
        return false;
    }
}

void stopReplayPlayback()
{
    playing = false;
    shown = Replay();
    nextFrame = 0;
    replayedSteering = nullptr;
}
