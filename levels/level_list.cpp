#include "levels/level_list.h"

#include "game/edition_rules.h"
#include "levels/text_reader.h"
#include "platform/platform.h"

#include <cstdint>

int levelCount = 0;
std::vector<std::string> levelNames;
std::vector<float> levelTimes;

namespace {

const char* const kLevelListFile = "maps/maplist.dat";

bool fail(const char* message)
{
    if (rules().levelListErrorsShown && message)
        platform->messageBox(message, "Error");
    return false;
}

} // namespace

int levelCountInList()
{
    TextReader in;
    int32_t count = 0;
    if (!in.open(kLevelListFile, kLevelListLimit) || !in.readInt(count))
        return -1;
    return count;
}

float unplayedTime() { return rules().unplayedLevelTime; }

bool loadLevelList()
{
    TextReader in;
    if (!in.open(kLevelListFile, kLevelListLimit))
        return fail("Could not find file");

    int32_t count = 0;
    bool countRead = in.readInt(count);
    int32_t exact = rules().exactLevelCount;
    if (!countRead || (exact != 0 ? count != exact : count < 1))
        return fail("file is corrupt");

    // Names are kept as they are read, so memory follows the file's size and
    // not a count it merely claims.
    std::vector<std::string> names;
    for (int32_t i = 0; i < count; ++i) {
        std::string name;
        if (!in.readToken(name))
            return fail(nullptr);
        names.push_back(name);
    }
    if (!in.atEnd())
        return fail("Not end of file");

    levelCount = count;
    levelNames = std::move(names);
    levelTimes.assign(size_t(count), unplayedTime());
    return true;
}
