#pragma once

#include <cstddef>
#include <string>

// Files read or written whole, at once.

// Writes one of our own files (a replay, the settings) in the player's folder
// so that no failure, crash or power cut leaves a half-written file under the
// name, and nothing planted there redirects it (files/save_file.h,
// saveOwnFile). Creates the folder it goes in. False with a reason that
// names the file.
bool writeOwnFile(const std::string& name, const std::string& bytes, std::string& reason);

// The whole file at path (a replay, the settings, a map), when it is a
// regular file of at most limit bytes; false with a reason that names it.
bool readWholeFile(const std::string& path, size_t limit, std::string& bytes, std::string& reason);
