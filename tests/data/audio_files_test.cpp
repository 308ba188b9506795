// The generated sounds are valid, audible, unclipped wave files and the
// music is standard MIDI of one to two minutes.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

const fs::path kData = ORBIVALE_DATA_DIR;

std::vector<uint8_t> readBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

uint32_t le32(const std::vector<uint8_t>& b, size_t at)
{
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | uint32_t(b[at + 3]) << 24;
}
uint32_t le16(const std::vector<uint8_t>& b, size_t at) { return b[at] | b[at + 1] << 8; }
uint32_t be32(const std::vector<uint8_t>& b, size_t at)
{
    return uint32_t(b[at]) << 24 | b[at + 1] << 16 | b[at + 2] << 8 | b[at + 3];
}
uint32_t be16(const std::vector<uint8_t>& b, size_t at) { return b[at] << 8 | b[at + 1]; }

struct Wave {
    int rate = 0;
    std::vector<int16_t> samples;
};

// A mono 16-bit PCM wave with its chunks in place; empty samples when malformed.
Wave readWave(const fs::path& path)
{
    Wave wave;
    std::vector<uint8_t> b = readBytes(path);
    if (b.size() < 44 || std::string(b.begin(), b.begin() + 4) != "RIFF" ||
        std::string(b.begin() + 8, b.begin() + 12) != "WAVE")
        return wave;
    if (le32(b, 4) != b.size() - 8)
        return wave;
    if (std::string(b.begin() + 12, b.begin() + 16) != "fmt " || le16(b, 20) != 1 || le16(b, 22) != 1 ||
        le16(b, 34) != 16)
        return wave;
    if (std::string(b.begin() + 36, b.begin() + 40) != "data" || le32(b, 40) != b.size() - 44)
        return wave;
    wave.rate = int(le32(b, 24));
    for (size_t i = 44; i + 1 < b.size(); i += 2)
        wave.samples.push_back(int16_t(le16(b, i)));
    return wave;
}

} // namespace

TEST(GeneratedSounds, WavesAreShortCleanAndDistinct)
{
    std::set<std::vector<int16_t>> seen;
    for (const char* folder : {"gl", "glide"})
        for (const char* name : {"go", "timeup", "menu", "allright", "beep"}) {
            SCOPED_TRACE(std::string(folder) + "/" + name);
            Wave wave = readWave(kData / folder / "sounds" / (std::string(name) + ".wav"));
            ASSERT_FALSE(wave.samples.empty());
            EXPECT_TRUE(wave.rate == 22050 || wave.rate == 44100);
            double seconds = double(wave.samples.size()) / wave.rate;
            EXPECT_GT(seconds, 0.03);
            EXPECT_LT(seconds, 2.5);
            int peak = 0;
            double energy = 0;
            for (int16_t s : wave.samples) {
                peak = std::max(peak, std::abs(int(s)));
                energy += double(s) * s;
            }
            EXPECT_LT(peak, 32000) << "clipped";
            EXPECT_GT(peak, 8000) << "too quiet";
            EXPECT_GT(std::sqrt(energy / wave.samples.size()), 1000.0) << "nearly silent";
            // Starts and ends in silence: no click at either end.
            EXPECT_LT(std::abs(int(wave.samples.front())), 300);
            EXPECT_LT(std::abs(int(wave.samples.back())), 300);
            // Faded in and out by an envelope, not cut.
            size_t fadeIn = size_t(wave.rate) / 2000, fadeOut = size_t(wave.rate) / 200;
            int head = 0, tail = 0;
            for (size_t i = 0; i < fadeIn; ++i)
                head = std::max(head, std::abs(int(wave.samples[i])));
            for (size_t i = wave.samples.size() - fadeOut; i < wave.samples.size(); ++i)
                tail = std::max(tail, std::abs(int(wave.samples[i])));
            EXPECT_LT(head, peak / 2);
            EXPECT_LT(tail, peak / 10);
            if (std::string(folder) == "gl") {
                EXPECT_TRUE(seen.insert(wave.samples).second) << "same as another sound";
            }
        }
}

