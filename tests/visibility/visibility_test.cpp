// How well a player sees each pit coming. For every pit of every generated
// level the play frame is drawn with the edition's own back end from 600
// units before the pit's catching circle, with the marble on the autopilot's
// line and the camera trailing it as in play: once as the level is and once
// with that pit taken out. The pixels whose brightness changes are what the
// pit shows of itself; every pit must show at least a 20 x 20 patch of them.
// The worst pit of each level is written as a pair of PNGs to look at.
#include "gl_test_window.h"
#include "glide2/glide.h"
#include "glide2/pixel_format.h"
#include "glide2/presenter.h"
#include "png_writer.h"
#include "temp_dir.h"

#include "game/edition.h"
#include "game/game_state.h"
#include "game/options.h"
#include "levels/level_list.h"
#include "levels/level_map.h"
#include "render/glide/glide_renderer.h"
#include "render/marble_draw.h"
#include "render/terrain_draw.h"
#include "sim/camera.h"
#include "sim/marble.h"
#include "sim/marble_control.h"
#include "sim/view_transform.h"
#include "tools/autopilot/autopilot.h"
#include "tools/mapcheck/console_platform.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr float kLookAhead = 600.0f;
// About what the autopilot reaches between the pits: 600 units in 1.5 s.
constexpr float kPilotSpeed = 400.0f;
constexpr int kBrightnessStep = 24;
constexpr int kFloor = 400;
constexpr int kWidth = 640;
constexpr int kHeight = 480;

using Picture = std::vector<uint8_t>; // RGB, top row first
using ReadPicture = Picture (*)();

struct PitFigure {
    int hole; // index in the table
    int differing;
    Picture with, without;
};

int brightness(const uint8_t* p) { return (299 * p[0] + 587 * p[1] + 114 * p[2] + 500) / 1000; }

int differingPixels(const Picture& a, const Picture& b)
{
    int count = 0;
    for (size_t i = 0; i + 2 < a.size(); i += 3)
        count += std::abs(brightness(&a[i]) - brightness(&b[i])) >= kBrightnessStep;
    return count;
}

std::string readText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// The map with one hole's radius set to 0, which takes it out of the ground
// and keeps the hole count (orbivale-glide accepts only its three counts).
std::string withoutHole(const std::string& mapText, int hole)
{
    std::vector<std::string> lines;
    std::stringstream in(mapText);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    auto data = std::find(lines.begin(), lines.end(), ".data");
    std::string& row = *(data + 1 + hole);
    std::istringstream values(row);
    std::string x, y, radius, depth;
    values >> x >> y >> radius >> depth;
    row = x + " " + y + " 0 " + depth;
    std::string out;
    for (size_t i = 0; i < lines.size(); ++i)
        out += lines[i] + (i + 1 < lines.size() ? "\n" : "");
    return out;
}

// The marble comes along the autopilot's line at the pilot's speed and stops
// at y; the camera has followed it as in play.
void placeAsInPlay(const Autopilot& pilot, float y)
{
    frameTime = 1.0f / 60.0f;
    const int frames = 180;
    for (int f = 0; f <= frames; ++f) {
        float along = y - kPilotSpeed * float(frames - f) / 60.0f;
        float x = pilot.lineX(along);
        marble.setPosition(Vec3(x, along, levelMap.heightAt(x, along)));
        if (f == 0)
            cameraPosition = marble.position() + Vec3(0.0f, -400.0f, -350.0f);
        updateCamera();
    }
    marble.setVelocity(Vec3(0.0f, kPilotSpeed / 210.0f, 0.0f));
}

Picture drawPlayFrame(ReadPicture read)
{
    uint32_t c = levelMap.getFogColour();
    renderer->clearFrame(((c >> 16) & 0xFF) / 255.0f, ((c >> 8) & 0xFF) / 255.0f, (c & 0xFF) / 255.0f);
    drawTerrain(levelMap, cameraView, farSight, fogOn);
    drawMarble(marble, cameraView, levelMap, false);
    return read();
}

