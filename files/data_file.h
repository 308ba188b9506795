#pragma once

#include <cstddef>
#include <string>

// The one way the game opens a data file for reading. Only a regular file is
// read: a folder, FIFO or device of the same name counts as a missing file.
// The file is opened without blocking (a FIFO never hangs the open), and no
// more than its size at opening, and never more than the caller's limit for
// its kind, is read: a file that grows while it is read, or a huge one, ends
// there.
//
// Names are used as the game gives them, relative to the working folder;
// read-only data not found there is looked up in the data search path
// (files/data_paths.h). The player's own files stay in the working folder.

// Limits per kind of file, far above anything the game's own data holds.
constexpr size_t kLevelListLimit = size_t(16) << 20;
constexpr size_t kMapFileLimit = size_t(256) << 20;
constexpr size_t kFontTableLimit = size_t(1) << 20;
constexpr size_t kBestTimesLimit = size_t(1) << 20;
constexpr size_t kWaveFileLimit = size_t(64) << 20;
constexpr size_t kMusicFileLimit = size_t(16) << 20;
constexpr size_t kTextureFileLimit = size_t(16) << 20;

// True when name is a regular file (after following symbolic links).
bool isRegularFile(const std::string& name);

class DataFile {
public:
    DataFile() = default;
    ~DataFile() { close(); }
    DataFile(const DataFile&) = delete;
    DataFile& operator=(const DataFile&) = delete;

    // Read-only data, found through the search path. False when name is
    // missing, not a regular file or cannot be opened.
    bool open(const std::string& name, size_t limit);
    // The player's own file (the best-times table): the working folder only.
    bool openOwn(const std::string& name, size_t limit);
    // False when closing reports an error.
    bool close();

    // Up to count bytes; fewer at the end of what may be read or after a read error.
    size_t read(void* buffer, size_t count);
    // The next byte, or -1 at the end.
    int get();
    int peek();
    // A read failed (the end of the file is no failure).
    bool failed() const { return failed_; }
    // What may still be read: at most what the file held when it was opened.
    size_t bytesLeft() const { return left_ + (end_ - position_); }

private:
    bool fill();

    int fd_ = -1;
    size_t left_ = 0; // bytes that may still be taken from the file
    bool failed_ = false;
    unsigned char buffer_[4096];
    size_t position_ = 0;
    size_t end_ = 0;
};

// The whole file (at most limit bytes of it) into bytes; false as open is.
bool readDataFile(const std::string& name, size_t limit, std::string& bytes);
// The same for the player's own file, as openOwn finds it.
bool readOwnFile(const std::string& name, size_t limit, std::string& bytes);
