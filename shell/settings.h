#pragma once

#include <string>

// Our own switches beyond the game's options, kept in a small text file of
// ours in the player's folder (never in the best-times file): one
// "name value" line each, lines we do not know ignored.

extern bool ghostOn; // race the ghost of the level's best run; off by default

constexpr const char* kSettingsFile = "orbivale-settings";

// Missing or unreadable settings leave the defaults.
void loadSettings();
// False with the reason when the file could not be written.
bool saveSettings(std::string& reason);

void resetSettings();
