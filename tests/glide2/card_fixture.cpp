#include "card_fixture.h"

#include "glide2/pixel_format.h"
#include "glide2/swap_pacing.h"

#include <cstring>
#include <ostream>

std::ostream& operator<<(std::ostream& os, const Rgb& c)
{
    return os << "(" << c.r << ", " << c.g << ", " << c.b << ")";
}

void CardTest::presenterCallback(void* self, const std::uint32_t* pixels, int width, int height)
{
    auto* t = static_cast<CardTest*>(self);
    t->presented.assign(pixels, pixels + width * height);
    ++t->presentCount;
}

void CardTest::open(int origin)
{
    // Pixel tests swap as fast as they draw; the pacing tests turn the wait on.
    glide2SetSwapWait(false);
    glide2SetPresenter(&CardTest::presenterCallback, this);
    grGlideInit();
    GrHwConfiguration hw;
    ASSERT_EQ(grSstQueryHardware(&hw), FXTRUE);
    grSstSelect(0);
    ASSERT_EQ(grSstWinOpen(0, GR_RESOLUTION_640x480, GR_REFRESH_60Hz, GR_COLORFORMAT_ARGB, origin, 2, 1), FXTRUE);
}

void CardTest::TearDown()
{
    grGlideShutdown();
    glide2SetClock(nullptr);
    glide2SetSwapWait(true);
    glide2SetPresenter(nullptr, nullptr);
}

std::vector<std::uint16_t> CardTest::readBuffer(int buffer)
{
    GrLfbInfo_t info;
    info.size = sizeof info;
    std::vector<std::uint16_t> out(640 * 480);
    if (grLfbLock(GR_LFB_READ_ONLY, buffer, GR_LFBWRITEMODE_ANY, GR_ORIGIN_UPPER_LEFT, FXFALSE, &info) != FXTRUE) {
        ADD_FAILURE() << "read lock refused";
        return out;
    }
    for (int y = 0; y < 480; ++y)
        std::memcpy(&out[static_cast<std::size_t>(y) * 640],
                    static_cast<const std::uint8_t*>(info.lfbPtr) + y * info.strideInBytes, 640 * 2);
    grLfbUnlock(GR_LFB_READ_ONLY, buffer);
    return out;
}

std::uint16_t CardTest::pixel(int x, int physicalY, int buffer)
{
    return readBuffer(buffer)[static_cast<std::size_t>(physicalY) * 640 + x];
}

std::uint16_t CardTest::depthAt(int x, int physicalY) { return pixel(x, physicalY, GR_BUFFER_AUXBUFFER); }

Rgb CardTest::flatColor(int x, int physicalY)
{
    std::vector<std::uint16_t> buffer = readBuffer();
    int bx = x & ~3, by = physicalY & ~3;
    auto recover = [&](int shift, int mask, const std::uint16_t(*table)[256], int tableShift) {
        for (int v = 0; v < 256; ++v) {
            bool all = true;
            for (int j = 0; j < 4 && all; ++j)
                for (int i = 0; i < 4 && all; ++i) {
                    int py = by + j, px = bx + i;
                    int d = ditherMatrix4x4[py & 3][px & 3];
                    int stored = (buffer[static_cast<std::size_t>(py) * 640 + px] >> shift) & mask;
                    all = ((table[d][v] >> tableShift) & mask) == stored;
                }
            if (all)
                return v;
        }
        return -1;
    };
    return {recover(11, 31, ditherTables.red, 11), recover(5, 63, ditherTables.green, 5),
            recover(0, 31, ditherTables.blue, 0)};
}

int CardTest::coveredCount(std::uint16_t background)
{
    int n = 0;
    for (std::uint16_t p : readBuffer())
        n += p != background;
    return n;
}

GrVertex CardTest::vertex(float x, float y, float r, float g, float b, float a, float oow, float sow, float tow)
{
    GrVertex v{};
    v.x = x;
    v.y = y;
    v.r = r;
    v.g = g;
    v.b = b;
    v.a = a;
    v.oow = oow;
    v.tmuvtx[0].sow = sow;
    v.tmuvtx[0].tow = tow;
    v.tmuvtx[0].oow = oow;
    return v;
}

void CardTest::drawRect(float x0, float y0, float x1, float y1, GrVertex v)
{
    GrVertex a = v, b = v, c = v, d = v;
    a.x = x0, a.y = y0;
    b.x = x1, b.y = y0;
    c.x = x1, c.y = y1;
    d.x = x0, d.y = y1;
    grDrawTriangle(&a, &b, &c);
    grDrawTriangle(&a, &c, &d);
}
