#pragma once

// Window life: creation with the start-up of orbivale-gl, focus changes,
// painting, closing and shutdown.
void onCreate();
void onDestroy();
void onClose();
void onSetFocus();
void onKillFocus();
void onPaint();

// Loads what the game needs before the first frame; false after a failure
// has been reported.
bool startUp();
// Whether startUp succeeded.
extern bool startedUp;
