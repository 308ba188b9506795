#include "tools/datagen/music.h"

#include "tools/datagen/noise.h"
#include "tools/datagen/output.h"

#include <algorithm>

namespace {

constexpr int kEighth = kTicksPerQuarter / 2;
constexpr int kSixteenth = kTicksPerQuarter / 4;
constexpr int kBar = kTicksPerQuarter * 4;

// General MIDI drum keys.
enum Drum {
    Kick = 36,
    Snare = 38,
    ClosedHat = 42,
    OpenHat = 46,
    LowTom = 45,
    MidTom = 47,
    HighTom = 50,
    Crash = 49,
    Ride = 51
};

struct Chord {
    int root; // MIDI key of the root, around the third octave
    bool minor;
};

// One melody note: a key (0 = rest) and its length in eighths.
struct Step {
    int key;
    int eighths;
};

// A four-bar phrase over a four-chord progression.
struct Phrase {
    Chord chords[4];
    std::vector<Step> melody; // 32 eighths
};

enum class Groove { Pop, Gallop, Drive };

struct Section {
    const Phrase* phrase;
    bool melody;    // false: the band plays the chords without the tune
    int transpose;  // melody octave shift for variation, in semitones
    bool fillAtEnd; // a drum fill in the last beat of the phrase
};

struct Band {
    MidiTrack lead, chords, bass, drums;
    Rng rng{1};
};

int human(Band& band, int velocity, int spread)
{
    return velocity + static_cast<int>(band.rng.range(-static_cast<float>(spread), static_cast<float>(spread) + 1.0f));
}

void playMelody(Band& band, const Phrase& phrase, int start, int transpose)
{
    int t = start;
    for (const Step& step : phrase.melody) {
        int length = step.eighths * kEighth;
        if (step.key > 0)
            band.lead.notes.push_back({t, length - 20, step.key + transpose, human(band, 96, 6)});
        t += length;
    }
}

void playChord(Band& band, const Chord& chord, int start, int length, int velocity)
{
    int third = chord.minor ? 3 : 4;
    int base = chord.root + 12;
    for (int interval : {0, third, 7, 12})
        band.chords.notes.push_back({start, length - 10, base + interval, human(band, velocity, 4)});
}

void playBar(Band& band, Groove groove, const Chord& chord, int start)
{
    const int root = chord.root - 12, fifth = root + 7, octave = root + 12;
    auto bass = [&](int offset, int length, int key, int velocity) {
        band.bass.notes.push_back({start + offset, length - 15, key, human(band, velocity, 5)});
    };
    auto hit = [&](int offset, int key, int velocity) {
        band.drums.notes.push_back({start + offset, kSixteenth, key, human(band, velocity, 8)});
    };
    switch (groove) {
    case Groove::Pop:
        playChord(band, chord, start, kBar / 2, 62);
        playChord(band, chord, start + kBar / 2, kBar / 2, 56);
        for (int i = 0; i < 8; ++i)
            bass(i * kEighth, kEighth, i == 6 ? fifth : (i == 7 ? octave : root), i % 2 ? 80 : 96);
        for (int i = 0; i < 8; ++i)
            hit(i * kEighth, ClosedHat, i % 2 ? 58 : 74);
        hit(0, Kick, 100);
        hit(5 * kEighth, Kick, 84);
        hit(4 * kEighth, Kick, 96);
        hit(2 * kEighth, Snare, 96);
        hit(6 * kEighth, Snare, 100);
        break;
    case Groove::Gallop:
        playChord(band, chord, start, kBar, 54);
        for (int beat = 0; beat < 4; ++beat) {
            int key = beat == 3 ? fifth : root;
            bass(beat * kTicksPerQuarter, kEighth, key, 96);
            bass(beat * kTicksPerQuarter + kEighth, kSixteenth, key, 78);
            bass(beat * kTicksPerQuarter + kEighth + kSixteenth, kSixteenth, key, 84);
            hit(beat * kTicksPerQuarter, Ride, 62);
            hit(beat * kTicksPerQuarter + kEighth, ClosedHat, 48);
        }
        hit(0, Kick, 100);
        hit(3 * kEighth, Kick, 80);
        hit(4 * kEighth, Snare, 92);
        hit(7 * kEighth, LowTom, 70);
        break;
    case Groove::Drive:
        playChord(band, chord, start + kEighth, kEighth * 3, 64);
        playChord(band, chord, start + kEighth * 5, kEighth * 3, 60);
        {
            const int pattern[8] = {root, 0, octave, root, 0, root, fifth, root + 10};
            for (int i = 0; i < 8; ++i)
                if (pattern[i])
                    bass(i * kEighth, kEighth, pattern[i], i == 0 ? 104 : 86);
        }
        for (int i = 0; i < 16; ++i)
            hit(i * kSixteenth, i % 4 == 2 ? OpenHat : ClosedHat, i % 2 ? 50 : 70);
        hit(0, Kick, 108);
        hit(3 * kEighth, Kick, 90);
        hit(5 * kEighth, Kick, 94);
        hit(2 * kEighth, Snare, 100);
        hit(6 * kEighth, Snare, 104);
        break;
    }
}

void playFill(Band& band, int barStart)
{
    // Replace the last beat with a run down the toms into the next section.
    int beat = barStart + 3 * kTicksPerQuarter;
    auto& notes = band.drums.notes;
    notes.erase(std::remove_if(notes.begin(), notes.end(), [&](const MidiNote& n) { return n.tick >= beat; }),
                notes.end());
    const int run[4] = {Snare, HighTom, MidTom, LowTom};
    for (int i = 0; i < 4; ++i)
        band.drums.notes.push_back({beat + i * kSixteenth, kSixteenth, run[i], human(band, 90 + 4 * i, 4)});
}

Piece perform(const std::string& title, double bpm, Groove groove, const std::vector<Section>& sections,
              const Chord& home, int leadProgram, int chordProgram, int bassProgram, uint32_t seed)
{
    Band band;
    band.rng = Rng(seed);
    band.lead = {"Lead", 0, leadProgram, 100, 70, {}};
    band.chords = {"Chords", 1, chordProgram, 78, 50, {}};
    band.bass = {"Bass", 2, bassProgram, 105, 64, {}};
    band.drums = {"Drums", 9, 0, 96, 64, {}};
    int t = 0;
    for (const Section& section : sections) {
        band.drums.notes.push_back({t, kEighth, Crash, 92});
        for (int bar = 0; bar < 4; ++bar)
            playBar(band, groove, section.phrase->chords[bar], t + bar * kBar);
        if (section.melody)
            playMelody(band, *section.phrase, t, section.transpose);
        if (section.fillAtEnd)
            playFill(band, t + 3 * kBar);
        t += 4 * kBar;
    }
    // Ending: the home chord held for a bar, the tune on its root, one last hit.
    playChord(band, home, t, kBar, 70);
    band.bass.notes.push_back({t, kBar, home.root - 12, 100});
    band.lead.notes.push_back({t, kBar, home.root + 24, 90});
    band.drums.notes.push_back({t, kEighth, Crash, 104});
    band.drums.notes.push_back({t, kEighth, Kick, 110});
    int end = t + kBar + kTicksPerQuarter;
    return {title, bpm, {band.lead, band.chords, band.bass, band.drums}, end};
}

} // namespace

