#pragma once

#include <string>
#include <vector>

// The level list "maps/maplist.dat": a count, then that many map file names
// (each used as a path relative to the working directory), nothing after the
// last name.

// Number of levels in the loaded level list.
extern int levelCount;
// Map file of each level, level 1 first; levelCount entries.
extern std::vector<std::string> levelNames;
// Seconds the player needed for each level in the current game; levelCount entries.
extern std::vector<float> levelTimes;

// The time a level has before it is played: 45.0 in orbivale-gl, 46.0 in
// orbivale-glide (where any time above 45 marks a level as not finished).
float unplayedTime();

// Reads the list and sets every time to unplayedTime(). True when the list is
// complete; on false the previous list is kept and nothing of the file is
// used. orbivale-glide reports its failures itself (caption "Error").
bool loadLevelList();

// The count at the head of the list, read without a message; -1 when the
// list cannot be read that far (start-up then says what is wrong).
int levelCountInList();
