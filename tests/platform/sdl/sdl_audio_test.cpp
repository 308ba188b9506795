// The real SDL sound path, recorded with SDL's disk audio driver: what the
// mixer hands to the device lands in a file of raw signed 16-bit stereo
// samples at 44100 Hz, written at real-time pace.
#include "temp_dir.h"

#include "platform/sdl/sdl_platform.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kRate = 44100;
constexpr int kChannels = 2;

struct Loudness {
    size_t samples = 0;
    double rms = 0.0;          // about the mean, so an offset alone counts as silence
    double loudestRms = 0.0;   // of the loudest 50 ms window
    double clippedShare = 0.0; // samples at full scale
};

Loudness measure(const std::vector<int16_t>& pcm)
{
    Loudness out;
    out.samples = pcm.size();
    if (pcm.empty())
        return out;
    double sum = 0.0;
    for (int16_t s : pcm)
        sum += s;
    double mean = sum / double(pcm.size());
    double squares = 0.0;
    size_t clipped = 0;
    for (int16_t s : pcm) {
        squares += (s - mean) * (s - mean);
        clipped += (s == INT16_MAX || s == INT16_MIN);
    }
    out.rms = std::sqrt(squares / double(pcm.size()));
    out.clippedShare = double(clipped) / double(pcm.size());
    const size_t window = size_t(kRate / 20) * kChannels;
    for (size_t start = 0; start + window <= pcm.size(); start += window) {
        double w = 0.0;
        for (size_t i = start; i < start + window; ++i)
            w += (pcm[i] - mean) * (pcm[i] - mean);
        out.loudestRms = std::max(out.loudestRms, std::sqrt(w / double(window)));
    }
    return out;
}

std::vector<int16_t> readRaw(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<int16_t> pcm(bytes.size() / 2);
    for (size_t i = 0; i < pcm.size(); ++i)
        pcm[i] = int16_t(uint16_t(uint8_t(bytes[2 * i])) | uint16_t(uint8_t(bytes[2 * i + 1])) << 8);
    return pcm;
}

std::ostream& operator<<(std::ostream& out, const Loudness& l)
{
    return out << l.samples << " samples, rms " << l.rms << ", loudest 50 ms rms " << l.loudestRms
               << ", clipped share " << l.clippedShare;
}

// Runs the platform with its audio going to a file, lets start() play
// something, pumps the platform's events for the given time and returns the
// recording once the device is closed.
template <typename Start>
std::vector<int16_t> record(const TempDir& dir, double seconds, Start start)
{
    std::string file = dir.path("out.raw");
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", file.c_str(), 1);
    // No window is needed: the dummy video driver keeps the platform off any display.
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    {
        auto sdl = std::make_unique<SdlPlatform>();
        EXPECT_TRUE(sdl->init());
        EXPECT_STREQ(SDL_GetCurrentAudioDriver(), "disk") << "the disk audio device did not open";
        start(*sdl);
        Uint64 end = SDL_GetTicks64() + Uint64(seconds * 1000.0);
        Event event;
        while (SDL_GetTicks64() < end) {
            while (sdl->takeEvent(event)) {
            }
            SDL_Delay(10);
        }
    } // closing the platform closes the device and its file
    return readRaw(file);
}

std::string dataFile(const std::string& name) { return std::string(ORBIVALE_DATA_DIR) + "/gl/" + name; }

// The start sound is a short generated effect: heard at a fair level, never
// driven into the rails.
TEST(SdlAudioTest, WaveEffectIsAudibleAndClean)
{
    TempDir dir;
    std::vector<int16_t> pcm = record(dir, 1.5, [](SdlPlatform& sdl) { sdl.playSound(dataFile("sounds/go.wav")); });
    Loudness l = measure(pcm);
    // The device ran for the length of the sound, give or take a loaded machine.
    EXPECT_GT(l.samples, size_t(kRate) * kChannels * 3 / 4);
    EXPECT_GT(l.loudestRms, 1000.0) << l;
    EXPECT_GT(l.rms, 200.0) << l;
    EXPECT_LT(l.clippedShare, 0.001) << l;
}

