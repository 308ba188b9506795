#pragma once

#include <string>
#include <vector>

constexpr int kSoundRate = 22050;

// The effects as samples in -1..1 at kSoundRate; each starts and ends in
// silence and peaks well below full scale.
std::vector<float> goSound();      // start signal: a bright rising chime
std::vector<float> timeUpSound();  // time-up buzzer
std::vector<float> menuSound();    // soft menu click
std::vector<float> goalSound();    // goal fanfare
std::vector<float> refusalSound(); // short refusal beep

// Writes sounds/go.wav, timeup.wav, menu.wav, allright.wav and beep.wav.
bool writeSounds(const std::string& root);
