#include "tools/datagen/sounds.h"

#include "tools/datagen/noise.h"
#include "tools/datagen/output.h"
#include "tools/datagen/wav_writer.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kTwoPi = 6.283185307179586;
constexpr float kPeak = 0.70f; // about -3 dB, leaving headroom for the mixer

std::vector<float> silence(double seconds)
{
    return std::vector<float>(static_cast<size_t>(seconds * kSoundRate), 0.0f);
}

// Attack / exponential decay envelope that reaches exactly zero at `length`.
double envelope(double t, double attack, double decay, double length)
{
    if (t < 0 || t >= length)
        return 0;
    double a = t < attack ? t / attack : 1.0;
    double d = std::exp(-(t - std::min(t, attack)) / decay);
    double release = std::min(1.0, (length - t) / 0.02); // last 20 ms fade out
    return a * d * release;
}

// A struck bell-like tone: a few partials with their own decays.
void addChime(std::vector<float>& out, double start, double frequency, double length, double gain)
{
    const double partials[][3] = {{1.0, 1.0, 1.0}, {2.0, 0.45, 0.6}, {3.0, 0.2, 0.35}, {4.2, 0.12, 0.2}};
    size_t first = static_cast<size_t>(start * kSoundRate);
    for (size_t i = first; i < out.size(); ++i) {
        double t = static_cast<double>(i - first) / kSoundRate;
        if (t >= length)
            break;
        double s = 0;
        for (const auto& p : partials)
            s += p[1] * std::sin(kTwoPi * frequency * p[0] * t) * envelope(t, 0.004, length * 0.35 * p[2], length);
        out[i] += static_cast<float>(gain * s);
    }
}

// A brass-like note: harmonics that brighten with the swell, light vibrato.
void addBrass(std::vector<float>& out, double start, double frequency, double length, double gain)
{
    size_t first = static_cast<size_t>(start * kSoundRate);
    double phase = 0;
    for (size_t i = first; i < out.size(); ++i) {
        double t = static_cast<double>(i - first) / kSoundRate;
        if (t >= length)
            break;
        double vibrato = 1.0 + 0.004 * std::sin(kTwoPi * 5.5 * t) * std::min(1.0, t / 0.2);
        phase += kTwoPi * frequency * vibrato / kSoundRate;
        double swell = std::min(1.0, t / 0.03);
        double s = 0;
        for (int h = 1; h <= 8; ++h)
            s += std::sin(h * phase) * std::pow(0.62, h - 1) * (h == 1 ? 1.0 : swell);
        double release = std::min(1.0, (length - t) / 0.08);
        out[i] += static_cast<float>(gain * s * swell * release * (0.85 + 0.15 * std::exp(-t * 3)));
    }
}

void normalize(std::vector<float>& samples)
{
    float peak = 0;
    for (float s : samples)
        peak = std::max(peak, std::fabs(s));
    if (peak > 0)
        for (float& s : samples)
            s *= kPeak / peak;
}

} // namespace

std::vector<float> goSound()
{
    std::vector<float> out = silence(0.95);
    addChime(out, 0.00, 783.99, 0.30, 0.6);  // G5
    addChime(out, 0.09, 1046.50, 0.30, 0.6); // C6
    addChime(out, 0.18, 1567.98, 0.75, 0.8); // G6, ringing out
    normalize(out);
    return out;
}

std::vector<float> timeUpSound()
{
    std::vector<float> out = silence(1.0);
    double p1 = 0, p2 = 0;
    for (size_t i = 0; i < out.size(); ++i) {
        double t = static_cast<double>(i) / kSoundRate;
        p1 += 2.0 * 3.14159265 * 110.0 / kSoundRate;
        p2 += 2.0 * 3.14159265 * 116.5 / kSoundRate;
        // Band-limited square waves (odd harmonics), two of them beating.
        double s = 0;
        for (int h = 1; h <= 15; h += 2)
            s += (std::sin(h * p1) + std::sin(h * p2)) / h;
        double attack = std::min(1.0, t / 0.01);
        double release = std::min(1.0, (1.0 - t) / 0.12);
        double pulse = 0.8 + 0.2 * std::cos(2.0 * 3.14159265 * 6.0 * t);
        out[i] = static_cast<float>(s * attack * std::max(0.0, release) * pulse);
    }
    normalize(out);
    return out;
}

std::vector<float> menuSound()
{
    std::vector<float> out = silence(0.07);
    Rng rng(7);
    double lowpass = 0;
    for (size_t i = 0; i < out.size(); ++i) {
        double t = static_cast<double>(i) / kSoundRate;
        double tone = std::sin(kTwoPi * 1320.0 * t) * envelope(t, 0.002, 0.012, 0.07);
        lowpass += 0.25 * ((rng.unit() * 2.0 - 1.0) - lowpass);
        double tick = lowpass * envelope(t, 0.0005, 0.004, 0.07);
        out[i] = static_cast<float>(0.8 * tone + 0.5 * tick);
    }
    normalize(out);
    for (float& s : out)
        s *= 0.7f; // a soft click, quieter than the other effects
    return out;
}

std::vector<float> goalSound()
{
    std::vector<float> out = silence(1.7);
    addBrass(out, 0.00, 523.25, 0.16, 0.5);  // C5
    addBrass(out, 0.15, 659.25, 0.16, 0.5);  // E5
    addBrass(out, 0.30, 783.99, 0.16, 0.5);  // G5
    addBrass(out, 0.45, 1046.50, 1.20, 0.5); // C6, held over the chord
    addBrass(out, 0.45, 659.25, 1.20, 0.3);
    addBrass(out, 0.45, 523.25, 1.20, 0.3);
    addChime(out, 0.45, 2093.0, 0.9, 0.15); // a sparkle on top
    normalize(out);
    return out;
}

std::vector<float> refusalSound()
{
    std::vector<float> out = silence(0.30);
    for (int beep = 0; beep < 2; ++beep) {
        double start = beep * 0.14;
        size_t first = static_cast<size_t>(start * kSoundRate);
        for (size_t i = first; i < out.size(); ++i) {
            double t = static_cast<double>(i - first) / kSoundRate;
            if (t >= 0.11)
                break;
            double s = std::sin(kTwoPi * 300.0 * t) + std::sin(kTwoPi * 900.0 * t) / 3.0 +
                       std::sin(kTwoPi * 1500.0 * t) / 5.0;
            double edge = std::min(1.0, std::min(t, 0.11 - t) / 0.01);
            out[i] += static_cast<float>(s * edge);
        }
    }
    normalize(out);
    return out;
}

bool writeSounds(const std::string& root)
{
    return writeFile(root, "sounds/go.wav", encodeWav(goSound(), kSoundRate)) &&
           writeFile(root, "sounds/timeup.wav", encodeWav(timeUpSound(), kSoundRate)) &&
           writeFile(root, "sounds/menu.wav", encodeWav(menuSound(), kSoundRate)) &&
           writeFile(root, "sounds/allright.wav", encodeWav(goalSound(), kSoundRate)) &&
           writeFile(root, "sounds/beep.wav", encodeWav(refusalSound(), kSoundRate));
}
