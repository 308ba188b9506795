#include "files/data_paths.h"

#include <sys/stat.h>

namespace {

std::vector<std::string> folders;
std::string savingRefused;

bool regularFile(const std::string& path)
{
    struct stat info;
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

} // namespace

void setDataFolders(const std::vector<std::string>& newFolders) { folders = newFolders; }

const std::vector<std::string>& dataFolders() { return folders; }

std::string dataFilePath(const std::string& name)
{
    if (folders.empty() || name.empty() || name[0] == '/' || regularFile(name))
        return name;
    for (const std::string& folder : folders) {
        std::string path = folder + "/" + name;
        if (regularFile(path))
            return path;
    }
    return name;
}

void setSavingRefused(const std::string& reason) { savingRefused = reason; }

const std::string& savingRefusedReason() { return savingRefused; }
