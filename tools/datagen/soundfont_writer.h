#pragma once

#include <cstdint>
#include <string>
#include <vector>

// One sampled instrument of a SoundFont 2 file: a mono sample, looped from
// loopStart to its end (no loop when loopStart < 0), played over keys
// lowKey..highKey with rootKey as its own pitch, under a volume envelope.
struct SoundFontVoice {
    std::string name;
    std::vector<int16_t> samples;
    int sampleRate = 44100;
    int rootKey = 60;
    int lowKey = 0, highKey = 127;
    int loopStart = -1;
    double attack = 0.002, decay = 1.0, sustainDb = 0.0, release = 0.2; // seconds, sustain in dB below peak
};

// A preset: program in bank 0, or the drum kit (bank 128), made of voices
// that split the keyboard between them.
struct SoundFontPreset {
    std::string name;
    int program = 0;
    int bank = 0;
    std::vector<SoundFontVoice> voices;
};

// A SoundFont 2.01 file (RIFF sfbk) with one instrument per preset.
std::vector<uint8_t> encodeSoundFont(const std::string& name, const std::vector<SoundFontPreset>& presets);
