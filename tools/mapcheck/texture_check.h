#pragma once

#include "glide2/glide.h"

#include <optional>
#include <string>

// Why the card would refuse a .3df level texture, in the words of a level
// designer; empty when it reads as the game reads it. `first` is the layout
// of the first level texture, whose memory every later one must fit.
std::string tdfTextureProblem(const std::string& path, const std::optional<Gu3dfHeader>& first,
                              Gu3dfHeader* header = nullptr);
