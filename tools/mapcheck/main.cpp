// orbivale-mapcheck [--glide] [--par] FILE...
// orbivale-mapcheck [--glide] [--par] --list
//
// Loads map files with the game's own loader, as orbivale-gl (or, with
// --glide, orbivale-glide) would, and prints every message the game would
// show, then one line saying why when the game says nothing, warnings about
// traps that do not stop the load, and one summary line per map. --par also
// lets the autopilot play the map and prints its time. --list checks
// "maps/maplist.dat" and every map it names, relative to the working
// directory. Exits 0 only when all load.

#include "game/edition.h"
#include "levels/level_list.h"
#include "levels/level_map.h"
#include "sim/marble.h"
#include "tools/mapcheck/checking_renderer.h"
#include "tools/mapcheck/console_platform.h"
#include "tools/mapcheck/glide_checking_renderer.h"
#include "tools/mapcheck/map_explainer.h"
#include "tools/mapcheck/map_warnings.h"
#include "tools/mapcheck/par.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

ConsolePlatform console;
CheckingRenderer glChecker;
GlideCheckingRenderer glideChecker;
bool withPar = false;

// Why the renderer refused the last level texture (orbivale-glide only).
std::string& textureProblem() { return isGlide() ? glideChecker.lastProblem : glChecker.lastProblem; }

void printPar(const std::string& fileName)
{
    ParRun run = runPar(console);
    if (!run.lineFound || !run.reachedGoal) {
        std::printf("%s: no way to the goal found\n", fileName.c_str());
        return;
    }
    std::printf("%s: par %.2f s", fileName.c_str(), run.seconds);
    if (run.falls > 0)
        std::printf(" with %d fall%s", run.falls, run.falls == 1 ? "" : "s");
    if (run.seconds > 45.0f)
        std::printf(", more than the 45 s a level gives");
    std::printf("\n");
}

bool checkMap(const std::string& fileName)
{
    Marble marble;
    textureProblem().clear();
    int messagesBefore = console.messagesShown;
    if (!levelMap.load(fileName, marble)) {
        bool silent = console.messagesShown == messagesBefore;
        // What the game shows after every failed level load.
        console.messageBox("Unable to initialize map", "error");
        std::string why = textureProblem();
        if (why.empty() && silent)
            why = explainSilentFailure(fileName);
        if (!why.empty())
            std::printf("%s: %s\n", fileName.c_str(), why.c_str());
        std::printf("%s: FAILED\n", fileName.c_str());
        return false;
    }
    std::vector<std::string> warnings = layoutWarnings(levelMap);
    if (!isGlide())
        for (const std::string& w : textureWarnings(textureNameIn(fileName)))
            warnings.push_back(w);
    for (const std::string& w : warnings)
        std::printf("%s: warning: %s\n", fileName.c_str(), w.c_str());
    int pits = 0;
    int mounds = 0;
    for (int i = 0; i < levelMap.holeCount; ++i) {
        pits += levelMap.holes[i].depth > 0.0f;
        mounds += levelMap.holes[i].depth < 0.0f;
    }
    std::printf("%s: ok: %d holes (%d pits, %d mounds), fog 0x%06x, marble 0x%06x\n", fileName.c_str(),
                levelMap.holeCount, pits, mounds, unsigned(levelMap.fogColour), unsigned(levelMap.marbleColour));
    if (withPar)
        printPar(fileName);
    return true;
}

// Asked for (--help): stdout and success; after a mistake: stderr and 2.
int usage(bool asked = false)
{
    std::fprintf(asked ? stdout : stderr, "usage: orbivale-mapcheck [--glide] [--par] FILE...\n"
                                          "       orbivale-mapcheck [--glide] [--par] --list\n"
                                          "Loads each map as the game does and says ok or why not; --glide checks\n"
                                          "orbivale-glide's rules, --list every map of maps/maplist.dat, --par plays\n"
                                          "the map with the autopilot and prints its par time.\n");
    return asked ? 0 : 2;
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
        else if (std::strcmp(argv[i], "--par") == 0)
            withPar = true;
        else if (std::strcmp(argv[i], "--help") == 0)
            return usage(true);
        else if (argv[i][0] == '-' && argv[i][1] != '\0')
            return usage();
        else
            files.push_back(argv[i]);
    }
    if (list == !files.empty())
        return usage();

    platform = &console;
    renderer = &glChecker;
    if (isGlide()) {
        if (!glideChecker.open()) {
            std::printf("the software card cannot be opened\n");
            return 1;
        }
        renderer = &glideChecker;
    }

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
        allLoaded = checkMap(file) && allLoaded;
    if (isGlide())
        glideChecker.shutdownGraphics();
    return allLoaded ? 0 : 1;
}
