#pragma once

// Paces the OpenGL present to the display's refresh when the driver's swap
// does not wait for the display itself (Xvfb with a software driver, some
// remote desktops). Times are seconds on one monotonic scale.
class PresentPacer {
public:
    // `driverSyncs`: the driver took a swap interval. Whether its swaps really
    // wait is learnt from the first presents.
    void start(double refreshHz, bool driverSyncs);
    // Paces nothing from now on (ORBIVALE_NO_VSYNC).
    void turnOff() { off_ = true, own_ = false; }

    // How long the present due at `now` should sleep first.
    double waitBeforePresent(double now);
    // The swap returned at `now`.
    void presented(double now);

    bool pacing() const { return own_; }
    // Seconds from `now` to the next beat while the pacer keeps one; a whole
    // period where the driver keeps it or nothing paces.
    double secondsToNextRefresh(double now) const;

private:
    double period_ = 1.0 / 60.0;
    double due_ = -1.0;
    bool own_ = false;
    bool off_ = false;
    int probes_ = 0;
    double firstProbe_ = 0.0;
};

// True when ORBIVALE_NO_VSYNC asks for unpaced frames (benchmarks).
bool vsyncTurnedOff();
