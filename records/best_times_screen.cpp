#include "records/best_times_screen.h"

#include "game/edition_rules.h"
#include "game/game_state.h"
#include "levels/level_list.h"
#include "records/best_times.h"
#include "render/font.h"
#include "screens/text_colour.h"

namespace {

constexpr float kLine = 13.0f;             // a small-text line, whatever the font's own measure
constexpr float kUnfinished = kRaceLength; // no time left at the goal

void red() { setTextColour(1.0f, 0.0f, 0.0f); }
void grey() { setTextColour(200.0f / 255.0f, 200.0f / 255.0f, 200.0f / 255.0f); }

// This game's times by level; returns the total, and whether every level
// was finished (orbivale-glide shows "NA" otherwise).
float drawLevelTimes(bool& totalValid)
{
    red();
    font.setScale(kSmallTextScale);
    font.setPosition(0.0f, -kLine);
    for (int i = 1; i <= levelCount; ++i) {
        font.drawText("\nLevel ");
        font.drawNumber(static_cast<float>(i), 0);
        font.drawText(":");
    }
    font.setPosition(80.0f, -kLine);
    float total = 0.0f;
    totalValid = true;
    for (int i = 0; i < levelCount; ++i) {
        font.drawText("\n");
        total += levelTimes[i];
        if (rules().unfinishedShownAsNA && levelTimes[i] > kUnfinished) {
            font.drawText("NA");
            totalValid = false;
        } else {
            font.drawNumber(levelTimes[i], 2);
        }
    }
    float below = kLine * static_cast<float>(levelCount);
    font.setPosition(80.0f, below);
    font.drawText(rules().totalRule);
    font.setPosition(0.0f, below + kLine);
    font.drawText("total");
    font.setPosition(80.0f, below + kLine);
    if (totalValid)
        font.drawNumber(total, 2);
    else
        font.drawText("NA");
    return total;
}

// One column of the table, row by row: red for the new row, and for rows
// equal to this game's total where the column takes that colour.
void drawTableColumn(float x, float total, bool totalColoursColumn, void (*drawCell)(int row))
{
    font.setPosition(x, 80.0f);
    for (int k = 0; k < kBestTimeRows; ++k) {
        bool isTotal = bestTimes.rows[k].time == total && totalColoursColumn;
        if (k == newEntryRow || isTotal)
            red();
        else
            grey();
        drawCell(k);
        font.drawText("\n");
    }
}

} // namespace

void drawBestTimes()
{
    bool totalValid = true;
    float total = drawLevelTimes(totalValid);

    setTextColour(0.0f, 1.0f, 1.0f);
    font.setScale(1.0f);
    font.setPosition(205.0f, 10.0f);
    font.drawText("Best Times");

    bool totalColoursAll = rules().totalColoursWholeRow;
    drawTableColumn(255.0f, total, true, [](int k) {
        float time = bestTimes.rows[k].time;
        if (rules().unfinishedShownAsNA && time == static_cast<float>(levelCount) * kRaceLength)
            font.drawText("NA");
        else
            font.drawNumber(time, 2);
    });
    drawTableColumn(140.0f, total, totalColoursAll, [](int k) { font.drawNumber(static_cast<float>(k + 1), 0); });
    drawTableColumn(450.0f, total, totalColoursAll, [](int k) { font.drawText(bestTimes.rows[k].name.c_str()); });

    font.setScale(kSmallTextScale);
    setTextColour(0.0f, 0.0f, 1.0f);
    const char* footer = "press <space> to return";
    font.setPosition(320.0f - font.textWidth(footer) / 2.0f, 460.0f);
    font.drawText(footer);
}
