#pragma once

// Starts level levelNumber + 1, or ends the game after the last level.
void startLevel();

// orbivale-gl's name entry: letters typed so far into the new row.
extern int nameCursor;
// orbivale-glide redraws its picture screens only when this is set.
extern bool screenDirty;
