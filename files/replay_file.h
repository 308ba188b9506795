#pragma once

#include <string>

// Writes a replay so that no failure, crash or power cut leaves a half-written
// file under the name: a temporary file beside it, flushed to the disk, then
// renamed over it. Creates the folder it goes in. False with the reason.
bool writeReplayFile(const std::string& name, const std::string& bytes, std::string& reason);

// The whole file, up to a size no replay reaches; false with the reason.
bool readWholeFile(const std::string& path, std::string& bytes, std::string& reason);
