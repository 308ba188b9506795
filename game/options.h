#pragma once

// The player's option switches, set in the menu (orbivale-glide also keeps
// them in its best-times file).
extern bool showStatistics;
extern bool normalView;
extern bool farSight;
extern bool fogOn;
extern bool musicOn;
extern float cameraLag;      // whole values 0 to 9
extern bool joystickControl; // orbivale-glide: the joystick steers

void resetOptions();
