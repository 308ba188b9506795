// Any bytes as the best-times file, for either program: the table that comes
// out is always one the game can show and save.

#include "fuzz_support.h"
#include "game/edition.h"
#include "game/options.h"
#include "levels/level_list.h"
#include "records/best_times.h"

#include <cmath>
#include <cstdlib>
#include <filesystem>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static QuietPlatform quiet;
    static bool inScratchDir = [] {
        std::filesystem::path dir = std::filesystem::temp_directory_path() /
                                    ("orbivale-fuzz-times-" + std::to_string(getpid()));
        std::filesystem::create_directories(dir / "misc");
        std::filesystem::current_path(dir);
        return true;
    }();
    (void)inScratchDir;
    platform = &quiet;
    if (size < 1)
        return 0;
    edition = (data[0] & 1) ? Edition::Glide : Edition::Gl;
    levelCount = 3;
    resetOptions();
    BestTimes table;
    std::FILE* file = std::fopen(table.fileName(), "wb");
    if (!file)
        return 0;
    std::fwrite(data + 1, 1, size - 1, file);
    std::fclose(file);
    table.load();
    for (int i = 0; i < kBestTimeRows; ++i) {
        const BestTimeRow& row = table.rows[i];
        // Only "inf" stands for a time that is no number, and only below the real ones.
        if (std::isnan(row.time) || row.time == -INFINITY || row.name.empty() || row.name.size() > 255)
            std::abort();
        if (i > 0 && std::isinf(table.rows[i - 1].time) && !std::isinf(row.time))
            std::abort();
        for (char c : row.name)
            if (c == ' ' || c == '\n' || c == '\t' || c == '\r')
                std::abort();
    }
    if (!(cameraLag >= 0.0f && cameraLag <= 9.0f))
        std::abort();
    // What is saved reads back as the same table.
    if (!table.save())
        return 0;
    BestTimes reread;
    reread.load();
    for (int i = 0; i < kBestTimeRows; ++i)
        if (formatBestTime(reread.rows[i].time) != formatBestTime(table.rows[i].time) ||
            reread.rows[i].name != table.rows[i].name)
            std::abort();
    return 0;
}
