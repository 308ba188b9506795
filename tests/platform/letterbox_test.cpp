#include "platform/letterbox.h"

#include <gtest/gtest.h>

namespace {

void expectRect(const WindowRect& r, int x, int y, int width, int height)
{
    EXPECT_EQ(r.x, x);
    EXPECT_EQ(r.y, y);
    EXPECT_EQ(r.width, width);
    EXPECT_EQ(r.height, height);
}

TEST(LetterboxTest, PictureKeepsItsShapeCentredInAnyWindow)
{
    expectRect(letterbox(640, 480), 0, 0, 640, 480);
    expectRect(letterbox(1280, 960), 0, 0, 1280, 960);
    expectRect(letterbox(1280, 720), 160, 0, 960, 720); // bars left and right
    expectRect(letterbox(1920, 1080), 240, 0, 1440, 1080);
    expectRect(letterbox(400, 600), 0, 150, 400, 300); // bars above and below
    expectRect(letterbox(641, 480), 0, 0, 640, 480);   // an odd pixel to spare
    expectRect(letterbox(1366, 768), 171, 0, 1024, 768);
    // Sizes that do not divide evenly round to the nearest pixel and stay inside.
    WindowRect odd = letterbox(333, 250);
    EXPECT_LE(odd.x + odd.width, 333);
    EXPECT_LE(odd.y + odd.height, 250);
    EXPECT_EQ(odd.height, 250);
    EXPECT_EQ(odd.width, 333);
    // A minimised window has nothing to show.
    expectRect(letterbox(0, 0), 0, 0, 0, 0);
    expectRect(letterbox(-5, 100), 0, 0, 0, 0);
}

} // namespace
