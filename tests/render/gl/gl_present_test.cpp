#include "gl_scene.h"
#include "gl_test_window.h"

#include "levels/level_map.h"
#include "platform/letterbox.h"
#include "x_window_image.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>

namespace {

using Rgb = std::array<int, 3>;

// Waits until the window's drawable has the size asked for.
bool resizeWindow(int width, int height)
{
    SDL_SetWindowSize(sdl->window(), width, height);
    for (int i = 0; i < 100; ++i) {
        Event event;
        while (sdl->takeEvent(event)) {
        }
        int w = 0, h = 0;
        sdl->glDrawableSize(w, h);
        if (w == width && h == height)
            return true;
        SDL_Delay(10);
    }
    return false;
}

// What the window shows after present, as the X server has it.
std::vector<uint8_t> windowImage(int width, int height)
{
    glFinish();
    return xWindowImage(sdl->window(), width, height);
}

Rgb at(const std::vector<uint8_t>& image, int width, int x, int y)
{
    const uint8_t* p = &image[(size_t(y) * width + x) * 3];
    return {p[0], p[1], p[2]};
}

// The 640 x 480 image sampled between pixel centres.
Rgb bilinear(const std::vector<uint8_t>& image, float x, float y)
{
    int x0 = int(std::floor(x)), y0 = int(std::floor(y));
    float fx = x - float(x0), fy = y - float(y0);
    auto clampedAt = [&](int px, int py) {
        px = px < 0 ? 0 : (px > 639 ? 639 : px);
        py = py < 0 ? 0 : (py > 479 ? 479 : py);
        return at(image, 640, px, py);
    };
    Rgb a = clampedAt(x0, y0), b = clampedAt(x0 + 1, y0), c = clampedAt(x0, y0 + 1), d = clampedAt(x0 + 1, y0 + 1);
    Rgb out;
    for (int k = 0; k < 3; ++k) {
        float top = a[k] * (1 - fx) + b[k] * fx;
        float bottom = c[k] * (1 - fx) + d[k] * fx;
        out[k] = int(std::lround(top * (1 - fy) + bottom * fy));
    }
    return out;
}

// Writes an image (rows from the bottom) as a binary PPM, top row first.
void savePpm(const std::string& path, const std::vector<uint8_t>& image, int width, int height)
{
    std::ofstream out(path, std::ios::binary);
    out << "P6\n" << width << " " << height << "\n255\n";
    for (int y = height - 1; y >= 0; --y)
        out.write(reinterpret_cast<const char*>(&image[size_t(y) * width * 3]), std::streamsize(width) * 3);
}

// A frame as the game composes one: fogged ground, the marble with its ghost
// and rim, an arrow, a gauge and a darkened corner.
void composeFrame()
{
    static const std::vector<uint8_t> texture = checkerTexture();
    gl->uploadLevelTexture(texture.data());
    gl->setFogColour(0x8899bb);
    gl->clearFrame(0x88 / 255.0f, 0x99 / 255.0f, 0xbb / 255.0f);
    gl->setFog(true);
    gl->beginTerrain();
    for (const TerrainTriangle& t : rollingGround())
        gl->drawTerrainTriangle(t[0], t[1], t[2]);
    gl->endTerrain();

    const float cx = 320, cy = 200, w = 500, radius = 6400 / w;
    ScreenVertex centre;
    centre.x = cx;
    centre.y = cy;
    centre.oow = 1.0f / (w - 20);
    centre.r = 0.9f;
    centre.g = 0.2f;
    centre.b = 0.1f;
    auto rim = [&](float a) {
        ScreenVertex v = centre;
        v.x = cx + radius * std::cos(a);
        v.y = cy + radius * std::sin(a);
        v.oow = 1.0f / w;
        v.r = centre.r / 10;
        v.g = centre.g / 10;
        v.b = centre.b / 10;
        return v;
    };
    const float step = 0.39269912f;
    for (float a = 0; a < 6.283186f; a += step)
        gl->drawMarbleTriangle(centre, rim(a + step), rim(a));
    for (float a = 0; a < 6.283186f; a += step)
        gl->drawGhostTriangle(centre, rim(a + step), rim(a), 0.3f);
    for (float a = 0; a < 6.283186f; a += step) {
        ScreenVertex from = rim(a + step), to = rim(a);
        for (int k = 0; k < 3; ++k)
            gl->drawRimLine({from.x, from.y, w}, {to.x, to.y, w}, Colour{from.r, from.g, from.b, 0.3f});
    }
    gl->drawArrow({cx, cy, w}, {cx + 20, cy + 60, w - 50});

    gl->drawOverlayFrame({{{544, 456}, {636.8f, 456}, {636.8f, 477.6f}, {544, 477.6f}}}, Colour{1, 1, 1, 1});
    gl->drawOverlayQuad({{{549, 456}, {635.8f, 456}, {635.8f, 476.85f}, {549, 476.85f}}}, Colour{0.2f, 0.8f, 0, 1});
    gl->drawOverlayQuad({{{0, 0}, {160, 0}, {160, 120}, {0, 120}}}, Colour{0, 0, 0, 0.5f});
}

class GlPresentTest : public GlWindowTest {};

TEST_F(GlPresentTest, ClearedFrameShowsInTheWindowAfterPresent)
{
    gl->clearFrame(0.0f, 0.5f, 1.0f);
    gl->present();
    std::vector<uint8_t> shown = windowImage(640, 480);
    ASSERT_EQ(shown.size(), size_t(640) * 480 * 3);
    EXPECT_TRUE(colourNear(at(shown, 640, 0, 0), {0, 128, 255}));
    EXPECT_TRUE(colourNear(at(shown, 640, 639, 479), {0, 128, 255}));
    // The game's picture is kept for a frame that only draws over it.
    EXPECT_TRUE(colourNear(pixel(320, 240), {0, 128, 255}));
}

TEST_F(GlPresentTest, WideWindowShowsTheScaledPictureBetweenBlackBars)
{
    if (!gl->drawsOffscreen())
        GTEST_SKIP() << "no framebuffer objects";
    composeFrame();
    std::vector<uint8_t> game = picture();
    // A magenta top-left corner marks the orientation.
    OverlayQuad corner{{{0, 0}, {32, 0}, {32, 24}, {0, 24}}};
    gl->drawOverlayQuad(corner, Colour{1.0f, 0.0f, 1.0f, 1.0f});

    // 1280 x 720, or the widest 16:9 window the screen holds: the server
    // gives no image of a window that reaches past the screen.
    SDL_DisplayMode screen;
    ASSERT_EQ(SDL_GetDesktopDisplayMode(0, &screen), 0) << SDL_GetError();
    int height = std::min({720, screen.h, screen.w * 9 / 16}) & ~1;
    int width = height * 16 / 9;
    SDL_SetWindowPosition(sdl->window(), 0, 0);
    ASSERT_TRUE(resizeWindow(width, height));
    gl->present();
    std::vector<uint8_t> shown = windowImage(width, height);
    ASSERT_EQ(shown.size(), size_t(width) * height * 3);
    WindowRect fit = letterbox(width, height);
    EXPECT_EQ(fit.width, height * 4 / 3);
    EXPECT_EQ(fit.x, (width - fit.width) / 2);
    int right = fit.x + fit.width;
    float scale = float(fit.width) / 640.0f;
    EXPECT_TRUE(colourNear(at(shown, width, 5, height / 2), {0, 0, 0}, 0));
    EXPECT_TRUE(colourNear(at(shown, width, fit.x - 2, height - 20), {0, 0, 0}, 0));
    EXPECT_TRUE(colourNear(at(shown, width, right + 2, 10), {0, 0, 0}, 0));
    EXPECT_TRUE(colourNear(at(shown, width, width - 1, height - 1), {0, 0, 0}, 0));
    // The magenta corner is the letterbox's top-left, 32 x 24 pictures pixels scaled.
    EXPECT_TRUE(colourNear(at(shown, width, fit.x + 2, height - 3), {255, 0, 255}));
    EXPECT_TRUE(colourNear(at(shown, width, fit.x + int(30 * scale), height - int(22 * scale)), {255, 0, 255}));
    EXPECT_FALSE(colourNear(at(shown, width, fit.x + int(34 * scale), height - int(22 * scale)), {255, 0, 255}, 40));
    // Elsewhere the window shows the game's picture scaled, filtered linearly.
    int checked = 0;
    for (int y = height / 7; y < height - height / 18; y += height / 20)
        for (int x = fit.x + 10; x < right - 20; x += fit.width / 24) {
            Rgb want = bilinear(game, (x - fit.x + 0.5f) / scale - 0.5f, (y - fit.y + 0.5f) / scale - 0.5f);
            EXPECT_TRUE(colourNear(at(shown, width, x, y), want, 3)) << "at " << x << ", " << y;
            ++checked;
        }
    EXPECT_GT(checked, 300);

    if (const char* dir = std::getenv("ORBIVALE_SCREENSHOT_DIR")) {
        savePpm(std::string(dir) + "/gl_frame.ppm", game, 640, 480);
        savePpm(std::string(dir) + "/gl_window_wide.ppm", shown, width, height);
    }
    ASSERT_TRUE(resizeWindow(640, 480));
}

TEST_F(GlPresentTest, F11AndAltEnterToggleFullScreenWithoutReachingTheGame)
{
    auto press = [](SDL_Keycode key, Uint16 mod) {
        SDL_Event e{};
        e.type = SDL_KEYDOWN;
        e.key.windowID = SDL_GetWindowID(sdl->window());
        e.key.keysym.sym = key;
        e.key.keysym.mod = mod;
        SDL_PushEvent(&e);
    };
    auto keysDelivered = [] {
        std::vector<int64_t> keys;
        Event event;
        for (int i = 0; i < 20; ++i) {
            while (sdl->takeEvent(event))
                if (event.type == kEventKeyDown)
                    keys.push_back(event.param);
            SDL_Delay(5);
        }
        return keys;
    };
    auto fullscreen = [] { return (SDL_GetWindowFlags(sdl->window()) & SDL_WINDOW_FULLSCREEN) != 0; };

    ASSERT_FALSE(fullscreen());
    press(SDLK_F11, KMOD_NONE);
    EXPECT_TRUE(keysDelivered().empty());
    EXPECT_TRUE(fullscreen());
    press(SDLK_RETURN, KMOD_LALT);
    EXPECT_TRUE(keysDelivered().empty());
    EXPECT_FALSE(fullscreen());
    // Back in the window (here without a window manager) the whole picture
    // shows again: the window has its size back, and so has the drawing.
    int width = 0, height = 0;
    SDL_GetWindowSize(sdl->window(), &width, &height);
    EXPECT_EQ(width * 10000 + height, 640 * 10000 + 480);
    sdl->glDrawableSize(width, height);
    EXPECT_EQ(width * 10000 + height, 640 * 10000 + 480);
    gl->clearFrame(0.0f, 0.5f, 1.0f);
    gl->present();
    std::vector<uint8_t> shown = windowImage(640, 480);
    ASSERT_EQ(shown.size(), size_t(640) * 480 * 3);
    EXPECT_TRUE(colourNear(at(shown, 640, 0, 0), {0, 128, 255}));
    EXPECT_TRUE(colourNear(at(shown, 640, 639, 479), {0, 128, 255}));
    // Other keys are the game's, Enter without Alt and F12 included.
    press(SDLK_RETURN, KMOD_NONE);
    press(SDLK_F12, KMOD_NONE);
    EXPECT_EQ(keysDelivered(), (std::vector<int64_t>{kKeyEnter, kKeyF12}));
    EXPECT_FALSE(fullscreen());
}

} // namespace
