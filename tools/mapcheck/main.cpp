// orbivale-mapcheck [--glide] FILE...
// orbivale-mapcheck [--glide] --list
//
// Loads map files with the game's own loader, as orbivale-gl (or, with
// --glide, orbivale-glide) would, and prints every message the game would show
// and one summary line per map. --list checks "maps/maplist.dat" and every map
// it names, relative to the working directory. Exits 0 only when all load.

#include "levels/level_list.h"
#include "levels/level_map.h"
#include "shell/edition.h"
#include "sim/marble.h"
#include "tools/mapcheck/checking_renderer.h"
#include "tools/mapcheck/console_platform.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

bool checkMap(const std::string& fileName, CheckingRenderer& checker)
{
    Marble marble;
    if (!levelMap.load(fileName, marble)) {
        if (!checker.lastProblem.empty())
            std::printf("%s: %s\n", fileName.c_str(), checker.lastProblem.c_str());
        std::printf("%s: FAILED\n", fileName.c_str());
        return false;
    }
    int pits = 0;
    int mounds = 0;
    for (int i = 0; i < levelMap.holeCount; ++i) {
        pits += levelMap.holes[i].depth > 0.0f;
        mounds += levelMap.holes[i].depth < 0.0f;
    }
    std::printf("%s: ok: %d holes (%d pits, %d mounds), fog 0x%06x, marble 0x%06x\n", fileName.c_str(),
                levelMap.holeCount, pits, mounds, unsigned(levelMap.fogColour), unsigned(levelMap.marbleColour));
    return true;
}

int usage()
{
    std::fprintf(stderr, "usage: orbivale-mapcheck [--glide] FILE...\n"
                         "       orbivale-mapcheck [--glide] --list\n");
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    bool list = false;
    std::vector<std::string> files;
    edition = Edition::Gl;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--glide") == 0)
            edition = Edition::Glide;
        else if (std::strcmp(argv[i], "--list") == 0)
            list = true;
        else if (argv[i][0] == '-' && argv[i][1] != '\0')
            return usage();
        else
            files.push_back(argv[i]);
    }
    if (list == !files.empty())
        return usage();

    ConsolePlatform console;
    CheckingRenderer checker;
    platform = &console;
    renderer = &checker;

    if (list) {
        if (!loadLevelList()) {
            std::printf("maps/maplist.dat: FAILED\n");
            return 1;
        }
        std::printf("maps/maplist.dat: ok: %d levels\n", levelCount);
        files = levelNames;
    }
    bool allLoaded = true;
    for (const std::string& file : files)
        allLoaded = checkMap(file, checker) && allLoaded;
    return allLoaded ? 0 : 1;
}
