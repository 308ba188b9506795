#include "platform/sdl/sdl_platform.h"
#include "x_window_image.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

// The orbivale-glide window: software frames scaled into its surface.
class SoftwarePresentTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        sdl = new SdlPlatform();
        ASSERT_TRUE(sdl->init());
        ASSERT_TRUE(sdl->createWindow(WindowStyle::Ordinary));
    }
    static void TearDownTestSuite()
    {
        delete sdl;
        sdl = nullptr;
    }

    static bool resizeWindow(int width, int height)
    {
        SDL_SetWindowSize(sdl->window(), width, height);
        for (int i = 0; i < 100; ++i) {
            Event event;
            while (sdl->takeEvent(event)) {
            }
            int w = 0, h = 0;
            SDL_GetWindowSize(sdl->window(), &w, &h);
            if (w == width && h == height)
                return true;
            SDL_Delay(10);
        }
        return false;
    }

    // The window surface's pixel as 0x00RRGGBB, (0, 0) top-left.
    static uint32_t shown(int x, int y)
    {
        SDL_Surface* surface = SDL_GetWindowSurface(sdl->window());
        Uint8 r, g, b;
        const uint8_t* row = static_cast<const uint8_t*>(surface->pixels) + size_t(y) * surface->pitch;
        Uint32 value = *reinterpret_cast<const Uint32*>(row + size_t(x) * 4);
        SDL_GetRGB(value, surface->format, &r, &g, &b);
        return (uint32_t(r) << 16) | (uint32_t(g) << 8) | b;
    }

    static inline SdlPlatform* sdl = nullptr;
};

// Quadrants: red top-left, green top-right, blue bottom-left, white
// bottom-right, with a one-pixel grey ramp along the top row.
std::vector<uint32_t> quadrantFrame()
{
    std::vector<uint32_t> frame(size_t(640) * 480);
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x)
            frame[size_t(y) * 640 + x] = y < 240 ? (x < 320 ? 0xff0000 : 0x00ff00) : (x < 320 ? 0x0000ff : 0xffffff);
    for (int x = 0; x < 640; ++x)
        frame[x] = uint32_t(x & 0xff) * 0x010101;
    return frame;
}

TEST_F(SoftwarePresentTest, FrameAtItsOwnSizeIsCopiedExactly)
{
    ASSERT_TRUE(resizeWindow(640, 480));
    std::vector<uint32_t> frame = quadrantFrame();
    sdl->presentSoftwareFrame(frame.data());
    for (int y = 0; y < 480; y += 7)
        for (int x = 0; x < 640; x += 5)
            ASSERT_EQ(shown(x, y), frame[size_t(y) * 640 + x]) << x << ", " << y;
    for (int x = 0; x < 640; ++x)
        ASSERT_EQ(shown(x, 0), frame[x]);
}

TEST_F(SoftwarePresentTest, WideAndTallWindowsGetTheScaledFrameBetweenBlackBars)
{
    std::vector<uint32_t> frame = quadrantFrame();
    ASSERT_TRUE(resizeWindow(1280, 720));
    sdl->presentSoftwareFrame(frame.data());
    // 960 x 720 from x = 160.
    EXPECT_EQ(shown(0, 300), 0u);
    EXPECT_EQ(shown(159, 300), 0u);
    EXPECT_EQ(shown(1120, 300), 0u);
    EXPECT_EQ(shown(1279, 719), 0u);
    EXPECT_EQ(shown(170, 100), 0xff0000u);
    EXPECT_EQ(shown(1110, 100), 0x00ff00u);
    EXPECT_EQ(shown(170, 700), 0x0000ffu);
    EXPECT_EQ(shown(1110, 700), 0xffffffu);
    EXPECT_EQ(shown(160 + 478, 300), 0xff0000u);
    EXPECT_EQ(shown(160 + 482, 300), 0x00ff00u);

    ASSERT_TRUE(resizeWindow(400, 600));
    sdl->presentSoftwareFrame(frame.data());
    // 400 x 300 from y = 150.
    EXPECT_EQ(shown(200, 10), 0u);
    EXPECT_EQ(shown(200, 149), 0u);
    EXPECT_EQ(shown(200, 450), 0u);
    EXPECT_EQ(shown(10, 160), 0xff0000u);
    EXPECT_EQ(shown(390, 440), 0xffffffu);
    ASSERT_TRUE(resizeWindow(640, 480));
}

// Unmapping loses the window's contents under X; a still screen is not drawn
// again by the game, so the platform shows its last frame once more.
TEST_F(SoftwarePresentTest, LastFrameComesBackWhenTheWindowIsMappedAgain)
{
    ASSERT_TRUE(resizeWindow(640, 480));
    std::vector<uint32_t> frame = quadrantFrame();
    sdl->presentSoftwareFrame(frame.data());
    auto redAt100 = [] {
        std::vector<uint8_t> image = xWindowImage(sdl->window(), 640, 480);
        if (image.empty())
            return false;
        const uint8_t* p = &image[(size_t(479 - 100) * 640 + 100) * 3];
        return p[0] == 255 && p[1] == 0 && p[2] == 0;
    };
    ASSERT_TRUE(redAt100());
    SDL_HideWindow(sdl->window());
    SDL_ShowWindow(sdl->window());
    bool back = false;
    for (int i = 0; i < 200 && !back; ++i) {
        Event event;
        while (sdl->takeEvent(event)) {
        }
        back = redAt100();
        if (!back)
            SDL_Delay(10);
    }
    EXPECT_TRUE(back);
}

} // namespace
