#include "sim/sim_globals.h"

void resetSimGlobals()
{
    marble = Marble();
    resetMarbleControlState();
    replayedSteering = nullptr;
    resetCameraState();
    cameraView = ViewTransform();
}
