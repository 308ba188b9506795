#pragma once

// The card's display clock. The screen grSstWinOpen opened refreshes at its
// mode's rate, and grBufferSwap(n) with n >= 1 returns after the n-th vertical
// retrace counted from the previous swap's retrace (at once when that retrace
// has already passed, so a late frame is shown on time rather than a whole
// retrace later). The wait sleeps; the drawing threads go on meanwhile.

// On by default. Benchmarks and tests that want every frame at once turn it off.
void glide2SetSwapWait(bool wait);
bool glide2SwapWait();

// Where the card reads the time and how it sleeps, in seconds on one
// monotonic scale. nullptr restores the steady clock and real sleeps.
struct Glide2Clock {
    double (*now)(void* userData);
    void (*sleepUntil)(void* userData, double seconds);
    void* userData;
};
void glide2SetClock(const Glide2Clock* clock);

// Seconds until the display's next retrace; 0 with no open card or with the
// wait turned off. A program with nothing new to show sleeps this long.
double glide2SecondsToNextRetrace();
