#include "tools/datagen/output.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

bool writeFile(const std::string& root, const std::string& relativePath, const std::vector<uint8_t>& bytes)
{
    std::filesystem::path path = std::filesystem::path(root) / relativePath;
    std::error_code ec;
    std::filesystem::create_directories(path.parent_path(), ec);
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    if (!file) {
        std::fprintf(stderr, "datagen: cannot write %s\n", path.c_str());
        return false;
    }
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(file);
}

bool writeText(const std::string& root, const std::string& relativePath, const std::string& text)
{
    return writeFile(root, relativePath, std::vector<uint8_t>(text.begin(), text.end()));
}

void putU16(std::vector<uint8_t>& out, uint32_t v)
{
    out.push_back(static_cast<uint8_t>(v & 0xff));
    out.push_back(static_cast<uint8_t>((v >> 8) & 0xff));
}

void putU32(std::vector<uint8_t>& out, uint32_t v)
{
    putU16(out, v & 0xffff);
    putU16(out, v >> 16);
}
