#pragma once

#include "tools/mapcheck/checking_renderer.h"
#include "tools/mapcheck/console_platform.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>

// Message boxes are shown to nobody while fuzzing.
class QuietPlatform : public ConsolePlatform {
public:
    void messageBox(const std::string&, const std::string&) override {}
};

// Draws nothing and answers .3df loads without opening any file, since a map
// may name any path at all.
class FuzzRenderer : public CheckingRenderer {
public:
    bool loadLevelTexture(const std::string& path) override { return path.size() % 2 == 0; }
};

// Writes the input to this process's own scratch file and returns its path.
inline std::string writeScratchFile(const std::string& name, const uint8_t* data, size_t size)
{
    std::string path = "/tmp/orbivale-fuzz-" + std::to_string(getpid()) + "-" + name;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return path;
    if (size)
        std::fwrite(data, 1, size, file);
    std::fclose(file);
    return path;
}
