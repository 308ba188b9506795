#pragma once

// The playing screen's heads-up display.
extern float bannerScale; // text scale of the "Level " banner; shrinks to nothing
extern int bannerLevel;   // the level the banner was last started for

void drawBoostGauge(); // orbivale-gl
void drawStatisticsAndCountdown();
void drawLevelBanner();
void drawPenaltyText(); // orbivale-gl: the "-5" flying to the countdown

// The banner's steps around the playing screen's drawing: started again for a
// new level before, shrunk by the frame time after (not while paused).
void startBannerOnNewLevel();
void shrinkLevelBanner();

void resetHudState();
