#include "platform/present_pacer.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

// Swaps that wait for the display average close to a period; these many tell.
constexpr int kProbePresents = 30;
constexpr double kSyncedShare = 0.75;

} // namespace

void PresentPacer::start(double refreshHz, bool driverSyncs)
{
    period_ = 1.0 / (refreshHz >= 20.0 && refreshHz <= 500.0 ? refreshHz : 60.0);
    due_ = -1.0;
    probes_ = 0;
    own_ = !off_ && !driverSyncs;
}

double PresentPacer::waitBeforePresent(double now)
{
    if (!own_)
        return 0.0;
    if (due_ < 0.0) {
        due_ = now;
        return 0.0;
    }
    double next = due_ + period_;
    if (now < next) {
        due_ = next;
        return next - now;
    }
    // A late frame goes out at once; within a period it keeps the beat,
    // beyond that the beat starts again from here.
    due_ = now < next + period_ ? next : now;
    return 0.0;
}

void PresentPacer::presented(double now)
{
    if (off_ || own_ || probes_ > kProbePresents)
        return;
    if (probes_++ == 0) {
        firstProbe_ = now;
        return;
    }
    if (probes_ <= kProbePresents)
        return;
    double average = (now - firstProbe_) / kProbePresents;
    if (average < kSyncedShare * period_) {
        own_ = true;
        due_ = now;
    }
}

double PresentPacer::secondsToNextRefresh(double now) const
{
    if (!own_ || due_ < 0.0)
        return period_;
    double late = std::fmod(now - due_, period_);
    return late < 0.0 ? -late : period_ - late;
}

bool vsyncTurnedOff()
{
    const char* value = std::getenv("ORBIVALE_NO_VSYNC");
    return value && *value && std::strcmp(value, "0") != 0;
}
