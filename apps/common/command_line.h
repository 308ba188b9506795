#pragma once

#include <cstdio>
#include <string>

// What a player may say when starting either program.
struct CommandLine {
    bool fullscreen = false;
    std::string dataFolder; // --data DIR
    std::string replayFile; // --replay FILE, made absolute: the working folder changes before play
    int practiceLevel = 0;  // --practice N, 0 for none
    std::string ghostFile;  // --ghost FILE, made absolute
};

// -1 to go on and play; otherwise the exit code: 0 after --help or --version
// (written to `out`), 2 after an option it does not know (one line and the
// usage on `err`).
int parseCommandLine(int argc, char** argv, const char* program, CommandLine& line, std::FILE* out, std::FILE* err);

// The project's version, with the commit it was built from where known.
std::string versionText();

// --practice N against the level list of the data found (once the files are
// settled): -1 to go on, or 2 after saying on `err` that there is no level N.
int checkPracticeLevel(const CommandLine& line, const char* program, std::FILE* err);

// Settles the data and the player's folders (--data, ORBIVALE_DATA, the
// installed data, XDG_DATA_HOME or HOME) and tells stderr of any trouble.
void settleFilesForPlay(const CommandLine& line, const char* edition);

// In the browser the frame loop runs after main has returned to the page, so
// what the loop uses cannot live on main's stack.
#ifdef __EMSCRIPTEN__
#define ORBIVALE_LOOP_LOCAL static
#else
#define ORBIVALE_LOOP_LOCAL
#endif
