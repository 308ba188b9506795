#pragma once

#include "glide2/glide.h"
#include "render/null_renderer.h"

#include <optional>
#include <string>

// A renderer that draws nothing. Level textures are taken as the game takes
// them: BMP images arrive already read; a .3df file is read and parsed in
// full, and has to match the first level texture's size, format and levels,
// since the card's texture memory is reserved for the first one, and be in
// a format the card draws from.
class CheckingRenderer : public NullRenderer {
public:
    bool loadLevelTexture(const std::string& path) override;

    // Why the last .3df was refused, for the tool's report.
    std::string lastProblem;

private:
    std::optional<Gu3dfHeader> firstTexture_;
};
