#pragma once

#include "tools/datagen/midi_writer.h"

#include <string>
#include <vector>

// A finished piece: its tracks, tempo and length.
struct Piece {
    std::string title;
    double beatsPerMinute;
    std::vector<MidiTrack> tracks;
    int endTick;
};

Piece rollingStart(); // bright, mid-tempo, major: the first piece of every game
Piece nightOrbit();   // slow, mysterious, minor, with a galloping bass
Piece emberCircuit(); // fast and driving, minor

double pieceSeconds(const Piece& piece);

// sounds/midi1.mid for both programs; orbivale-gl also gets drwho2.mid and midi3.mid.
bool writeMusic(const std::string& root, bool allThreePieces);
