#include "tools/mapcheck/glide_checking_renderer.h"

#include "glide2/presenter.h"
#include "tools/mapcheck/texture_check.h"

#include <filesystem>

namespace {

void showNothing(void*, const std::uint32_t*, int, int) {}

} // namespace

bool GlideCheckingRenderer::open()
{
    glide2SetPresenter(&showNothing, nullptr);
    return startGraphics();
}

bool GlideCheckingRenderer::loadLevelTexture(const std::string& path)
{
    lastProblem.clear();
    Gu3dfHeader header{};
    std::string problem = tdfTextureProblem(path, firstTexture_, &header);
    // Only regular files reach the card's reader: a pipe would block it.
    std::error_code error;
    if (std::filesystem::is_regular_file(path, error) && GlideRenderer::loadLevelTexture(path)) {
        if (!firstTexture_)
            firstTexture_ = header;
        return true;
    }
    lastProblem = problem.empty() ? path + " is refused by the card (its texture memory)" : problem;
    return false;
}
