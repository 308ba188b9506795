#pragma once

// The cues, the HUD banner and the pictures keep what they show between frames.
#include "screens/cues.h"
#include "screens/hud.h"
#include "screens/pictures.h"

// No cue, no banner and no picture loaded, as at program start.
void resetScreensGlobals();