namespace {

struct MidiSummary {
    bool valid = false;
    int format = -1, tracks = 0, division = 0;
    double seconds = 0;
    int notesOn = 0, notesOff = 0, drumNotes = 0, tracksWithNotes = 0;
    std::set<int> programs, drumKeys;
    std::string problem;
};

uint32_t readVarLen(const std::vector<uint8_t>& b, size_t& at, size_t end)
{
    uint32_t value = 0;
    for (int i = 0; i < 4 && at < end; ++i) {
        uint8_t byte = b[at++];
        value = (value << 7) | (byte & 0x7f);
        if (!(byte & 0x80))
            return value;
    }
    return value;
}

// Walks every track; the tempo is taken from the first tempo event.
MidiSummary readMidi(const fs::path& path)
{
    MidiSummary m;
    std::vector<uint8_t> b = readBytes(path);
    if (b.size() < 14 || std::string(b.begin(), b.begin() + 4) != "MThd" || be32(b, 4) != 6) {
        m.problem = "header";
        return m;
    }
    m.format = int(be16(b, 8));
    m.tracks = int(be16(b, 10));
    m.division = int(be16(b, 12));
    double microsPerQuarter = 500000;
    uint32_t longest = 0;
    size_t at = 14;
    for (int t = 0; t < m.tracks; ++t) {
        if (at + 8 > b.size() || std::string(b.begin() + at, b.begin() + at + 4) != "MTrk") {
            m.problem = "track chunk " + std::to_string(t);
            return m;
        }
        size_t end = at + 8 + be32(b, at + 4);
        if (end > b.size()) {
            m.problem = "track length";
            return m;
        }
        at += 8;
        uint32_t tick = 0;
        uint8_t status = 0;
        bool ended = false, hasNotes = false;
        while (at < end && !ended) {
            tick += readVarLen(b, at, end);
            if (at >= end)
                break;
            if (b[at] & 0x80)
                status = b[at++];
            if (status == 0xff) {
                uint8_t type = b[at++];
                uint32_t length = readVarLen(b, at, end);
                if (type == 0x51 && length == 3)
                    microsPerQuarter = b[at] << 16 | b[at + 1] << 8 | b[at + 2];
                if (type == 0x2f)
                    ended = true;
                at += length;
            } else if (status == 0xf0 || status == 0xf7) {
                at += readVarLen(b, at, end);
            } else {
                int kind = status & 0xf0;
                int data = (kind == 0xc0 || kind == 0xd0) ? 1 : 2;
                bool drums = (status & 0x0f) == 9;
                if (kind == 0xc0 && !drums)
                    m.programs.insert(b[at]);
                if (kind == 0x90 && b[at + 1] > 0) {
                    ++m.notesOn;
                    hasNotes = true;
                    if (drums) {
                        ++m.drumNotes;
                        m.drumKeys.insert(b[at]);
                    }
                } else if (kind == 0x80 || (kind == 0x90 && b[at + 1] == 0)) {
                    ++m.notesOff;
                }
                at += data;
            }
        }
        if (!ended || at != end) {
            m.problem = "track " + std::to_string(t) + " does not end with its end-of-track event";
            return m;
        }
        m.tracksWithNotes += hasNotes;
        longest = std::max(longest, tick);
    }
    m.seconds = longest / double(m.division) * microsPerQuarter / 1e6;
    m.valid = at == b.size();
    if (!m.valid)
        m.problem = "bytes after the last track";
    return m;
}

} // namespace