double pieceSeconds(const Piece& piece)
{
    return piece.endTick / static_cast<double>(kTicksPerQuarter) * 60.0 / piece.beatsPerMinute;
}

Piece rollingStart()
{
    const Chord C{48, false}, G{43, false}, Am{45, true}, F{41, false}, Em{40, true};
    static const Phrase a1{{C, G, Am, F},
                           {{67, 2},
                            {64, 1},
                            {67, 1},
                            {72, 3},
                            {71, 1},
                            {74, 2},
                            {71, 2},
                            {67, 2},
                            {69, 1},
                            {71, 1},
                            {72, 3},
                            {69, 1},
                            {64, 2},
                            {67, 2},
                            {65, 2},
                            {69, 2},
                            {72, 2},
                            {71, 1},
                            {69, 1}}};
    static const Phrase a2{{C, G, Am, F},
                           {{67, 2},
                            {64, 1},
                            {67, 1},
                            {72, 3},
                            {74, 1},
                            {76, 2},
                            {74, 2},
                            {71, 2},
                            {67, 2},
                            {69, 2},
                            {72, 2},
                            {76, 3},
                            {74, 1},
                            {72, 6},
                            {0, 2}}};
    static const Phrase b1{{F, G, Em, Am},
                           {{69, 3},
                            {72, 1},
                            {77, 2},
                            {76, 2},
                            {74, 3},
                            {71, 1},
                            {67, 4},
                            {71, 2},
                            {67, 2},
                            {64, 2},
                            {67, 1},
                            {71, 1},
                            {72, 6},
                            {71, 1},
                            {69, 1}}};
    static const Phrase b2{
        {F, G, C, C},
        {{69, 2}, {72, 2}, {77, 3}, {76, 1}, {74, 2}, {79, 2}, {77, 2}, {74, 2}, {76, 4}, {72, 4}, {72, 6}, {0, 2}}};
    std::vector<Section> form = {
        {&a1, false, 0, false}, {&a1, true, 0, false},  {&a2, true, 0, false}, {&b1, true, 0, false},
        {&b2, true, 0, true},   {&a1, true, 12, false}, {&a2, true, 12, true}, {&b1, true, 0, false},
        {&b2, true, 0, true},   {&a1, true, 0, false},  {&a2, true, 0, false},
    };
    // Square lead, electric piano, picked bass.
    return perform("Rolling Start", 126, Groove::Pop, form, C, 80, 4, 34, 101);
}

