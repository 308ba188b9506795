#include "files/game_folders.h"

#include "files/data_paths.h"

#include <cerrno>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A data folder is complete enough to start from when it has its level list.
constexpr const char* kDataMarker = "maps/maplist.dat";

bool regularFile(const std::string& path)
{
    struct stat info;
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

// mkdir -p, folder by folder; false with the system's reason.
bool makeFolders(const std::string& path, std::string& reason)
{
    for (std::size_t slash = 1; slash != std::string::npos;) {
        slash = path.find('/', slash + 1);
        std::string part = path.substr(0, slash);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
            reason = part + ": " + std::strerror(errno);
            return false;
        }
    }
    struct stat info;
    if (::stat(path.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
        reason = path + ": not a folder";
        return false;
    }
    if (::access(path.c_str(), W_OK | X_OK) != 0) {
        reason = path + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

std::string absolute(const std::string& path)
{
    if (path.empty() || path[0] == '/')
        return path;
    char cwd[4096];
    if (!::getcwd(cwd, sizeof cwd))
        return path;
    return std::string(cwd) + "/" + path;
}

} // namespace

std::string playerFolder(const GameFolders& where)
{
    if (!where.xdgDataHome.empty() && where.xdgDataHome[0] == '/')
        return where.xdgDataHome + "/orbivale/" + where.edition;
    if (!where.home.empty())
        return where.home + "/.local/share/orbivale/" + where.edition;
    return "";
}

void settleGameFolders(const GameFolders& where, std::string& messages)
{
    setDataFolders({});
    setSavingRefused("");
    if (where.askedData.empty() && regularFile(kDataMarker))
        return;

    std::string data = where.askedData.empty() ? where.installedData + "/" + where.edition : absolute(where.askedData);
    if (!regularFile(data + "/" + kDataMarker))
        messages += "Orbivale: no game data in " + data + " (searched for " + kDataMarker + ")\n";
    setDataFolders({data});

    std::string player = playerFolder(where);
    std::string reason;
    // orbivale-glide keeps its best times in misc/.
    std::string saveFolder = where.edition == "glide" ? player + "/misc" : player;
    if (player.empty())
        reason = "neither XDG_DATA_HOME nor HOME is set";
    else if (makeFolders(saveFolder, reason) && ::chdir(player.c_str()) == 0)
        return;
    else if (reason.empty())
        reason = player + ": " + std::strerror(errno);
    messages += "Orbivale: cannot keep your files (" + reason + "); playing without saving best times\n";
    setSavingRefused("no folder for your files: " + reason);
    // Still away from wherever the program was started, so nothing lands there.
    if (::chdir(data.c_str()) != 0)
        messages += "Orbivale: cannot enter " + data + ": " + std::strerror(errno) + "\n";
}