// Measures every pit of every level of one edition's data folder and checks
// the floor; prints the smallest and the median count per level.
void measureEdition(const std::string& editionName, ReadPicture read)
{
    fogOn = true;
    farSight = false;
    cameraLag = 6.0f;
    std::filesystem::current_path(std::string(ORBIVALE_DATA_DIR) + "/" + (isGlide() ? "glide" : "gl"));
    std::filesystem::create_directories(ORBIVALE_VISIBILITY_OUT);
    ASSERT_TRUE(loadLevelList());
    TempDir scratch;
    for (int level = 1; level <= levelCount; ++level) {
        SCOPED_TRACE(editionName + " level " + std::to_string(level));
        const std::string mapName = levelNames[level - 1];
        const std::string mapText = readText(mapName);
        ASSERT_TRUE(levelMap.load(mapName, marble));
        Autopilot pilot;
        ASSERT_TRUE(pilot.plan(levelMap));
        std::vector<Hole> holes(levelMap.holes.get(), levelMap.holes.get() + levelMap.holeCount);

        std::vector<int> counts;
        PitFigure worst{-1, 0, {}, {}};
        for (int i = 0; i < int(holes.size()); ++i) {
            const Hole& h = holes[i];
            if (!(h.depth > 0.0f && h.radius > 0.0f))
                continue;
            ASSERT_TRUE(levelMap.load(mapName, marble));
            placeAsInPlay(pilot, std::max(kStartY, h.y - 1.5f * h.radius - kLookAhead));
            PitFigure pit{i, 0, drawPlayFrame(read), {}};
            // The marble and camera as in play on that ground too: the pit's
            // far-reaching slope moves them a little, which is not the pit showing.
            ASSERT_TRUE(levelMap.load(scratch.write("without.map", withoutHole(mapText, i)), marble));
            placeAsInPlay(pilot, std::max(kStartY, h.y - 1.5f * h.radius - kLookAhead));
            pit.without = drawPlayFrame(read);
            pit.differing = differingPixels(pit.with, pit.without);
            EXPECT_GE(pit.differing, kFloor) << "hole " << i + 1 << " at " << h.x << ", " << h.y << " seen from "
                                             << marble.position().x << ", " << marble.position().y;
            counts.push_back(pit.differing);
            if (worst.hole < 0 || pit.differing < worst.differing)
                worst = std::move(pit);
        }
        ASSERT_FALSE(counts.empty());
        std::sort(counts.begin(), counts.end());
        const Hole& w = holes[worst.hole];
        std::printf("%s level %d: %zu pits, smallest %d (hole %d at %g, %g), median %d\n", editionName.c_str(), level,
                    counts.size(), counts.front(), worst.hole + 1, w.x, w.y, counts[counts.size() / 2]);
        std::string base = std::string(ORBIVALE_VISIBILITY_OUT) + "/" + editionName + "-level" +
                           std::to_string(level) + "-worst-pit";
        EXPECT_TRUE(writePng(base + "-as-is.png", kWidth, kHeight, worst.with));
        EXPECT_TRUE(writePng(base + "-taken-out.png", kWidth, kHeight, worst.without));
    }
}

// orbivale-glide on the software card, read back from its back buffer.
class GlideVisibility : public ::testing::Test {
protected:
    static void present(void*, const std::uint32_t*, int, int) {}

    static Picture readBackBuffer()
    {
        Picture out(size_t(kWidth) * kHeight * 3);
        GrLfbInfo_t info{};
        info.size = sizeof info;
        if (!grLfbLock(GR_LFB_READ_ONLY, GR_BUFFER_BACKBUFFER, GR_LFBWRITEMODE_ANY, GR_ORIGIN_UPPER_LEFT, FXFALSE,
                       &info)) {
            ADD_FAILURE() << "read lock refused";
            return out;
        }
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) {
                auto row = static_cast<const std::uint8_t*>(info.lfbPtr) + size_t(y) * info.strideInBytes;
                std::uint16_t word;
                std::memcpy(&word, row + x * 2, 2);
                int r, g, b;
                expand565(word, r, g, b);
                uint8_t* p = &out[(size_t(y) * kWidth + x) * 3];
                p[0] = uint8_t(r);
                p[1] = uint8_t(g);
                p[2] = uint8_t(b);
            }
        grLfbUnlock(GR_LFB_READ_ONLY, GR_BUFFER_BACKBUFFER);
        return out;
    }

    ConsolePlatform console;
    GlideRenderer glide;
};

TEST_F(GlideVisibility, EveryPitShowsBeforeTheMarbleReachesIt)
{
    edition = Edition::Glide;
    platform = &console;
    renderer = &glide;
    glide2SetPresenter(&GlideVisibility::present, nullptr);
    fogOn = true;
    ASSERT_TRUE(glide.startGraphics());
    measureEdition("orbivale-glide", &GlideVisibility::readBackBuffer);
    glide.shutdownGraphics();
    glide2SetPresenter(nullptr, nullptr);
}

// orbivale-gl through its OpenGL back end, read back with glReadPixels.
class GlVisibility : public GlWindowTest {
protected:
    static Picture readFrame()
    {
        Picture bottomUp = picture();
        Picture out(bottomUp.size());
        const size_t row = size_t(kWidth) * 3;
        for (int y = 0; y < kHeight; ++y)
            std::memcpy(&out[size_t(y) * row], &bottomUp[size_t(kHeight - 1 - y) * row], row);
        return out;
    }
};

TEST_F(GlVisibility, EveryPitShowsBeforeTheMarbleReachesIt)
{
    edition = Edition::Gl;
    platform = sdl;
    renderer = gl;
    measureEdition("orbivale-gl", &GlVisibility::readFrame);
}

} // namespace
