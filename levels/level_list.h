#pragma once

// Number of levels in the loaded level list.
extern int levelCount;
