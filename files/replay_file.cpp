#include "files/replay_file.h"

#include "files/data_paths.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <unistd.h>

namespace {

// A replay of several hours is a few megabytes; anything past this is no replay.
constexpr long kLargestFile = 64L * 1024 * 1024;

bool failed(std::string& reason, const std::string& what)
{
    reason = what + ": " + std::strerror(errno);
    return false;
}

bool writeAll(int fd, const std::string& bytes)
{
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

} // namespace

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
    std::string temporary = name + ".new";
    int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return failed(reason, "cannot write " + temporary);
    if (!writeAll(fd, bytes) || ::fsync(fd) != 0) {
        failed(reason, "cannot write " + temporary);
        ::close(fd);
        std::remove(temporary.c_str());
        return false;
    }
    if (::close(fd) != 0) {
        failed(reason, "cannot write " + temporary);
        std::remove(temporary.c_str());
        return false;
    }
    if (std::rename(temporary.c_str(), name.c_str()) != 0) {
        failed(reason, "cannot replace " + name);
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

bool readWholeFile(const std::string& path, std::string& bytes, std::string& reason)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return failed(reason, "cannot open " + path);
    bytes.clear();
    char buffer[65536];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        bytes.append(buffer, n);
        if (static_cast<long>(bytes.size()) > kLargestFile) {
            std::fclose(file);
            reason = path + " is far too large for a replay";
            return false;
        }
    }
    bool readError = std::ferror(file) != 0;
    std::fclose(file);
    if (readError) {
        reason = "cannot read " + path;
        return false;
    }
    return true;
}
