// Any bytes as "maps/maplist.dat", for either program.

#include "fuzz_support.h"
#include "game/edition.h"
#include "levels/level_list.h"

#include <cstdlib>
#include <filesystem>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static QuietPlatform quiet;
    static bool inScratchDir = [] {
        std::filesystem::path dir = std::filesystem::temp_directory_path() /
                                    ("orbivale-fuzz-list-" + std::to_string(getpid()));
        std::filesystem::create_directories(dir / "maps");
        std::filesystem::current_path(dir);
        return true;
    }();
    (void)inScratchDir;
    platform = &quiet;
    if (size < 1)
        return 0;
    edition = (data[0] & 1) ? Edition::Glide : Edition::Gl;
    std::FILE* file = std::fopen("maps/maplist.dat", "wb");
    if (!file)
        return 0;
    std::fwrite(data + 1, 1, size - 1, file);
    std::fclose(file);
    if (loadLevelList()) {
        if (levelCount < 1 || levelNames.size() != size_t(levelCount) || levelTimes.size() != size_t(levelCount))
            std::abort();
        for (const std::string& name : levelNames)
            if (name.empty() || name.size() > 255)
                std::abort();
    }
    return 0;
}
