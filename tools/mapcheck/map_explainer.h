#pragma once

#include <string>

// Reads a map file again with the game's reader, item by item as the loader
// reads it, and says why a load that failed without a message failed, for
// example "nothing may follow .end: a line end at byte 1234 (line 62)" or
// "hole 12 has 3 of its 4 values: the file ends there". Holes count from 1.
// Empty when the reading finds nothing the loader would have stopped at
// without a message.
std::string explainSilentFailure(const std::string& fileName);

// The name after "texturefile=" (the last one when there are several);
// empty when there is none.
std::string textureNameIn(const std::string& fileName);
