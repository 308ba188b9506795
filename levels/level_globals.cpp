#include "levels/level_globals.h"

void resetLevelGlobals()
{
    levelCount = 0;
    levelNames.clear();
    levelTimes.clear();
    levelMap = LevelMap();
}
