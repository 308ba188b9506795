#include "shell/settings.h"

#include "files/whole_file.h"

#include <sstream>

bool ghostOn = false;

namespace {

// A few short lines; anything far larger is no settings file of ours.
constexpr size_t kSettingsLimit = size_t(64) << 10;

} // namespace

void loadSettings()
{
    std::string text, reason;
    if (!readWholeFile(kSettingsFile, kSettingsLimit, text, reason))
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
    // Our own file, as the replays: never half-written, never written
    // through a link or outside the player's folder.
    std::string text = std::string("ghost ") + (ghostOn ? "on" : "off") + "\n";
    return writeOwnFile(kSettingsFile, text, reason);
}

void resetSettings() { ghostOn = false; }
