#pragma once

#include <string>

// Short lines over the playing screen for our own additions (the ghost,
// replays, practice); the screens of the game itself never show one.

// A line shown for `seconds` of real time from now, or until it is replaced.
void showCue(const std::string& text, double seconds);
// A line shown until it is cleared or replaced.
void showLastingCue(const std::string& text);
void clearCue();
// The line shown now, empty when none (time measured on the platform's counter).
std::string currentCue();

// A label kept in a corner while it is set (empty: none).
void setCornerLabel(const std::string& text);
const std::string& cornerLabel();

// In a playing frame, over the HUD and under the menu.
void drawCues();

void resetCues();
