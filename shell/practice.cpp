#include "shell/practice.h"

#include "game/game_state.h"
#include "game/options.h"
#include "game/sound.h"
#include "levels/level_list.h"
#include "platform/platform.h"
#include "screens/cues.h"
#include "shell/ghost.h"
#include "shell/replay_playback.h"
#include "shell/settings.h"

int practiceLevelToPlay = 0;
std::string ghostToRace;

namespace {

int practised = 0;

bool refuseGhost(const std::string& path, const std::string& why)
{
    platform->messageBox(path + ": " + why, "Ghost");
    platform->requestQuit(1);
    return false;
}

// The run must be one of this game's levels, and the practised one when practising.
bool takeGhostToRace(const std::string& path)
{
    Replay run;
    std::string reason;
    if (!readPlayableReplay(path, run, reason))
        return refuseGhost(path, reason);
    if (practiceLevelToPlay > 0 && run.levelFile != levelNames[practiceLevelToPlay - 1])
        return refuseGhost(path, "a run of " + run.levelFile + ", not of level " +
                                     std::to_string(practiceLevelToPlay) + " (" + levelNames[practiceLevelToPlay - 1] +
                                     ")");
    bool inTheList = false;
    for (const std::string& name : levelNames)
        inTheList = inTheList || name == run.levelFile;
    if (!inTheList)
        return refuseGhost(path, "a run of " + run.levelFile + ", which is not in this game's level list");
    raceRun(run);
    // Shown for this run of the program; the player's F7 setting stays as saved.
    ghostOn = true;
    return true;
}

} // namespace

int practiceLevel() { return practised; }
bool practising() { return practised > 0; }

bool startPlayAsAsked()
{
    if (!ghostToRace.empty() && !takeGhostToRace(ghostToRace))
        return false;
    if (practiceLevelToPlay >= 1 && practiceLevelToPlay <= levelCount)
        startPractice(practiceLevelToPlay);
    return true;
}

void startPractice(int level)
{
    practised = level;
    ghostOn = true; // the best run's ghost, where there is one
    setCornerLabel("Practice - level " + std::to_string(level));
    menuShown = false;
    if (musicOn && !musicPlaying) {
        startMusic("sounds/midi1.mid");
        musicPlaying = true;
    }
    restartPractice();
}

// startLevel sees the practice and starts its level again.
void restartPractice() { platform->postEvent(Event{kEventLevel, 0}); }

void endPractice()
{
    practised = 0;
    setCornerLabel("");
}
