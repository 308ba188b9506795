#include "shell/replay_format.h"

#include <cmath>
#include <cstring>

namespace {

const char kMagic[8] = {'O', 'R', 'B', 'R', 'E', 'P', 'L', 'Y'};
constexpr uint8_t kFinishedFlag = 1;
constexpr uint8_t kStickBit = 32;
constexpr uint8_t kClockBit = 64;
constexpr uint8_t kPadBit = 128;
constexpr size_t kSmallestFrame = 5;

void putBytes(std::string& out, uint64_t value, int count)
{
    for (int i = 0; i < count; ++i)
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

void putFloat(std::string& out, float value)
{
    uint32_t bits;
    std::memcpy(&bits, &value, 4);
    putBytes(out, bits, 4);
}

void putText(std::string& out, const std::string& text)
{
    size_t size = text.size() > 255 ? 255 : text.size();
    out.push_back(static_cast<char>(size));
    out.append(text, 0, size);
}

// Reads little-endian values off the front; any read past the end fails and
// every later one fails with it.
class ByteReader {
public:
    ByteReader(const std::string& bytes, size_t from) : bytes_(bytes), at_(from) {}

    uint64_t number(int count)
    {
        if (!has(count))
            return 0;
        uint64_t value = 0;
        for (int i = 0; i < count; ++i)
            value |= uint64_t(static_cast<uint8_t>(bytes_[at_ + i])) << (8 * i);
        at_ += count;
        return value;
    }
    float real()
    {
        uint32_t bits = static_cast<uint32_t>(number(4));
        float value;
        std::memcpy(&value, &bits, 4);
        return value;
    }
    std::string text()
    {
        size_t size = static_cast<size_t>(number(1));
        if (!has(size))
            return "";
        std::string value = bytes_.substr(at_, size);
        at_ += size;
        return value;
    }
    bool has(size_t count)
    {
        if (at_ + count > bytes_.size())
            cutShort_ = true;
        return !cutShort_;
    }
    size_t left() const { return bytes_.size() - at_; }
    bool cutShort() const { return cutShort_; }

private:
    const std::string& bytes_;
    size_t at_;
    bool cutShort_ = false;
};

// Level files are plain relative names inside the data: a replay must not
// send the game reading anywhere else.
bool plainLevelName(const std::string& name)
{
    if (name.empty() || name[0] == '/' || name.find('\\') != std::string::npos)
        return false;
    if (name.find('\0') != std::string::npos)
        return false;
    size_t start = 0;
    while (start <= name.size()) {
        size_t end = name.find('/', start);
        if (end == std::string::npos)
            end = name.size();
        std::string part = name.substr(start, end - start);
        if (part.empty() || part == "." || part == "..")
            return false;
        start = end + 1;
    }
    return true;
}

bool saneClock(const ReplayClock& c)
{
    return std::isfinite(c.timeLeft) && std::isfinite(c.penaltyTimer) && std::isfinite(c.penaltyFlight) &&
           std::isfinite(c.boostReserve);
}

bool refuse(std::string& reason, const std::string& why)
{
    reason = why;
    return false;
}

} // namespace

float longestReplayFrame(bool glide) { return glide ? kGlideMaxFrameTime : kLongestGlReplayFrame; }

uint64_t checksumBytes(const std::string& bytes)
{
    uint64_t hash = 1469598103934665603ull;
    for (unsigned char c : bytes) {
        hash ^= c;
        hash *= 1099511628211ull;
    }
    return hash;
}

std::string encodeReplay(const Replay& replay)
{
    std::string out(kMagic, sizeof kMagic);
    out.reserve(64 + replay.frames.size() * kSmallestFrame);
    putBytes(out, kReplayFormatVersion, 2);
    putBytes(out, replay.glide ? 1 : 0, 1);
    putBytes(out, replay.finished ? kFinishedFlag : 0, 1);
    putText(out, replay.gameVersion);
    putText(out, replay.levelFile);
    putBytes(out, replay.levelChecksum, 8);
    putBytes(out, static_cast<uint16_t>(replay.levelNumber), 2);
    putFloat(out, replay.finishTime);
    const JoystickCaps& caps = replay.stickLimits;
    for (uint32_t limit : {caps.xMin, caps.xMax, caps.yMin, caps.yMax})
        putBytes(out, limit, 4);
    putBytes(out, replay.frames.size(), 4);
    for (const ReplayFrame& frame : replay.frames) {
        uint8_t flags = frame.steering.keys & kSteerKeyBits;
        if (frame.steering.stickUsed)
            flags |= kStickBit;
        if (frame.hasClock)
            flags |= kClockBit;
        bool pad = frame.steering.padX != 0 || frame.steering.padY != 0;
        if (pad)
            flags |= kPadBit;
        out.push_back(static_cast<char>(flags));
        putFloat(out, frame.frameTime);
        if (frame.steering.stickUsed) {
            putBytes(out, frame.steering.position.x, 4);
            putBytes(out, frame.steering.position.y, 4);
            putBytes(out, frame.steering.position.buttons, 4);
        }
        if (frame.hasClock) {
            putFloat(out, frame.clock.timeLeft);
            putFloat(out, frame.clock.penaltyTimer);
            putFloat(out, frame.clock.penaltyFlight);
            putFloat(out, frame.clock.boostReserve);
            putBytes(out, frame.clock.fallPending ? 1 : 0, 1);
        }
        if (pad) {
            putBytes(out, static_cast<uint16_t>(frame.steering.padX), 2);
            putBytes(out, static_cast<uint16_t>(frame.steering.padY), 2);
        }
    }
    return out;
}

bool decodeReplay(const std::string& bytes, Replay& replay, std::string& reason)
{
    if (bytes.size() < sizeof kMagic || bytes.compare(0, sizeof kMagic, kMagic, sizeof kMagic) != 0)
        return refuse(reason, "not a replay file");
    ByteReader in(bytes, sizeof kMagic);
    Replay r;
    uint64_t version = in.number(2);
    if (!in.cutShort() && version != kReplayFormatVersion)
        return refuse(reason, "a replay of format " + std::to_string(version) + ", which this version cannot play");
    uint64_t editionByte = in.number(1);
    uint64_t flags = in.number(1);
    r.gameVersion = in.text();
    r.levelFile = in.text();
    r.levelChecksum = in.number(8);
    r.levelNumber = static_cast<int>(in.number(2));
    r.finishTime = in.real();
    r.stickLimits.xMin = static_cast<uint32_t>(in.number(4));
    r.stickLimits.xMax = static_cast<uint32_t>(in.number(4));
    r.stickLimits.yMin = static_cast<uint32_t>(in.number(4));
    r.stickLimits.yMax = static_cast<uint32_t>(in.number(4));
    uint64_t frameCount = in.number(4);
    if (in.cutShort())
        return refuse(reason, "damaged: its header is cut short");
    if (editionByte > 1 || (flags & ~uint64_t(kFinishedFlag)) != 0 || r.levelNumber == 0)
        return refuse(reason, "damaged: its header holds values no replay has");
    r.glide = editionByte == 1;
    r.finished = (flags & kFinishedFlag) != 0;
    if (!plainLevelName(r.levelFile))
        return refuse(reason, "damaged: it names no level file");
    if (!std::isfinite(r.finishTime) || r.finishTime < 0.0f)
        return refuse(reason, "damaged: its finishing time is no time");
    if (frameCount > kMostReplayFrames)
        return refuse(reason, "damaged: it holds more frames than a level run can");
    if (frameCount > in.left() / kSmallestFrame)
        return refuse(reason, "damaged: it is cut short");
    r.frames.resize(static_cast<size_t>(frameCount));
    const float longestFrame = longestReplayFrame(r.glide);
    double seconds = 0.0;
    for (ReplayFrame& frame : r.frames) {
        uint8_t frameFlags = static_cast<uint8_t>(in.number(1));
        frame.frameTime = in.real();
        frame.steering.keys = frameFlags & kSteerKeyBits;
        frame.steering.stickUsed = (frameFlags & kStickBit) != 0;
        frame.hasClock = (frameFlags & kClockBit) != 0;
        if (frame.steering.stickUsed) {
            frame.steering.position.x = static_cast<uint32_t>(in.number(4));
            frame.steering.position.y = static_cast<uint32_t>(in.number(4));
            frame.steering.position.buttons = static_cast<uint32_t>(in.number(4));
        }
        if (frame.hasClock) {
            frame.clock.timeLeft = in.real();
            frame.clock.penaltyTimer = in.real();
            frame.clock.penaltyFlight = in.real();
            frame.clock.boostReserve = in.real();
            uint64_t pending = in.number(1);
            if (pending > 1)
                return refuse(reason, "damaged: a frame holds values no replay has");
            frame.clock.fallPending = pending == 1;
        }
        bool pad = (frameFlags & kPadBit) != 0;
        if (pad) {
            frame.steering.padX = static_cast<int16_t>(static_cast<uint16_t>(in.number(2)));
            frame.steering.padY = static_cast<int16_t>(static_cast<uint16_t>(in.number(2)));
        }
        if (in.cutShort())
            return refuse(reason, "damaged: it is cut short");
        // The pad block is there only for a stick off centre, in orbivale-gl.
        bool padCentred = frame.steering.padX == 0 && frame.steering.padY == 0;
        if ((pad && (padCentred || r.glide)) || (frame.steering.stickUsed && !r.glide))
            return refuse(reason, "damaged: a frame holds values no replay has");
        if (!(frame.frameTime >= 0.0f))
            return refuse(reason, "damaged: a frame time is no time");
        if (frame.frameTime > longestFrame)
            return refuse(reason, "damaged: a frame time is longer than the game ever takes one");
        seconds += frame.frameTime;
        if (seconds > kLongestRun)
            return refuse(reason, "damaged: its frames last longer than a level can");
        if (frame.hasClock && !saneClock(frame.clock))
            return refuse(reason, "damaged: a clock value is no number");
    }
    if (r.frames.empty() || !r.frames.front().hasClock)
        return refuse(reason, "damaged: it does not say how the level's clock started");
    if (in.left() != 0)
        return refuse(reason, "damaged: bytes follow its last frame");
    replay = std::move(r);
    return true;
}
