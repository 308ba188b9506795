#pragma once

// The playing screen's heads-up display.
extern float bannerScale; // text scale of the "Level " banner; shrinks to nothing
extern int bannerLevel;   // the level the banner was last started for

void drawBoostGauge();          // orbivale-gl
void drawStatisticsAndCountdown();
void drawLevelBanner();
void drawPenaltyText();         // orbivale-gl: the "-5" flying to the countdown

void resetHudState();
