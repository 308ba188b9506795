#include "files/whole_file.h"

#include "files/data_file.h"
#include "files/data_paths.h"
#include "files/save_file.h"

#include <sys/stat.h>

bool writeOwnFile(const std::string& name, const std::string& bytes, std::string& reason)
{
    if (!savingRefusedReason().empty()) {
        reason = savingRefusedReason();
        return false;
    }
    // The folder is made here, never through a link at its name (mkdir does
    // not follow one); where it leads is the save's to judge.
    size_t slash = name.rfind('/');
    if (slash != std::string::npos && slash > 0)
        ::mkdir(name.substr(0, slash).c_str(), 0777);
    if (!saveOwnFile(name, bytes, reason)) {
        reason = name + ": " + reason;
        return false;
    }
    return true;
}

// Only a regular file, opened without blocking, and never past the limit.
bool readWholeFile(const std::string& path, size_t limit, std::string& bytes, std::string& reason)
{
    if (!readOwnFile(path, limit + 1, bytes)) {
        reason = "cannot open " + path + " (missing, or not a file)";
        return false;
    }
    if (bytes.size() > limit) {
        bytes = std::string();
        reason = path + " is far too large";
        return false;
    }
    return true;
}
