#include "screens/pictures.h"

#include "files/bmp.h"
#include "platform/platform.h"
#include "render/font.h"
#include "render/renderer.h"
#include "screens/text_colour.h"

#include <algorithm>
#include <memory>

namespace {

// A picture read on first use and kept for the rest of the run.
struct CachedPicture {
    const char* file;
    const char* failureMessage;
    std::unique_ptr<uint8_t[]> pixels;
    bool reported = false;
};

CachedPicture titlePicture{"graphics/title.bmp", "could not load.bmp title", nullptr};
CachedPicture backPicture{"graphics/back.bmp", "could not load back.bmp", nullptr};

constexpr int kScreenWidth = 640;
constexpr int kScreenHeight = 480;

// readBmp takes only 24-bit pictures; orbivale-glide needs exactly the screen's size.
bool isScreenPicture(const BmpSize& size) { return size.width == kScreenWidth && size.height == kScreenHeight; }

// orbivale-gl also shows a smaller picture: its rows stay rows, from the
// screen's lower left corner (where the first row read goes), on black.
std::unique_ptr<uint8_t[]> readSmallerPicture(const char* file)
{
    auto read = std::make_unique<uint8_t[]>(kPictureBytes);
    BmpSize size;
    if (!readBmp(file, read.get(), kPictureBytes, &size) || size.width > kScreenWidth || size.height > kScreenHeight)
        return nullptr;
    if (isScreenPicture(size))
        return read;
    auto screen = std::make_unique<uint8_t[]>(kPictureBytes); // zeroed: black
    size_t rowBytes = size_t(size.width) * 3;
    for (int row = 0; row < size.height; ++row)
        std::copy_n(read.get() + row * rowBytes, rowBytes, screen.get() + size_t(row) * kScreenWidth * 3);
    return screen;
}

void blitCached(CachedPicture& picture)
{
    if (!picture.pixels) {
        std::unique_ptr<uint8_t[]> pixels = readSmallerPicture(picture.file);
        if (!pixels) {
            // A modal box on every frame would lock the game up: say it once.
            if (!picture.reported)
                platform->messageBox(picture.failureMessage, "Error");
            picture.reported = true;
            return;
        }
        picture.pixels = std::move(pixels);
    }
    renderer->blitPicture(picture.pixels.get());
}

// The contributor lines of the credits screen, each ten spaces in.
const char* const kCreditLines[3] = {
    "          the Orbivale team: game, physics, levels and the software Voodoo\n\n\n",
    "          pictures and textures rendered by our own data generator\n\n\n",
    "          music and sounds composed and synthesized by the data generator",
};
const char* const kCreditHeadings[3] = {"Programming  and  design:\n", "Title  and  background:\n",
                                        "Midi  and  wave:\n"};
const char* const kCreditAddress = "free software: share it, and race a friend's run with --ghost FILE";

} // namespace

void blitTitlePicture() { blitCached(titlePicture); }

void blitBackPicture() { blitCached(backPicture); }

bool drawPicture(const char* file)
{
    auto pixels = std::make_unique<uint8_t[]>(kPictureBytes);
    BmpSize size;
    if (!readBmp(file, pixels.get(), kPictureBytes, &size) || !isScreenPicture(size))
        return false;
    renderer->blitPicture(pixels.get());
    return true;
}

void drawCredits()
{
    setTextColour(1.0f, 1.0f, 1.0f);
    font.setPosition(0.0f, 0.0f);
    for (int i = 0; i < 3; ++i) {
        font.setScale(1.0f);
        font.drawText(kCreditHeadings[i]);
        font.setScale(0.5f);
        font.drawText(kCreditLines[i]);
    }
    font.setPosition(0.0f, 460.0f);
    font.drawText(kCreditAddress);
}

void resetPictures()
{
    for (CachedPicture* picture : {&titlePicture, &backPicture}) {
        picture->pixels.reset();
        picture->reported = false;
    }
}
