#pragma once

#include <string>

// Starts level levelNumber + 1, or ends the game after the last level.
void startLevel();

// Loads a map into levelMap for play and hands the texture it read to the
// renderer; a map without one keeps the last level's. False as load is.
bool loadLevelMap(const std::string& fileName);

// orbivale-gl's name entry: letters typed so far into the new row.
extern int nameCursor;
// orbivale-glide redraws its picture screens only when this is set.
extern bool screenDirty;
