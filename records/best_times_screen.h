#pragma once

// The text of the best-times screen: this game's level times and total, and
// the ten best games. Leaves the font small and blue.
void drawBestTimes();
