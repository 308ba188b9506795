#pragma once

// Opens the software card for a test and reads pixels back through the
// linear frame buffer, as a program would.

#include "glide2/glide.h"
#include "glide2/presenter.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

struct Rgb {
    int r, g, b;
    bool operator==(const Rgb&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Rgb& c);

class CardTest : public ::testing::Test {
protected:
    void SetUp() override { open(GR_ORIGIN_UPPER_LEFT); }
    void TearDown() override;

    void open(int origin);

    // The buffer as stored, 640 x 480 RGB565, top row first.
    std::vector<std::uint16_t> readBuffer(int buffer = GR_BUFFER_BACKBUFFER);
    std::uint16_t pixel(int x, int physicalY, int buffer = GR_BUFFER_BACKBUFFER);
    std::uint16_t depthAt(int x, int physicalY);
    // The 8-bit colour of a flat area, recovered from the 4 x 4 dither
    // pattern of the block holding (x, physicalY); -1 channels if no 8-bit
    // value dithers to that block.
    Rgb flatColor(int x, int physicalY);
    int coveredCount(std::uint16_t background = 0);

public:
    static GrVertex vertex(float x, float y, float r = 0, float g = 0, float b = 0, float a = 255, float oow = 1,
                           float sow = 0, float tow = 0);
    // Two triangles covering [x0, x1) x [y0, y1) with one vertex template.
    static void drawRect(float x0, float y0, float x1, float y1, GrVertex v);

protected:
    static void presenterCallback(void* self, const std::uint32_t* pixels, int width, int height);
    std::vector<std::uint32_t> presented;
    int presentCount = 0;
};
