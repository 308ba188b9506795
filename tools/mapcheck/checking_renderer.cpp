#include "tools/mapcheck/checking_renderer.h"

#include "glide2/tdf_reader.h"

#include <fstream>
#include <iterator>
#include <vector>

namespace {

bool sameLayout(const Gu3dfHeader& a, const Gu3dfHeader& b)
{
    return a.width == b.width && a.height == b.height && a.small_lod == b.small_lod &&
           a.large_lod == b.large_lod && a.aspect_ratio == b.aspect_ratio && a.format == b.format;
}

} // namespace

bool CheckingRenderer::loadLevelTexture(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        lastProblem = path + " cannot be opened";
        return false;
    }
    std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    Gu3dfInfo info{};
    size_t headerBytes = 0;
    if (!tdfReadHeader(bytes.data(), bytes.size(), &info, &headerBytes)) {
        lastProblem = path + " has no valid .3df header";
        return false;
    }
    std::vector<unsigned char> texels(info.mem_required);
    info.data = texels.data();
    if (!tdfReadBody(bytes.data(), bytes.size(), &info)) {
        lastProblem = path + " is cut short or damaged";
        return false;
    }
    if (firstTexture_ && !sameLayout(*firstTexture_, info.header)) {
        lastProblem = path + " differs from the first level texture in size, format or levels";
        return false;
    }
    if (!firstTexture_)
        firstTexture_ = info.header;
    lastProblem.clear();
    return true;
}
