#include "shell/shell_globals.h"

#include "game/game_globals.h"
#include "levels/level_globals.h"
#include "records/records_globals.h"
#include "render/render_globals.h"
#include "screens/screens_globals.h"
#include "sim/sim_globals.h"

void resetShellGlobals()
{
    resetRunRecording();
    stopReplayPlayback();
    replayToPlay.clear();
    resetSettings();
    forgetGhost();
    endPractice();
    practiceLevelToPlay = 0;
    ghostToRace.clear();
    nameCursor = 0;
    screenDirty = true;
    startedUp = false;
    resetFrameState();
}

void resetEveryLayer()
{
    resetGameGlobals();
    resetLevelGlobals();
    resetSimGlobals();
    resetRenderGlobals();
    resetRecordsGlobals();
    resetScreensGlobals();
    resetShellGlobals();
}
