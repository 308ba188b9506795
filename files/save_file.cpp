#include "files/save_file.h"

#include "files/data_file.h"

#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#ifdef __EMSCRIPTEN__
#include <emscripten.h>
#endif

namespace {

// A damaged table kept aside is copied up to this size.
constexpr size_t kKeptCopyLimit = size_t(64) << 20;
// A save writes, flushes and renames its temporary file within moments; one
// left this long belongs to a save that died.
constexpr time_t kStaleTemporaryAge = 60;
// The digits a temporary file's name carries (see createTemporary).
constexpr size_t kMostStampDigits = 9;

std::string systemText(int error) { return std::strerror(error); }

// In the browser the player's folder is a copy in memory of the page's
// IndexedDB: each save is written back at once, and a failed write-back is
// said on the console (there is no one to answer a box about it).
#ifdef __EMSCRIPTEN__
void flushToBrowserStorage()
{
    EM_ASM({
        FS.syncfs(
            false, function(err) {
                if (err)
                    console.error("Orbivale: the saved files could not be stored in the browser: " + err);
                else if (Module.onFilesStored)
                    Module.onFilesStored();
            });
    });
}
#else
void flushToBrowserStorage() {}
#endif

bool writeAll(int fd, const std::string& bytes, off_t offset)
{
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::pwrite(fd, bytes.data() + done, bytes.size() - done, offset + off_t(done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = ENOSPC;
            return false;
        }
        done += size_t(n);
    }
    return true;
}

std::string folderOf(const std::string& path)
{
    size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string baseOf(const std::string& path)
{
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// ".NAME.NNN.tmp": what createTemporary names a temporary file of NAME.
bool temporaryNameOf(const std::string& entry, const std::string& base)
{
    std::string prefix = "." + base + ".", suffix = ".tmp";
    if (entry.size() <= prefix.size() + suffix.size() || entry.compare(0, prefix.size(), prefix) != 0 ||
        entry.compare(entry.size() - suffix.size(), suffix.size(), suffix) != 0)
        return false;
    size_t digits = entry.size() - prefix.size() - suffix.size();
    if (digits > kMostStampDigits)
        return false;
    for (size_t i = prefix.size(); i < prefix.size() + digits; ++i)
        if (entry[i] < '0' || entry[i] > '9')
            return false;
    return true;
}

// Removes what saves of this file killed before their rename left beside
// it: only regular files of its own temporary pattern, in its own folder,
// and only old ones, so that a save another program is making right now
// keeps its file.
void removeStaleTemporaries(const std::string& target)
{
    DIR* folder = ::opendir(folderOf(target).c_str());
    if (!folder)
        return;
    std::string base = baseOf(target);
    time_t now = std::time(nullptr);
    while (const dirent* entry = ::readdir(folder)) {
        if (!temporaryNameOf(entry->d_name, base))
            continue;
        struct stat info;
        if (::fstatat(::dirfd(folder), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(info.st_mode) &&
            now - info.st_mtime > kStaleTemporaryAge)
            ::unlinkat(::dirfd(folder), entry->d_name, 0);
    }
    ::closedir(folder);
}

// A new file of our own beside the target: O_EXCL and O_NOFOLLOW make sure a
// file or link already at the name is never opened.
int createTemporary(const std::string& target, std::string& temporary)
{
    static unsigned counter = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        unsigned long stamp = static_cast<unsigned long>(std::chrono::steady_clock::now().time_since_epoch().count() ^
                                                         (long(::getpid()) << 20) ^ ++counter);
        temporary = folderOf(target) + "/." + baseOf(target) + "." + std::to_string(stamp % 1000000000UL) + ".tmp";
        int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    errno = EEXIST;
    return -1;
}

void syncFolder(const std::string& folder)
{
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd); // a folder that cannot be flushed still holds the renamed file
    ::close(fd);
}

bool replaceByRename(const std::string& target, const std::string& contents, const struct stat* old,
                     std::string& reason)
{
    std::string temporary;
    int fd = createTemporary(target, temporary);
    if (fd < 0) {
        reason = systemText(errno);
        return false;
    }
    if (old) {
        // The new file keeps the old one's owner (where we may give it) and
        // its permissions.
        [[maybe_unused]] int owned = ::fchown(fd, old->st_uid, old->st_gid);
        ::fchmod(fd, old->st_mode & 07777);
    }
    bool ok = writeAll(fd, contents, 0) && ::fsync(fd) == 0;
    int error = errno;
    ok = ::close(fd) == 0 && ok;
    if (ok && ::rename(temporary.c_str(), target.c_str()) == 0) {
        syncFolder(folderOf(target));
        return true;
    }
    reason = systemText(ok ? errno : error);
    ::unlink(temporary.c_str());
    return false;
}

// Written over from the start, then cut to length: until the cut the old
// bytes past the new end stay, and a failed write puts the old start back.
bool rewriteInPlace(const std::string& target, const std::string& contents, int openFlags, std::string& reason)
{
    int fd = ::open(target.c_str(), O_RDWR | O_CLOEXEC | O_NONBLOCK | openFlags);
    if (fd < 0) {
        reason = systemText(errno);
        return false;
    }
    std::string old(contents.size(), '\0');
    ssize_t kept = ::pread(fd, old.data(), old.size(), 0);
    old.resize(kept > 0 ? size_t(kept) : 0);
    bool ok = writeAll(fd, contents, 0) && ::fsync(fd) == 0;
    if (ok)
        ok = ::ftruncate(fd, off_t(contents.size())) == 0 && ::fsync(fd) == 0;
    else {
        int error = errno;
        writeAll(fd, old, 0);
        ::fsync(fd);
        errno = error;
    }
    if (!ok)
        reason = systemText(errno);
    bool closed = ::close(fd) == 0;
    if (ok && !closed)
        reason = systemText(errno);
    return ok && closed;
}

// The file at target (no link) gets the contents: what exists must be a
// regular file we may read and write; then a new file renamed over it, or
// where none can be made, the file rewritten in place. openFlags go with
// every open of target itself.
bool saveTarget(const std::string& target, const std::string& contents, int openFlags, std::string& reason)
{
    struct stat info;
    bool exists = ::stat(target.c_str(), &info) == 0;
    if (!exists && errno != ENOENT) {
        reason = systemText(errno);
        return false;
    }
    if (exists) {
        if (!S_ISREG(info.st_mode)) {
            reason = "it is not a regular file";
            return false;
        }
        int fd = ::open(target.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | openFlags);
        if (fd < 0) {
            reason = "it cannot be read (" + systemText(errno) + ")";
            return false;
        }
        ::close(fd);
        if ((info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 ||
            ::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0) {
            reason = "it is read-only";
            return false;
        }
    }
    bool saved = replaceByRename(target, contents, exists ? &info : nullptr, reason) ||
                 (exists && rewriteInPlace(target, contents, openFlags, reason));
    if (saved) {
        removeStaleTemporaries(target);
        flushToBrowserStorage();
    }
    return saved;
}

// True when folder is the working folder (the player's) or lies inside it,
// once every link on the way is followed.
bool insideWorkingFolder(const std::string& folder, std::string& reason)
{
    char* here = ::realpath(".", nullptr);
    char* there = here ? ::realpath(folder.c_str(), nullptr) : nullptr;
    if (!there)
        reason = systemText(errno);
    std::string base = here ? here : "", path = there ? there : "";
    std::free(here);
    std::free(there);
    if (path.empty())
        return false;
    if (path == base || (path.size() > base.size() && path.compare(0, base.size(), base) == 0 &&
                         (base == "/" || path[base.size()] == '/')))
        return true;
    reason = "its folder leads outside the player's folder, to " + path;
    return false;
}

} // namespace

bool saveFile(const std::string& name, const std::string& contents, std::string& reason)
{
    std::string target = name;
    struct stat info;
    if (::lstat(name.c_str(), &info) == 0 && S_ISLNK(info.st_mode)) {
        char* resolved = ::realpath(name.c_str(), nullptr);
        if (!resolved) {
            if (errno != ENOENT) {
                reason = systemText(errno);
                return false;
            }
            // A link to a file not made yet: opening it through the link makes
            // it (O_EXCL would refuse the link itself).
            int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
            if (fd < 0) {
                reason = systemText(errno);
                return false;
            }
            ::close(fd);
            return rewriteInPlace(name, contents, 0, reason);
        }
        target = resolved;
        std::free(resolved);
    }
    return saveTarget(target, contents, 0, reason);
}

bool saveOwnFile(const std::string& name, const std::string& contents, std::string& reason)
{
    struct stat info;
    if (::lstat(name.c_str(), &info) == 0) {
        if (S_ISLNK(info.st_mode)) {
            reason = "it is a symbolic link, and our own files are never written through one";
            return false;
        }
        if (!S_ISREG(info.st_mode)) {
            reason = "it is not a regular file";
            return false;
        }
    } else if (errno != ENOENT) {
        reason = systemText(errno);
        return false;
    }
    // O_NOFOLLOW: a link planted at the name after the look above is still
    // never opened.
    return insideWorkingFolder(folderOf(name), reason) && saveTarget(name, contents, O_NOFOLLOW, reason);
}

bool keepFileCopy(const std::string& name, const std::string& copyName, std::string& reason)
{
    // A real copy, not a second link: an in-place save must not change it.
    std::string bytes;
    if (!readOwnFile(name, kKeptCopyLimit, bytes)) {
        reason = "it cannot be read";
        return false;
    }
    if (::unlink(copyName.c_str()) != 0 && errno != ENOENT) {
        reason = systemText(errno);
        return false;
    }
    int fd = ::open(copyName.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0) {
        reason = systemText(errno);
        return false;
    }
    bool ok = writeAll(fd, bytes, 0) && ::fsync(fd) == 0;
    int error = errno;
    ok = ::close(fd) == 0 && ok;
    if (!ok) {
        reason = systemText(error);
        ::unlink(copyName.c_str());
    } else {
        flushToBrowserStorage();
    }
    return ok;
}
