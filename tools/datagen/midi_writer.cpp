#include "tools/datagen/midi_writer.h"

#include <algorithm>
#include <cmath>

namespace {

struct Event {
    int tick;
    int order; // note-offs before note-ons on the same tick
    std::vector<uint8_t> bytes;
};

void putVarLen(std::vector<uint8_t>& out, uint32_t value)
{
    uint8_t buffer[5];
    int n = 0;
    buffer[n++] = value & 0x7f;
    while ((value >>= 7) != 0)
        buffer[n++] = static_cast<uint8_t>(0x80 | (value & 0x7f));
    while (n > 0)
        out.push_back(buffer[--n]);
}

void putBigEndian(std::vector<uint8_t>& out, uint32_t value, int bytes)
{
    for (int i = bytes - 1; i >= 0; --i)
        out.push_back(static_cast<uint8_t>((value >> (8 * i)) & 0xff));
}

std::vector<uint8_t> trackChunk(std::vector<Event> events, int endTick)
{
    std::stable_sort(events.begin(), events.end(), [](const Event& a, const Event& b) {
        return a.tick != b.tick ? a.tick < b.tick : a.order < b.order;
    });
    std::vector<uint8_t> body;
    int now = 0;
    for (const Event& e : events) {
        putVarLen(body, static_cast<uint32_t>(e.tick - now));
        body.insert(body.end(), e.bytes.begin(), e.bytes.end());
        now = e.tick;
    }
    putVarLen(body, static_cast<uint32_t>(std::max(0, endTick - now)));
    body.insert(body.end(), {0xff, 0x2f, 0x00});
    std::vector<uint8_t> chunk{'M', 'T', 'r', 'k'};
    putBigEndian(chunk, static_cast<uint32_t>(body.size()), 4);
    chunk.insert(chunk.end(), body.begin(), body.end());
    return chunk;
}

Event textEvent(int tick, uint8_t type, const std::string& text)
{
    Event e{tick, 0, {0xff, type}};
    putVarLen(e.bytes, static_cast<uint32_t>(text.size()));
    e.bytes.insert(e.bytes.end(), text.begin(), text.end());
    return e;
}

} // namespace

std::vector<uint8_t> encodeMidi(double beatsPerMinute, const std::vector<MidiTrack>& tracks, int endTick)
{
    std::vector<uint8_t> out{'M', 'T', 'h', 'd'};
    putBigEndian(out, 6, 4);
    putBigEndian(out, 1, 2); // format 1
    putBigEndian(out, static_cast<uint32_t>(tracks.size() + 1), 2);
    putBigEndian(out, kTicksPerQuarter, 2);

    std::vector<Event> conductor;
    uint32_t microsPerQuarter = static_cast<uint32_t>(std::lround(60000000.0 / beatsPerMinute));
    Event tempo{0, 0, {0xff, 0x51, 0x03}};
    putBigEndian(tempo.bytes, microsPerQuarter, 3);
    conductor.push_back(tempo);
    conductor.push_back({0, 0, {0xff, 0x58, 0x04, 4, 2, 24, 8}}); // 4/4
    std::vector<uint8_t> conductorChunk = trackChunk(conductor, endTick);
    out.insert(out.end(), conductorChunk.begin(), conductorChunk.end());

    for (const MidiTrack& track : tracks) {
        std::vector<Event> events;
        uint8_t ch = static_cast<uint8_t>(track.channel & 0x0f);
        events.push_back(textEvent(0, 0x03, track.name));
        if (track.channel != 9)
            events.push_back({0, 0, {static_cast<uint8_t>(0xc0 | ch), static_cast<uint8_t>(track.program)}});
        events.push_back({0, 0, {static_cast<uint8_t>(0xb0 | ch), 7, static_cast<uint8_t>(track.volume)}});
        events.push_back({0, 0, {static_cast<uint8_t>(0xb0 | ch), 10, static_cast<uint8_t>(track.pan)}});
        for (const MidiNote& n : track.notes) {
            uint8_t key = static_cast<uint8_t>(std::clamp(n.key, 0, 127));
            uint8_t velocity = static_cast<uint8_t>(std::clamp(n.velocity, 1, 127));
            events.push_back({n.tick, 1, {static_cast<uint8_t>(0x90 | ch), key, velocity}});
            events.push_back({n.tick + std::max(1, n.duration), 0, {static_cast<uint8_t>(0x80 | ch), key, 64}});
        }
        std::vector<uint8_t> chunk = trackChunk(events, endTick);
        out.insert(out.end(), chunk.begin(), chunk.end());
    }
    return out;
}
