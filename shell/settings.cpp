#include "shell/settings.h"

#include "files/replay_file.h"

#include <sstream>

bool ghostOn = false;

void loadSettings()
{
    std::string text, reason;
    if (!readWholeFile(kSettingsFile, text, reason))
        return;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream words(line);
        std::string name, value;
        words >> name >> value;
        if (name == "ghost" && (value == "on" || value == "off"))
            ghostOn = value == "on";
    }
}

bool saveSettings(std::string& reason)
{
    // The replays' never-lose write serves this small file too.
    std::string text = std::string("ghost ") + (ghostOn ? "on" : "off") + "\n";
    return writeReplayFile(kSettingsFile, text, reason);
}

void resetSettings() { ghostOn = false; }
