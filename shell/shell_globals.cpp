#include "shell/shell_globals.h"

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
