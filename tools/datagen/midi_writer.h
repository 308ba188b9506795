#pragma once

#include <cstdint>
#include <string>
#include <vector>

constexpr int kTicksPerQuarter = 480;

struct MidiNote {
    int tick;     // start, in ticks from the beginning
    int duration; // ticks
    int key;      // 0..127
    int velocity; // 1..127
};

// One instrument part on one channel (9 is the General MIDI drum channel).
struct MidiTrack {
    std::string name;
    int channel = 0;
    int program = 0; // ignored on the drum channel
    int volume = 100;
    int pan = 64;
    std::vector<MidiNote> notes;
};

// A standard MIDI file of format 1: a conductor track with the tempo and
// time signature, then one track per part; every track ends with its
// end-of-track event, the conductor's at the end of the piece.
std::vector<uint8_t> encodeMidi(double beatsPerMinute, const std::vector<MidiTrack>& tracks, int endTick);
