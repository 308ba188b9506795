#include "platform/present_pacer.h"

#include <gtest/gtest.h>

namespace {

// The OpenGL present's own pacing, for drivers whose swap does not wait.
TEST(PresentPacerTest, PacesToTheRefreshOnlyWhereTheDriverDoesNot)
{
    const double period = 1.0 / 60.0;
    PresentPacer own;
    own.start(0.0, false); // unknown rate: 60 Hz
    ASSERT_TRUE(own.pacing());
    EXPECT_EQ(own.waitBeforePresent(10.0), 0.0);
    // A quick frame sleeps to the beat; a slightly late one keeps it.
    EXPECT_NEAR(own.waitBeforePresent(10.004), period - 0.004, 1e-9);
    EXPECT_EQ(own.waitBeforePresent(10.0 + 2.2 * period), 0.0);
    EXPECT_NEAR(own.waitBeforePresent(10.0 + 2.5 * period), 0.5 * period, 1e-9);
    // A frame more than a period late starts the beat again from itself.
    EXPECT_EQ(own.waitBeforePresent(11.0), 0.0);
    EXPECT_NEAR(own.waitBeforePresent(11.001), period - 0.001, 1e-9);
    // A frame with nothing to present sleeps to the next beat.
    EXPECT_NEAR(own.secondsToNextRefresh(11.0 + period + 0.004), period - 0.004, 1e-9);

    // A driver that takes the swap interval and waits is left alone.
    PresentPacer synced;
    synced.start(75.0, true);
    double t = 20.0;
    for (int i = 0; i < 40; ++i, t += 1.0 / 75.0) {
        EXPECT_EQ(synced.waitBeforePresent(t), 0.0);
        synced.presented(t);
    }
    EXPECT_FALSE(synced.pacing());
    EXPECT_NEAR(synced.secondsToNextRefresh(t), 1.0 / 75.0, 1e-9);

    // One that takes it but swaps at once is found out after its first presents.
    PresentPacer claims;
    claims.start(60.0, true);
    for (int i = 0; i < 31; ++i)
        claims.presented(30.0 + i * 0.001);
    EXPECT_TRUE(claims.pacing());
    EXPECT_GT(claims.waitBeforePresent(30.0 + 31 * 0.001), 0.0);

    // Turned off, nothing is paced whatever the driver does.
    PresentPacer off;
    off.turnOff();
    off.start(60.0, false);
    for (int i = 0; i < 31; ++i)
        off.presented(40.0 + i * 0.001);
    EXPECT_FALSE(off.pacing());
    EXPECT_EQ(off.waitBeforePresent(41.0), 0.0);
    EXPECT_NEAR(off.secondsToNextRefresh(41.0), period, 1e-9); // unpaced still screens do not spin
}

} // namespace
