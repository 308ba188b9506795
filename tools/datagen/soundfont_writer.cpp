#include "tools/datagen/soundfont_writer.h"

#include <algorithm>
#include <cmath>

namespace {

void put16(std::vector<uint8_t>& out, int v)
{
    out.push_back(static_cast<uint8_t>(v & 0xFF));
    out.push_back(static_cast<uint8_t>((v >> 8) & 0xFF));
}

void put32(std::vector<uint8_t>& out, uint32_t v)
{
    put16(out, static_cast<int>(v & 0xFFFF));
    put16(out, static_cast<int>(v >> 16));
}

void putName(std::vector<uint8_t>& out, const std::string& name)
{
    for (size_t i = 0; i < 20; ++i)
        out.push_back(i < name.size() && i < 19 ? static_cast<uint8_t>(name[i]) : 0);
}

void putChunk(std::vector<uint8_t>& out, const char* id, const std::vector<uint8_t>& body)
{
    out.insert(out.end(), id, id + 4);
    put32(out, static_cast<uint32_t>(body.size()));
    out.insert(out.end(), body.begin(), body.end());
    if (body.size() % 2)
        out.push_back(0);
}

std::vector<uint8_t> list(const char* type, const std::vector<uint8_t>& chunks)
{
    std::vector<uint8_t> body(type, type + 4);
    body.insert(body.end(), chunks.begin(), chunks.end());
    std::vector<uint8_t> out;
    putChunk(out, "LIST", body);
    return out;
}

// Seconds as the file's timecents.
int timecents(double seconds) { return static_cast<int>(std::lround(1200.0 * std::log2(std::max(seconds, 0.001)))); }

// Generator numbers of the format.
enum Generator {
    kAttackVolEnv = 34,
    kDecayVolEnv = 36,
    kSustainVolEnv = 37,
    kReleaseVolEnv = 38,
    kInstrument = 41,
    kKeyRange = 43,
    kSampleId = 53,
    kSampleModes = 54,
    kOverridingRootKey = 58
};

void gen(std::vector<uint8_t>& out, int op, int amount)
{
    put16(out, op);
    put16(out, amount);
}

} // namespace

std::vector<uint8_t> encodeSoundFont(const std::string& name, const std::vector<SoundFontPreset>& presets)
{
    std::vector<uint8_t> info;
    {
        std::vector<uint8_t> version;
        put16(version, 2);
        put16(version, 1);
        putChunk(info, "ifil", version);
        std::string engine = "EMU8000";
        putChunk(info, "isng", std::vector<uint8_t>(engine.c_str(), engine.c_str() + engine.size() + 1));
        std::vector<uint8_t> title(name.begin(), name.end());
        title.push_back(0);
        if (title.size() % 2)
            title.push_back(0);
        putChunk(info, "INAM", title);
    }

    std::vector<uint8_t> smpl, phdr, pbag, pmod, pgen, inst, ibag, imod, igen, shdr;
    int presetBags = 0, presetGens = 0, instruments = 0, instBags = 0, instGens = 0, sampleCount = 0;
    for (const SoundFontPreset& preset : presets) {
        putName(phdr, preset.name);
        put16(phdr, preset.program);
        put16(phdr, preset.bank);
        put16(phdr, presetBags);
        put32(phdr, 0), put32(phdr, 0), put32(phdr, 0);
        put16(pbag, presetGens), put16(pbag, 0);
        ++presetBags;
        gen(pgen, kInstrument, instruments);
        ++presetGens;

        putName(inst, preset.name);
        put16(inst, instBags);
        ++instruments;
        for (const SoundFontVoice& voice : preset.voices) {
            uint32_t start = static_cast<uint32_t>(smpl.size() / 2);
            for (int16_t s : voice.samples)
                put16(smpl, s);
            uint32_t end = static_cast<uint32_t>(smpl.size() / 2);
            for (int i = 0; i < 46; ++i)
                put16(smpl, 0); // the guard the format asks after each sample
            putName(shdr, voice.name);
            put32(shdr, start);
            put32(shdr, end);
            put32(shdr, voice.loopStart >= 0 ? start + static_cast<uint32_t>(voice.loopStart) : start);
            put32(shdr, voice.loopStart >= 0 ? end : end);
            put32(shdr, static_cast<uint32_t>(voice.sampleRate));
            shdr.push_back(static_cast<uint8_t>(voice.rootKey));
            shdr.push_back(0);
            put16(shdr, 0);
            put16(shdr, 1); // mono

            put16(ibag, instGens), put16(ibag, 0);
            ++instBags;
            gen(igen, kKeyRange, voice.lowKey | voice.highKey << 8);
            gen(igen, kAttackVolEnv, timecents(voice.attack));
            gen(igen, kDecayVolEnv, timecents(voice.decay));
            gen(igen, kSustainVolEnv, static_cast<int>(std::lround(voice.sustainDb * 10.0)));
            gen(igen, kReleaseVolEnv, timecents(voice.release));
            gen(igen, kSampleModes, voice.loopStart >= 0 ? 1 : 0);
            gen(igen, kOverridingRootKey, voice.rootKey);
            gen(igen, kSampleId, sampleCount++);
            instGens += 8;
        }
    }
    // Each list ends with a terminal record.
    putName(phdr, "EOP");
    put16(phdr, 0), put16(phdr, 0), put16(phdr, presetBags);
    put32(phdr, 0), put32(phdr, 0), put32(phdr, 0);
    put16(pbag, presetGens), put16(pbag, 0);
    pmod.assign(10, 0);
    gen(pgen, 0, 0);
    putName(inst, "EOI");
    put16(inst, instBags);
    put16(ibag, instGens), put16(ibag, 0);
    imod.assign(10, 0);
    gen(igen, 0, 0);
    putName(shdr, "EOS");
    shdr.resize(shdr.size() + 26, 0);

    std::vector<uint8_t> sdta, pdta;
    putChunk(sdta, "smpl", smpl);
    putChunk(pdta, "phdr", phdr);
    putChunk(pdta, "pbag", pbag);
    putChunk(pdta, "pmod", pmod);
    putChunk(pdta, "pgen", pgen);
    putChunk(pdta, "inst", inst);
    putChunk(pdta, "ibag", ibag);
    putChunk(pdta, "imod", imod);
    putChunk(pdta, "igen", igen);
    putChunk(pdta, "shdr", shdr);

    std::vector<uint8_t> body = {'s', 'f', 'b', 'k'};
    for (const auto& part : {list("INFO", info), list("sdta", sdta), list("pdta", pdta)})
        body.insert(body.end(), part.begin(), part.end());
    std::vector<uint8_t> out;
    putChunk(out, "RIFF", body);
    return out;
}
