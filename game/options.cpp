#include "game/options.h"

bool showStatistics = false;
bool normalView = false;
bool farSight = false;
bool fogOn = true;
bool musicOn = true;
float cameraLag = 6.0f;
bool joystickControl = false;

void resetOptions()
{
    showStatistics = false;
    normalView = false;
    farSight = false;
    fogOn = true;
    musicOn = true;
    cameraLag = 6.0f;
    joystickControl = false;
}
