#include "levels/level_list.h"

int levelCount = 0;