// The first music piece through the MIDI synthesizer. A machine without a
// working synthesizer or soundfont fails here: the game would be mute.
TEST(SdlAudioTest, MidiMusicIsAudibleAndClean)
{
    TempDir dir;
    int started = -1;
    std::string error;
    std::vector<int16_t> pcm = record(dir, 3.0, [&](SdlPlatform& sdl) {
        started = sdl.startMusic(dataFile("sounds/midi1.mid"));
        error = SDL_GetError();
    });
    ASSERT_EQ(started, 0) << "MIDI could not start: " << error;
    Loudness l = measure(pcm);
    EXPECT_GT(l.samples, size_t(kRate) * kChannels * 3 / 2);
    EXPECT_GT(l.loudestRms, 1000.0) << l;
    EXPECT_GT(l.rms, 200.0) << l;
    EXPECT_LT(l.clippedShare, 0.001) << l;
}

// Played from its data folder, the game hands the synthesizer its own small
// soundfont rather than the system's, and the music is still heard cleanly.
TEST(SdlAudioTest, MidiMusicPlaysThroughTheGamesOwnSoundFont)
{
    TempDir dir;
    std::string before = std::filesystem::current_path();
    std::filesystem::current_path(std::string(ORBIVALE_DATA_DIR) + "/gl");
    int started = -1;
    std::string fonts;
    std::vector<int16_t> pcm = record(dir, 3.0, [&](SdlPlatform& sdl) {
        started = sdl.startMusic("sounds/midi1.mid");
        fonts = Mix_GetSoundFonts() ? Mix_GetSoundFonts() : "";
    });
    std::filesystem::current_path(before);
    ASSERT_EQ(started, 0);
    EXPECT_EQ(fonts, "sounds/orbivale.sf2");
    Loudness l = measure(pcm);
    EXPECT_GT(l.loudestRms, 1000.0) << l;
    EXPECT_GT(l.rms, 200.0) << l;
    EXPECT_LT(l.clippedShare, 0.001) << l;
}

// The refusal beep has a channel of its own: a sound playing goes on under
// it, and a sound started after it does not cut it off.
TEST(SdlAudioTest, RefusalBeepNeitherCutsOffNorIsCutOffByASound)
{
    TempDir dir;
    std::string before = std::filesystem::current_path();
    std::filesystem::current_path(std::string(ORBIVALE_DATA_DIR) + "/gl"); // the beep is a data file
    int bothAfterBeep = 0;
    int bothAfterSound = 0;
    std::vector<int16_t> pcm = record(dir, 0.5, [&](SdlPlatform& sdl) {
        sdl.playSound("sounds/go.wav");
        sdl.beep();
        bothAfterBeep = Mix_Playing(-1);
        sdl.beep();
        sdl.playSound("sounds/menu.wav");
        bothAfterSound = Mix_Playing(-1);
    });
    std::filesystem::current_path(before);
    EXPECT_EQ(bothAfterBeep, 2);
    EXPECT_EQ(bothAfterSound, 2);
    EXPECT_GT(measure(pcm).loudestRms, 1000.0);
}

// A file that is not there, or a folder or device in its place, stays silent
// and the platform runs on (a folder as the music once crashed the mixer).
TEST(SdlAudioTest, MissingFilesStaySilent)
{
    TempDir dir;
    std::filesystem::create_directories(dir.path("folder.mid"));
    std::filesystem::create_directories(dir.path("folder.wav"));
    std::vector<int> started;
    std::vector<int16_t> pcm = record(dir, 0.5, [&](SdlPlatform& sdl) {
        for (std::string wave : {dir.path("nothing.wav"), dir.path("folder.wav"), std::string("/dev/zero")})
            sdl.playSound(wave);
        for (std::string piece : {dir.path("nothing.mid"), dir.path("folder.mid"), std::string("/dev/zero")})
            started.push_back(sdl.startMusic(piece));
    });
    EXPECT_EQ(started.size(), 3u);
    for (int result : started)
        EXPECT_NE(result, 0);
    Loudness l = measure(pcm);
    EXPECT_GT(l.samples, 0u);
    EXPECT_LT(l.loudestRms, 1.0) << l;
}

} // namespace
