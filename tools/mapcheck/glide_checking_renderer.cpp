#include "tools/mapcheck/glide_checking_renderer.h"

#include "glide2/presenter.h"
#include "tools/mapcheck/texture_check.h"

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
    if (GlideRenderer::loadLevelTexture(path)) {
        if (!firstTexture_)
            firstTexture_ = header;
        return true;
    }
    lastProblem = problem.empty() ? path + " is refused by the card (its texture memory)" : problem;
    return false;
}
