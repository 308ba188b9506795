#pragma once

#include "game_fixture.h"
#include "temp_workdir.h"

#include "game/options.h"
#include "levels/level_list.h"
#include "records/best_times.h"

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

// A fresh orbivale-gl of three levels in a working folder of its own, with
// a table that was never loaded.
class BestTimesTest : public GameTest {
protected:
    void SetUp() override { prepare(Edition::Gl); }
    void prepare(Edition which)
    {
        startFresh(which);
        resetOptions();
        levelCount = 3;
        bestTimes = BestTimes();
        newEntryRow = -1;
    }
    static std::string rowsText(const char* time, const char* name)
    {
        std::string text;
        for (int i = 0; i < 10; ++i)
            text += std::string(time) + " " + name + " ";
        return text;
    }
    // The names in the working folder, sorted.
    static std::vector<std::string> filesHere()
    {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator("."))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    TempWorkdir dir;
};
