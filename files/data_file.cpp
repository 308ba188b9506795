#include "files/data_file.h"

#include "files/data_paths.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

bool isRegularFile(const std::string& name)
{
    struct stat info;
    return ::stat(name.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool DataFile::open(const std::string& name, size_t limit) { return openOwn(dataFilePath(name), limit); }

bool DataFile::openOwn(const std::string& name, size_t limit)
{
    close();
    // Without O_NONBLOCK opening a FIFO waits for a writer; the check below
    // then refuses it.
    int fd = ::open(name.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return false;
    struct stat info;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size < 0) {
        ::close(fd);
        return false;
    }
    fd_ = fd;
    left_ = std::min(static_cast<size_t>(info.st_size), limit);
    failed_ = false;
    position_ = end_ = 0;
    return true;
}

bool DataFile::close()
{
    if (fd_ < 0)
        return true;
    bool ok = ::close(fd_) == 0;
    fd_ = -1;
    left_ = 0;
    position_ = end_ = 0;
    return ok;
}

bool DataFile::fill()
{
    position_ = end_ = 0;
    if (fd_ < 0 || left_ == 0 || failed_)
        return false;
    for (;;) {
        ssize_t n = ::read(fd_, buffer_, std::min(sizeof buffer_, left_));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            failed_ = n < 0;
            left_ = 0; // a file cut short while read ends here
            return false;
        }
        end_ = static_cast<size_t>(n);
        left_ -= end_;
        return true;
    }
}

int DataFile::peek()
{
    if (position_ == end_ && !fill())
        return -1;
    return buffer_[position_];
}

int DataFile::get()
{
    int c = peek();
    if (c >= 0)
        ++position_;
    return c;
}

size_t DataFile::read(void* buffer, size_t count)
{
    auto* out = static_cast<unsigned char*>(buffer);
    size_t done = 0;
    while (done < count) {
        if (position_ == end_) {
            // Large blocks go straight to the caller.
            if (count - done >= sizeof buffer_ && fd_ >= 0 && left_ > 0 && !failed_) {
                ssize_t n = ::read(fd_, out + done, std::min(count - done, left_));
                if (n < 0 && errno == EINTR)
                    continue;
                if (n <= 0) {
                    failed_ = n < 0;
                    left_ = 0;
                    break;
                }
                done += static_cast<size_t>(n);
                left_ -= static_cast<size_t>(n);
                continue;
            }
            if (!fill())
                break;
        }
        size_t take = std::min(count - done, end_ - position_);
        std::memcpy(out + done, buffer_ + position_, take);
        position_ += take;
        done += take;
    }
    return done;
}

namespace {

// Straight into the string, sized once: no more than the file held when it
// was opened is ever read.
bool readAll(DataFile& file, std::string& bytes)
{
    bytes.resize(file.bytesLeft());
    bytes.resize(file.read(bytes.data(), bytes.size()));
    bool ok = !file.failed();
    return file.close() && ok;
}

} // namespace

bool readDataFile(const std::string& name, size_t limit, std::string& bytes)
{
    DataFile file;
    return file.open(name, limit) && readAll(file, bytes);
}

bool readOwnFile(const std::string& name, size_t limit, std::string& bytes)
{
    DataFile file;
    return file.openOwn(name, limit) && readAll(file, bytes);
}
