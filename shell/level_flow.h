#pragma once

// Starts level levelNumber + 1, or ends the game after the last level.
void startLevel();
