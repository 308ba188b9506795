#pragma once

#include "platform/platform.h"

// orbivale-glide's joystick: found at start-up, then used as a menu pad.
extern bool joystickPresent;
extern int joystickDirection; // 0 centre, 1 right, 2 left, 3 down, 4 up, 5 button
extern JoystickCaps joystickLimits;

// Posts one menu key per change of the stick's direction.
void pollJoystickMenu();

void resetJoystickMenuState();
