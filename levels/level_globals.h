#pragma once

// The level list and the loaded map: the globals of levels/.
#include "levels/level_list.h"
#include "levels/level_map.h"

// No level list read and no map loaded, as at program start.
void resetLevelGlobals();
