#include "apps/orbivale-gl/first_frames.h"

#include "game/game_state.h"
#include "render/renderer.h"
#include "shell/replay_playback.h"

#ifdef __EMSCRIPTEN__
#include <GLES2/gl2.h>
#else
#include <GL/gl.h>
#endif

#include <cstdio>
#include <vector>

namespace {

std::string screenName()
{
    switch (gameState) {
    case GameState::Title:
        return "title";
    case GameState::Playing:
        return "level" + std::to_string(levelNumber);
    case GameState::ScoreTable:
        return "best_times";
    default:
        return "";
    }
}

} // namespace

void FirstFramesWindow::swapGlBuffers()
{
    std::string name;
    int number = 0;
    bool keep = false;
    if (replayPlaying()) {
        // Counted in recorded frames, as a held picture is shown again.
        name = "replay";
        number = replayFramesPlayed();
        keep = number == 60 && kept_[name]++ == 0;
    } else if (name = screenName(); !name.empty()) {
        number = ++kept_[name];
        keep = number == 1 || number == 2 || number == 120;
    }
    if (keep) {
        // RGBA is the one read-back format every OpenGL (ES) offers.
        std::vector<uint8_t> rgba(size_t(kScreenWidth) * kScreenHeight * 4);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, kScreenWidth, kScreenHeight, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
        std::vector<uint8_t> rgb(size_t(kScreenWidth) * kScreenHeight * 3);
        for (size_t i = 0; i < size_t(kScreenWidth) * kScreenHeight; ++i)
            for (size_t c = 0; c < 3; ++c)
                rgb[i * 3 + c] = rgba[i * 4 + c];
        std::string path = folder_ + "/" + name + (number > 1 ? "-" + std::to_string(number) : "") + ".rgb";
        FILE* file = std::fopen(path.c_str(), "wb");
        bool written = file && std::fwrite(rgb.data(), 1, rgb.size(), file) == rgb.size();
        if (file)
            written = std::fclose(file) == 0 && written;
        if (!written)
            std::fprintf(stderr, "Orbivale: the picture %s could not be written\n", path.c_str());
    }
    window_.swapGlBuffers();
}
