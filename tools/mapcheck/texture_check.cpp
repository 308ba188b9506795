#include "tools/mapcheck/texture_check.h"

#include "glide2/tdf_format.h"
#include "glide2/tdf_reader.h"
#include "glide2/texel_decode.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

// No level texture comes near this; a larger file is not read into memory.
constexpr std::uintmax_t kMaxTextureFileBytes = 64u << 20;

bool sameLayout(const Gu3dfHeader& a, const Gu3dfHeader& b)
{
    return a.width == b.width && a.height == b.height && a.small_lod == b.small_lod && a.large_lod == b.large_lod &&
           a.aspect_ratio == b.aspect_ratio && a.format == b.format;
}

std::string formatName(int code)
{
    for (const TdfFormat& f : tdfFormats)
        if (f.code == code)
            return f.name;
    return "unknown";
}

} // namespace

std::string tdfTextureProblem(const std::string& path, const std::optional<Gu3dfHeader>& first, Gu3dfHeader* header)
{
    std::error_code error;
    if (!std::filesystem::exists(path, error))
        return path + " is not found";
    if (!std::filesystem::is_regular_file(path, error))
        return path + " is not a file (a folder, a pipe or a device)";
    if (std::filesystem::file_size(path, error) > kMaxTextureFileBytes)
        return path + " is too large for a level texture";
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return path + " cannot be opened";
    std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    Gu3dfInfo info{};
    size_t headerBytes = 0;
    if (!tdfReadHeader(bytes.data(), bytes.size(), &info, &headerBytes))
        return path + " has no valid .3df header";
    std::vector<unsigned char> texels(info.mem_required);
    info.data = texels.data();
    if (!tdfReadBody(bytes.data(), bytes.size(), &info))
        return path + " is cut short or damaged";
    if (!textureFormatDecoded(info.header.format))
        return path + " is in format " + formatName(info.header.format) +
               ", which the card cannot draw from (rgb565, argb1555, argb4444 and the other plain formats can)";
    if (first && !sameLayout(*first, info.header))
        return path + " differs from the first level texture in size, format or levels";
    if (header)
        *header = info.header;
    return "";
}
