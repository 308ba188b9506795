#include "tools/datagen/soundfont.h"

#include "tools/datagen/output.h"
#include "tools/datagen/soundfont_writer.h"

#include <cmath>
#include <cstdint>
#include <functional>

namespace {

constexpr double kPi = 3.14159265358979323846;
// One cycle of 100 samples at 44000 Hz is the A above middle C (key 69).
constexpr int kCycle = 100, kCycleRate = 44000, kCycleKey = 69;

int16_t pcm(double v)
{
    v = v > 1.0 ? 1.0 : (v < -1.0 ? -1.0 : v);
    return static_cast<int16_t>(std::lround(v * 32767.0));
}

// A looped single cycle from harmonic amplitudes, scaled to the given peak.
std::vector<int16_t> cycle(int harmonics, const std::function<double(int)>& amplitude, double peak,
                           const std::function<double(double)>& shape = nullptr)
{
    std::vector<double> wave(kCycle, 0.0);
    double largest = 0.0;
    for (int i = 0; i < kCycle; ++i) {
        for (int n = 1; n <= harmonics; ++n)
            wave[i] += amplitude(n) * std::sin(2.0 * kPi * n * i / kCycle);
        if (shape)
            wave[i] = shape(wave[i]);
        largest = std::fmax(largest, std::fabs(wave[i]));
    }
    std::vector<int16_t> out;
    for (double v : wave)
        out.push_back(pcm(largest > 0 ? v * peak / largest : 0.0));
    return out;
}

// A melodic preset: full harmonics up to key 83, fewer above so that no
// partial passes 17 kHz.
SoundFontPreset melodic(const std::string& name, int program, const std::function<double(int)>& amplitude,
                        double attack, double decay, double sustainDb, double release,
                        const std::function<double(double)>& shape = nullptr)
{
    SoundFontPreset preset{name, program, 0, {}};
    const struct {
        int low, high, harmonics;
    } zones[2] = {{0, 83, 16}, {84, 127, 4}};
    for (const auto& zone : zones) {
        SoundFontVoice v;
        v.name = name.substr(0, 16) + (zone.low ? " hi" : " lo");
        v.samples = cycle(zone.harmonics, amplitude, 0.5, shape);
        v.sampleRate = kCycleRate;
        v.rootKey = kCycleKey;
        v.lowKey = zone.low, v.highKey = zone.high;
        v.loopStart = 0;
        v.attack = attack, v.decay = decay, v.sustainDb = sustainDb, v.release = release;
        preset.voices.push_back(v);
    }
    return preset;
}

// A one-shot drum hit: a tone gliding from startHz to endHz plus noise, each
// fading with its own time.
SoundFontVoice drum(const std::string& name, int key, double seconds, double startHz, double endHz, double toneFade,
                    double noise, double noiseFade, bool bright, uint32_t seed)
{
    const int rate = 22050;
    SoundFontVoice v;
    v.name = name;
    v.sampleRate = rate;
    v.rootKey = key;
    v.lowKey = v.highKey = key;
    v.attack = 0.001, v.decay = seconds, v.sustainDb = 0.0, v.release = seconds;
    double phase = 0.0, last = 0.0;
    int count = static_cast<int>(seconds * rate);
    for (int i = 0; i < count; ++i) {
        double t = static_cast<double>(i) / rate;
        double hz = endHz + (startHz - endHz) * std::exp(-t / 0.04);
        phase += 2.0 * kPi * hz / rate;
        seed = seed * 1664525u + 1013904223u;
        double white = static_cast<double>(seed >> 8) / 8388608.0 - 1.0;
        double hiss = bright ? white - last : white; // a first difference keeps only the top
        last = white;
        double fadeOut = i > count - 200 ? (count - i) / 200.0 : 1.0;
        double value = 0.6 * std::sin(phase) * std::exp(-t / toneFade) + noise * hiss * std::exp(-t / noiseFade);
        v.samples.push_back(pcm(0.8 * value * fadeOut));
    }
    return v;
}

std::vector<SoundFontPreset> instruments()
{
    auto odd = [](int n) { return n % 2 ? 1.0 / n : 0.0; };
    auto saw = [](int n) { return 1.0 / n; };
    auto soft = [](int n) { return 1.0 / std::pow(n, 1.6); };
    auto bass = [](int n) { return 1.0 / (n * n); };
    auto bell = [](int n) { return n == 1 ? 1.0 : (n == 2 ? 0.35 : (n == 4 ? 0.12 : 0.02 / n)); };
    auto drive = [](double v) { return std::tanh(2.5 * v); };
    // Program 0 is what a channel plays before its first program change.
    std::vector<SoundFontPreset> presets = {
        melodic("Piano", 0, bell, 0.003, 1.6, 24.0, 0.3),
        melodic("Electric Piano", 4, bell, 0.003, 1.6, 24.0, 0.3),
        melodic("Overdriven Guitar", 29, saw, 0.004, 2.0, 8.0, 0.15, drive),
        melodic("Picked Bass", 34, bass, 0.003, 0.9, 14.0, 0.1),
        melodic("Slap Bass", 36, saw, 0.002, 0.5, 16.0, 0.1),
        melodic("Synth Bass", 38, soft, 0.003, 0.7, 10.0, 0.1),
        melodic("Strings", 48, soft, 0.09, 1.0, 3.0, 0.45),
        melodic("Synth Brass", 62, soft, 0.03, 0.6, 6.0, 0.2),
        melodic("Square Lead", 80, odd, 0.005, 0.8, 4.0, 0.12),
        melodic("Saw Lead", 81, saw, 0.005, 0.8, 4.0, 0.12),
    };
    SoundFontPreset kit{"Standard Kit", 0, 128, {}};
    kit.voices = {
        drum("Kick", 36, 0.35, 160, 48, 0.12, 0.1, 0.01, false, 1),
        drum("Snare", 38, 0.25, 220, 180, 0.05, 0.7, 0.07, false, 2),
        drum("Closed Hat", 42, 0.08, 0, 0, 0.01, 0.6, 0.02, true, 3),
        drum("Low Tom", 45, 0.4, 150, 95, 0.14, 0.1, 0.02, false, 4),
        drum("Open Hat", 46, 0.4, 0, 0, 0.01, 0.6, 0.12, true, 5),
        drum("Mid Tom", 47, 0.4, 200, 130, 0.13, 0.1, 0.02, false, 6),
        drum("Crash", 49, 1.4, 0, 0, 0.01, 0.6, 0.45, true, 7),
        drum("High Tom", 50, 0.35, 260, 175, 0.12, 0.1, 0.02, false, 8),
        drum("Ride", 51, 1.0, 620, 600, 0.3, 0.4, 0.3, true, 9),
    };
    presets.push_back(kit);
    return presets;
}

} // namespace

bool writeSoundFont(const std::string& root)
{
    return writeFile(root, "sounds/orbivale.sf2", encodeSoundFont("Orbivale", instruments()));
}
