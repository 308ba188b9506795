// Any bytes as a replay file: refused with a reason, or read into a replay
// that writes back to exactly the same bytes.

#include "shell/replay_format.h"

#include <cmath>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string bytes(reinterpret_cast<const char*>(data), size);
    Replay replay;
    std::string reason;
    if (!decodeReplay(bytes, replay, reason)) {
        if (reason.empty())
            std::abort();
        return 0;
    }
    if (encodeReplay(replay) != bytes || replay.frames.empty() || replay.levelFile.empty())
        std::abort();
    for (const ReplayFrame& frame : replay.frames)
        if (!std::isfinite(frame.frameTime) || frame.frameTime < 0.0f)
            std::abort();
    return 0;
}
