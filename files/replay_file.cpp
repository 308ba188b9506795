#include "files/replay_file.h"

#include "files/data_file.h"
#include "files/data_paths.h"
#include "files/save_file.h"

#include <filesystem>

namespace {

// A replay of several hours is a few megabytes; anything past this is no replay.
constexpr size_t kLargestFile = size_t(64) << 20;

} // namespace

// Replays and settings keep the best-times file's rules: links written
// through, an exclusive temporary file, flushed, renamed, never half-written.
bool writeReplayFile(const std::string& name, const std::string& bytes, std::string& reason)
{
    if (!savingRefusedReason().empty()) {
        reason = savingRefusedReason();
        return false;
    }
    std::filesystem::path target(name);
    std::error_code error;
    if (target.has_parent_path())
        std::filesystem::create_directories(target.parent_path(), error);
    return saveFile(name, bytes, reason);
}

// Only a regular file, opened without blocking, and never past the limit.
bool readWholeFile(const std::string& path, std::string& bytes, std::string& reason)
{
    if (!readOwnFile(path, kLargestFile + 1, bytes)) {
        reason = "cannot open " + path + " (missing, or not a file)";
        return false;
    }
    if (bytes.size() > kLargestFile) {
        reason = path + " is far too large for a replay";
        return false;
    }
    return true;
}
