#include "apps/common/command_line.h"

#include "files/game_folders.h"
#include "levels/level_list.h"
#include "orbivale_version.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace {

void printUsage(std::FILE* to, const char* program)
{
    // Each program keeps its files in a folder of its own, named as the
    // program is after "orbivale-" (gl, glide).
    const char* folder = std::strncmp(program, "orbivale-", 9) == 0 ? program + 9 : program;
    std::fprintf(to,
                 "Usage: %s [OPTION]...\n"
                 "Steer a marble down a course of pits and mounds against the clock.\n"
                 "\n"
                 "  --data DIR    read the game's data from DIR (also ORBIVALE_DATA)\n"
                 "  --fullscreen  start in full screen (F11 or Alt+Enter switches)\n"
                 "  --window      start in a window (the default)\n"
                 "  --replay FILE watch a recorded run (Escape leaves, Space pauses)\n"
                 "  --practice N  play level N over and over, against the ghost of your best\n"
                 "                run of it; never ranked (Escape opens the menu, F1 restarts)\n"
                 "  --ghost FILE  race the run in a replay FILE of one of the levels, anyone's\n"
                 "  --help        show this help and exit\n"
                 "  --version     show the version and exit\n"
                 "\n"
                 "Started inside a data folder, the program plays from it. Otherwise it reads\n"
                 "the installed data and keeps your best times in $XDG_DATA_HOME/orbivale/%s\n"
                 "(by default ~/.local/share/orbivale/%s), with the last and the best run of\n"
                 "each level in its replays folder.\n",
                 program, folder, folder);
}

std::string environment(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

// The installed data beside the running program when it is there (a copy
// installed under another root), else where the install prefix put it.
std::string installedData(const char* edition)
{
    char self[4096];
    ssize_t length = ::readlink("/proc/self/exe", self, sizeof self - 1);
    if (length > 0) {
        std::string program(self, static_cast<std::size_t>(length));
        std::string beside = program.substr(0, program.rfind('/') + 1) + ORBIVALE_DATA_FROM_PROGRAMS;
        struct stat info;
        if (::stat((beside + "/" + edition + "/maps/maplist.dat").c_str(), &info) == 0 && S_ISREG(info.st_mode))
            return beside;
    }
    return ORBIVALE_INSTALLED_DATA;
}

// A level number: digits only, from 1.
bool readLevelNumber(const std::string& text, int& level)
{
    if (text.empty() || text.size() > 6 || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    level = std::stoi(text);
    return level >= 1;
}

std::string absolutePath(const std::string& path)
{
    std::error_code error;
    std::filesystem::path full = std::filesystem::absolute(path, error);
    return error ? path : full.string();
}

} // namespace

std::string versionText()
{
    std::string text = ORBIVALE_VERSION;
    if (std::strlen(ORBIVALE_COMMIT) > 0)
        text += std::string(" (") + ORBIVALE_COMMIT + ")";
    return text;
}

int parseCommandLine(int argc, char** argv, const char* program, CommandLine& line, std::FILE* out, std::FILE* err)
{
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            printUsage(out, program);
            return 0;
        }
        if (arg == "--version") {
            std::fprintf(out, "%s %s\n", program, versionText().c_str());
            return 0;
        }
        if (arg == "--fullscreen") {
            line.fullscreen = true;
        } else if (arg == "--window") {
            line.fullscreen = false;
        } else if (arg == "--data" && i + 1 < argc && argv[i + 1][0] != '\0') {
            line.dataFolder = argv[++i];
        } else if (arg.rfind("--data=", 0) == 0 && arg.size() > 7) {
            line.dataFolder = arg.substr(7);
        } else if (arg == "--replay" && i + 1 < argc && argv[i + 1][0] != '\0') {
            line.replayFile = absolutePath(argv[++i]);
        } else if (arg.rfind("--replay=", 0) == 0 && arg.size() > 9) {
            line.replayFile = absolutePath(arg.substr(9));
        } else if (arg == "--ghost" && i + 1 < argc && argv[i + 1][0] != '\0') {
            line.ghostFile = absolutePath(argv[++i]);
        } else if (arg.rfind("--ghost=", 0) == 0 && arg.size() > 8) {
            line.ghostFile = absolutePath(arg.substr(8));
        } else if ((arg == "--practice" && i + 1 < argc && readLevelNumber(argv[i + 1], line.practiceLevel)) ||
                   (arg.rfind("--practice=", 0) == 0 && readLevelNumber(arg.substr(11), line.practiceLevel))) {
            i += arg == "--practice" ? 1 : 0;
        } else {
            if (arg == "--practice" || arg.rfind("--practice=", 0) == 0)
                std::fprintf(err, "%s: --practice needs a level number, 1 for the first level\n", program);
            else if (arg == "--ghost" || arg == "--ghost=")
                std::fprintf(err, "%s: --ghost needs a replay file\n", program);
            else if (arg == "--data" || arg == "--data=")
                std::fprintf(err, "%s: --data needs a folder\n", program);
            else if (arg == "--replay" || arg == "--replay=")
                std::fprintf(err, "%s: --replay needs a file\n", program);
            else
                std::fprintf(err, "%s: unknown option '%s'\n", program, arg.c_str());
            printUsage(err, program);
            return 2;
        }
    }
    if (!line.replayFile.empty() && (line.practiceLevel > 0 || !line.ghostFile.empty())) {
        std::fprintf(err, "%s: --replay only watches a run: it takes no --practice or --ghost\n", program);
        return 2;
    }
    return -1;
}

int checkPracticeLevel(const CommandLine& line, const char* program, std::FILE* err)
{
    if (line.practiceLevel <= 0)
        return -1;
    int count = levelCountInList();
    if (count < 1)
        return -1; // no list to read: start-up says so
    if (line.practiceLevel > count) {
        std::fprintf(err, "%s: --practice %d: there is no level %d; the level list has level%s 1%s%s\n", program,
                     line.practiceLevel, line.practiceLevel, count > 1 ? "s" : "", count > 1 ? " to " : "",
                     count > 1 ? std::to_string(count).c_str() : "");
        return 2;
    }
    return -1;
}

void settleFilesForPlay(const CommandLine& line, const char* edition)
{
    GameFolders where;
    where.edition = edition;
    where.askedData = line.dataFolder.empty() ? environment("ORBIVALE_DATA") : line.dataFolder;
    where.installedData = installedData(edition);
    where.xdgDataHome = environment("XDG_DATA_HOME");
    where.home = environment("HOME");
    std::string messages;
    settleGameFolders(where, messages);
    if (!messages.empty()) {
        std::fputs(messages.c_str(), stderr);
        std::fflush(stderr);
    }
}
