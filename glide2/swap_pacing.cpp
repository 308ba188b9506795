#include "glide2/swap_pacing.h"

#include "glide2/card.h"

#include <chrono>
#include <cmath>
#include <thread>

namespace {

bool swapWait = true;

double steadyNow(void*)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

void steadySleepUntil(void*, double seconds)
{
    std::this_thread::sleep_until(std::chrono::steady_clock::time_point(
        std::chrono::duration_cast<std::chrono::steady_clock::duration>(std::chrono::duration<double>(seconds))));
}

Glide2Clock displayClock{&steadyNow, &steadySleepUntil, nullptr};

double retraceTime(long long index) { return card.displayEpoch + static_cast<double>(index) / card.refreshHz; }

} // namespace

void glide2SetSwapWait(bool wait) { swapWait = wait; }

bool glide2SwapWait() { return swapWait; }

void glide2SetClock(const Glide2Clock* newClock)
{
    displayClock = newClock ? *newClock : Glide2Clock{&steadyNow, &steadySleepUntil, nullptr};
}

double glide2SecondsToNextRetrace()
{
    if (!card.open || !swapWait)
        return 0.0;
    double now = displayClock.now(displayClock.userData);
    long long passed = static_cast<long long>(std::floor((now - card.displayEpoch) * card.refreshHz));
    double next = retraceTime(passed + 1) - now;
    return next > 0.0 ? next : 0.0;
}

double displayClockNow() { return displayClock.now(displayClock.userData); }

void displayClockStart(int refresh)
{
    // GR_REFRESH_ values in the order of the card's video timing table.
    static const double rates[] = {60, 70, 72, 75, 80, 90, 100, 85, 120};
    card.refreshHz = refresh >= 0 && refresh < 9 ? rates[refresh] : 60.0;
    card.displayEpoch = displayClock.now(displayClock.userData);
    card.swapRetrace = 0;
    card.swapReturned = -1.0;
}

void displayClockWaitForSwap(int interval)
{
    if (!swapWait || interval <= 0)
        return;
    if (interval > 255)
        interval = 255;
    double now = displayClock.now(displayClock.userData);
    long long due = card.swapRetrace + interval;
    if (now < retraceTime(due)) {
        displayClock.sleepUntil(displayClock.userData, retraceTime(due));
        card.swapRetrace = due;
        return;
    }
    // Late: the swap happens now, and the next one counts from the retrace just passed.
    card.swapRetrace = static_cast<long long>(std::floor((now - card.displayEpoch) * card.refreshHz));
}
