#include "records/best_times.h"

#include "files/data_file.h"
#include "files/data_paths.h"
#include "files/save_file.h"
#include "game/edition_rules.h"
#include "game/game_state.h"
#include "game/options.h"
#include "levels/float_scan.h"
#include "levels/level_list.h"
#include "platform/platform.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <sstream>

BestTimes bestTimes;
int newEntryRow = -1;

namespace {

constexpr size_t kMaxNameLength = 255;
const char* const kNewRowMarker = "_";

bool readName(std::istream& in, std::string& name)
{
    std::string token;
    if (!(in >> token) || token.size() > kMaxNameLength)
        return false;
    name = token;
    return true;
}

bool readOption(std::istream& in, bool& option)
{
    int value;
    if (!(in >> value))
        return false;
    option = value != 0;
    return true;
}

// Reads rows and options in file order, storing each value as soon as it is
// read; false at the first item that cannot be read.
bool readTable(std::istream& in, BestTimes& table)
{
    for (int i = 0; i < kBestTimeRows; ++i) {
        float time;
        if (!scanFloat(in, time))
            return false;
        // "inf", "nan" and values past the float range are no game anyone
        // played: they count as the slowest, are saved as "inf", and rank
        // below every real time.
        table.rows[i].time = std::isfinite(time) ? time : std::numeric_limits<float>::infinity();
        if (!readName(in, table.rows[i].name))
            return false;
    }
    std::stable_partition(table.rows, table.rows + kBestTimeRows,
                          [](const BestTimeRow& row) { return std::isfinite(row.time); });
    if (!rules().bestTimesKeepOptions)
        return true;
    bool* options[] = {&showStatistics, &normalView, &musicOn, &farSight, &fogOn, &joystickControl};
    for (bool* option : options)
        if (!readOption(in, *option))
            return false;
    float lag;
    if (!scanFloat(in, lag))
        return false;
    // A lag outside 0..9 would let the camera overshoot its target. Limit
    // before dropping the fraction: a huge value has no int to become.
    cameraLag = std::trunc(lag >= 0.0f ? std::min(lag, 9.0f) : 0.0f);
    return true;
}

std::string tableText(const BestTimes& table)
{
    std::string text;
    for (int i = 0; i < kBestTimeRows; ++i)
        text += formatBestTime(table.rows[i].time) + " " + table.rows[i].name + " ";
    if (rules().bestTimesKeepOptions) {
        for (bool option : {showStatistics, normalView, musicOn, farSight, fogOn, joystickControl})
            text += option ? "1 " : "0 ";
        text += formatBestTime(cameraLag);
    }
    return text;
}

} // namespace

std::string formatBestTime(float time)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%g", static_cast<double>(time));
    return buffer;
}

int compareRows(const BestTimeRow& a, const BestTimeRow& b) { return a.time > b.time ? 1 : -1; }

const char* BestTimes::fileName() const { return rules().bestTimesFile; }

void BestTimes::setDefaults()
{
    for (int i = 0; i < kBestTimeRows; ++i) {
        rows[i].time = static_cast<float>(levelCount) * kRaceLength;
        rows[i].name = rules().defaultBestName;
    }
}

void BestTimes::load()
{
    // Only a regular file is read; anything else counts as missing.
    std::string text;
    bool found = readOwnFile(fileName(), kBestTimesLimit, text);
    std::istringstream in(text);
    fileDamaged = found && !readTable(in, *this);
    if (!found || fileDamaged) {
        if (rules().announcesNewBestTimesFile)
            platform->messageBox("Creating new highScores file", "Notice");
        setDefaults();
    }
    savedText = tableText(*this);
}

bool BestTimes::hasUnsavedChanges() const { return tableText(*this) != savedText; }

bool BestTimes::save()
{
    std::string name = fileName();
    // Without a folder of the player's own there is nowhere to save.
    std::string reason = savingRefusedReason();
    if (!reason.empty()) {
        platform->messageBox("could not save " + name + ": " + reason, "Error");
        return false;
    }
    if (fileDamaged && isRegularFile(name)) {
        std::string copy = name + ".bad";
        if (!keepFileCopy(name, copy, reason)) {
            platform->messageBox("could not save " + name + ": its damaged table cannot be kept as " + copy + " (" +
                                     reason + ")",
                                 "Error");
            return false;
        }
        std::fprintf(stderr, "Orbivale: the damaged %s is kept as %s\n", name.c_str(), copy.c_str());
    }
    std::string text = tableText(*this);
    if (!saveFile(name, text, reason)) {
        platform->messageBox("could not save " + name + ": " + reason, "Error");
        return false;
    }
    savedText = text;
    fileDamaged = false;
    return true;
}

int BestTimes::recordGame(float total)
{
    rows[kSpareRow].time = total;
    rows[kSpareRow].name = kNewRowMarker;
    // Equal times keep their order, so a new game tied with an old one ranks
    // below it.
    std::stable_sort(rows, rows + kBestTimeRows + 1,
                     [](const BestTimeRow& a, const BestTimeRow& b) { return compareRows(b, a) > 0; });
    newEntryRow = -1;
    for (int i = 0; i < kBestTimeRows; ++i)
        if (rows[i].name == kNewRowMarker)
            newEntryRow = i;
    return newEntryRow;
}