Piece nightOrbit()
{
    const Chord Am{45, true}, F{41, false}, Dm{50, true}, E{40, false}, C{48, false}, G{43, false};
    static const Phrase
        a1{{Am, F, Dm, E},
           {{76, 6}, {74, 1}, {72, 1}, {77, 4}, {76, 2}, {72, 2}, {74, 6}, {72, 1}, {69, 1}, {71, 4}, {68, 4}}};
    static const Phrase
        a2{{Am, F, Dm, E},
           {{76, 3}, {81, 3}, {79, 1}, {77, 1}, {76, 4}, {72, 4}, {74, 2}, {77, 2}, {81, 3}, {80, 1}, {76, 8}}};
    static const Phrase
        b1{{C, G, F, E},
           {{79, 4}, {76, 2}, {72, 2}, {74, 6}, {71, 2}, {72, 2}, {69, 2}, {77, 4}, {76, 4}, {71, 2}, {68, 2}}};
    static const Phrase b2{{F, G, Am, Am},
                           {{81, 4}, {77, 2}, {72, 2}, {79, 4}, {74, 2}, {71, 2}, {72, 4}, {76, 4}, {69, 8}}};
    std::vector<Section> form = {
        {&a1, false, 0, false}, {&a1, true, 0, false}, {&a2, true, 0, true},
        {&b1, true, 0, false},  {&b2, true, 0, true},  {&a1, true, -12, false},
        {&a2, true, 0, true},   {&b1, true, 0, false}, {&b2, true, 0, false},
    };
    // Sawtooth lead, string ensemble, synth bass.
    return perform("Night Orbit", 100, Groove::Gallop, form, Am, 81, 48, 38, 202);
}

Piece emberCircuit()
{
    const Chord Dm{50, true}, C{48, false}, Bb{46, false}, A{45, false}, Gm{43, true}, F{41, false};
    static const Phrase a1{{Dm, C, Bb, C},
                           {{74, 1},
                            {74, 1},
                            {77, 2},
                            {74, 1},
                            {72, 1},
                            {69, 2},
                            {72, 3},
                            {67, 1},
                            {72, 2},
                            {76, 2},
                            {74, 2},
                            {70, 2},
                            {65, 3},
                            {67, 1},
                            {69, 2},
                            {72, 2},
                            {76, 3},
                            {74, 1}}};
    static const Phrase a2{{Dm, C, Bb, A},
                           {{74, 1},
                            {74, 1},
                            {77, 2},
                            {81, 2},
                            {79, 1},
                            {77, 1},
                            {76, 3},
                            {72, 1},
                            {79, 2},
                            {76, 2},
                            {77, 2},
                            {74, 2},
                            {70, 2},
                            {74, 2},
                            {73, 4},
                            {76, 2},
                            {69, 2}}};
    static const Phrase b1{{Gm, Bb, F, A},
                           {{70, 2},
                            {74, 2},
                            {79, 3},
                            {77, 1},
                            {74, 2},
                            {77, 2},
                            {82, 2},
                            {81, 2},
                            {81, 3},
                            {77, 1},
                            {72, 2},
                            {77, 2},
                            {76, 4},
                            {73, 2},
                            {69, 2}}};
    static const Phrase b2{{Gm, Bb, F, A},
                           {{79, 3},
                            {77, 1},
                            {74, 2},
                            {70, 2},
                            {74, 3},
                            {77, 1},
                            {74, 2},
                            {70, 2},
                            {72, 2},
                            {69, 2},
                            {65, 2},
                            {69, 2},
                            {73, 6},
                            {76, 2}}};
    std::vector<Section> form = {
        {&a1, false, 0, true}, {&a1, true, 0, false}, {&a2, true, 0, true},   {&b1, true, 0, false},
        {&b2, true, 0, true},  {&a1, false, 0, true}, {&a1, true, 12, false}, {&a2, true, 12, true},
        {&b1, true, 0, false}, {&b2, true, 0, true},  {&a1, true, 0, false},  {&a2, true, 0, false},
    };
    // Synth brass lead, overdriven guitar chords, slap bass.
    return perform("Ember Circuit", 150, Groove::Drive, form, Dm, 62, 29, 36, 303);
}

bool writeMusic(const std::string& root, bool allThreePieces)
{
    auto write = [&](const std::string& name, const Piece& piece) {
        return writeFile(root, "sounds/" + name, encodeMidi(piece.beatsPerMinute, piece.tracks, piece.endTick));
    };
    if (!write("midi1.mid", rollingStart()))
        return false;
    if (!allThreePieces)
        return true;
    return write("drwho2.mid", nightOrbit()) && write("midi3.mid", emberCircuit());
}
