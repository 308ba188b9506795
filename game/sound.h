#pragma once

#include <string>

// Music state.
extern bool musicPlaying;
extern int musicTrack; // orbivale-gl: which piece the next end notice starts

// Set while the ghost's run is worked out: it makes no sound.
extern bool soundsMuted;

// Fire-and-forget wave playback; a new sound cuts off the last.
void playSound(const char* file);
// 0 on success; callers ignore the result and set musicPlaying themselves.
int startMusic(const char* file);
void stopMusic();
// kEventMusicNotify: a piece ended or was interrupted.
void onMusicNotify();

void resetSoundState();