TEST(GeneratedMusic, PiecesAreFormatOneMidiOfOneToTwoMinutes)
{
    std::set<int> lengths;
    for (const char* name :
         {"gl/sounds/midi1.mid", "gl/sounds/drwho2.mid", "gl/sounds/midi3.mid", "glide/sounds/midi1.mid"}) {
        SCOPED_TRACE(name);
        MidiSummary m = readMidi(kData / name);
        ASSERT_TRUE(m.valid) << m.problem;
        EXPECT_EQ(m.format, 1);
        EXPECT_GE(m.tracksWithNotes, 4) << "melody, chords, bass and drums";
        EXPECT_GT(m.drumNotes, 100) << "drums on channel 10";
        EXPECT_EQ(m.notesOn, m.notesOff) << "every note ends";
        EXPECT_GE(m.seconds, 60.0);
        EXPECT_LE(m.seconds, 120.0);
        lengths.insert(int(m.seconds));
    }
    EXPECT_EQ(lengths.size(), 3u) << "three different pieces";
    EXPECT_FALSE(fs::exists(kData / "glide/sounds/drwho2.mid"));
    EXPECT_EQ(readBytes(kData / "gl/sounds/midi1.mid"), readBytes(kData / "glide/sounds/midi1.mid"));
}

namespace {

// The payload of a soundfont's sub-chunk (phdr, igen, ...) inside its LIST
// chunks; empty when the file has no such chunk.
std::vector<uint8_t> soundFontChunk(const std::vector<uint8_t>& b, const std::string& id)
{
    for (size_t at = 12; at + 8 <= b.size();) {
        std::string name(b.begin() + at, b.begin() + at + 4);
        size_t size = le32(b, at + 4);
        if (name == "LIST") {
            at += 12; // into the list, past its type
            continue;
        }
        if (at + 8 + size > b.size())
            break;
        if (name == id)
            return std::vector<uint8_t>(b.begin() + at + 8, b.begin() + at + 8 + size);
        at += 8 + size + (size & 1);
    }
    return {};
}

} // namespace

// The game's own soundfont plays every program the pieces change to and has
// a zone for every drum they hit: a missing one would be a silent part.
TEST(GeneratedMusic, SoundFontHoldsEveryInstrumentThePiecesPlay)
{
    std::vector<uint8_t> font = readBytes(kData / "gl/sounds/orbivale.sf2");
    ASSERT_GE(font.size(), 12u);
    ASSERT_EQ(std::string(font.begin(), font.begin() + 4), "RIFF");
    ASSERT_EQ(std::string(font.begin() + 8, font.begin() + 12), "sfbk");
    EXPECT_EQ(le32(font, 4), font.size() - 8);
    EXPECT_EQ(readBytes(kData / "glide/sounds/orbivale.sf2"), font);

    std::set<std::pair<int, int>> presets; // bank, program
    std::vector<uint8_t> phdr = soundFontChunk(font, "phdr");
    for (size_t at = 0; at + 38 <= phdr.size(); at += 38)
        presets.insert({int(le16(phdr, at + 22)), int(le16(phdr, at + 20))});
    std::set<int> singleKeyZones;
    std::vector<uint8_t> igen = soundFontChunk(font, "igen");
    for (size_t at = 0; at + 4 <= igen.size(); at += 4)
        if (le16(igen, at) == 43 && igen[at + 2] == igen[at + 3])
            singleKeyZones.insert(igen[at + 2]); // key range

    for (const char* name : {"gl/sounds/midi1.mid", "gl/sounds/drwho2.mid", "gl/sounds/midi3.mid"}) {
        SCOPED_TRACE(name);
        MidiSummary m = readMidi(kData / name);
        ASSERT_TRUE(m.valid) << m.problem;
        EXPECT_TRUE(presets.count({0, 0})) << "what a channel plays before its first program change";
        for (int program : m.programs)
            EXPECT_TRUE(presets.count({0, program})) << "program " << program;
        EXPECT_TRUE(presets.count({128, 0})) << "the drum kit";
        for (int key : m.drumKeys)
            EXPECT_TRUE(singleKeyZones.count(key)) << "drum key " << key;
    }
}
