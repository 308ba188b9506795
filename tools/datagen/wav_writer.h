#pragma once

#include <cstdint>
#include <vector>

// A mono 16-bit PCM RIFF WAVE file from samples in -1..1 (clamped).
std::vector<uint8_t> encodeWav(const std::vector<float>& samples, int sampleRate);
