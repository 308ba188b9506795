#include "tools/mapcheck/checking_renderer.h"

#include "tools/mapcheck/texture_check.h"

bool CheckingRenderer::loadLevelTexture(const std::string& path)
{
    Gu3dfHeader header{};
    lastProblem = tdfTextureProblem(path, firstTexture_, &header);
    if (!lastProblem.empty())
        return false;
    if (!firstTexture_)
        firstTexture_ = header;
    return true;
}
