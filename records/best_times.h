#pragma once

#include <string>

// One ranked game: its total time and the player's name.
struct BestTimeRow {
    float time = 0.0f;
    std::string name; // at most 255 characters, no whitespace
};

constexpr int kBestTimeRows = 10;
constexpr int kSpareRow = 10;

// The ten best games, best first, and a spare row that receives a finished
// game before it is sorted in.
class BestTimes {
public:
    // Reads the table (and orbivale-glide's options); falls back to a fresh
    // table on any problem, so there is no failure to report.
    void load();
    // Writes the table; false when the file cannot be written, in which case
    // the previous file is left as it was and the player is told why.
    bool save();
    // Whether the table (and orbivale-glide's options) differ from what was
    // last read from or written to the file.
    bool hasUnsavedChanges() const;
    // Sorts a finished game in; the new row's index, or -1 when it did not
    // reach the table. Sets newEntryRow.
    int recordGame(float total);

    void setDefaults();
    const char* fileName() const;

    BestTimeRow rows[kBestTimeRows + 1];
    // The file was there but could not be read as a table: the next save
    // keeps it beside the new one first.
    bool fileDamaged = false;
    // The file's contents as last read or written, as the table would write them.
    std::string savedText;
};

// +1 when a is slower than b, otherwise -1: never equal.
int compareRows(const BestTimeRow& a, const BestTimeRow& b);

// Formats a time as the file stores it: six significant digits, no trailing zeros.
std::string formatBestTime(float time);

extern BestTimes bestTimes;
extern int newEntryRow; // row awaiting its name, -1 when none
