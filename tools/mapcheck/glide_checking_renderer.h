#pragma once

#include "render/glide/glide_renderer.h"

#include <optional>
#include <string>

// orbivale-glide's own back end on the software card, with a screen that
// shows nothing: level textures are taken or refused exactly as the game
// takes them, and a refusal is explained in lastProblem.
class GlideCheckingRenderer : public GlideRenderer {
public:
    // Opens the card; false when it cannot be opened.
    bool open();
    bool loadLevelTexture(const std::string& path) override;

    std::string lastProblem;

protected:
    // lastProblem explains a refusal in the checker's own words instead.
    void textureRefused(const std::string&, const char*) override {}

private:
    std::optional<Gu3dfHeader> firstTexture_;
};
