// How well a player sees each pit and each gap coming. For every pit of every
// generated level the play frame is drawn with the edition's own back end from
// 600 units before the pit's catching circle, with the marble on the
// autopilot's line and the camera trailing it as in play: once as the level
// is and once with that pit taken out. The pixels whose brightness changes
// are what the pit shows of itself; every pit must show at least a 20 x 20
// patch of them. A gap in a row of pits is seen the same way from 900 units,
// against the same row closed by one more pit in the gap. The first level
// teaches: everything on it shows from 1.5 s ahead at the autopilot's own
// pace there, and from at least 900 units. The worst pit and gap of each
// level are written as pairs of PNGs to look at.
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
#include "shell/level_flow.h"
#include "render/glide/glide_renderer.h"
#include "render/marble_draw.h"
#include "render/terrain_draw.h"
#include "sim/camera.h"
#include "sim/marble.h"
#include "sim/marble_control.h"
#include "sim/view_transform.h"
#include "tools/autopilot/autopilot.h"
#include "tools/mapcheck/console_platform.h"
#include "tools/mapcheck/par.h"

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

// 1.5 s at about the speeds the autopilot reaches between the pits of the
// later levels (400 units/s) and before their gaps (600 units/s).
constexpr float kPitLookAhead = 600.0f;
constexpr float kGapLookAhead = 900.0f;
constexpr float kSightSeconds = 1.5f;
constexpr float kMarbleWidth = 40.0f;
// Capture circles closer than this form one wall; a row is pits whose
// centres lie this close along the course, one after another.
constexpr float kWallJoin = 3.0f * kMarbleWidth;
constexpr float kRowSpread = 60.0f;
constexpr int kBrightnessStep = 24;
constexpr int kFloor = 400;
constexpr int kWidth = 640;
constexpr int kHeight = 480;

using Picture = std::vector<uint8_t>; // RGB, top row first
using ReadPicture = Picture (*)();

struct Figure {
    int index; // of the pit in the table, or of the gap in the level's list
    int differing;
    Picture with, without;
};

// An opening in a row of pits: between two walls, or between a wall and the
// course's edge. `closing` is the pit that fills it: the bigger bordering
// pit's depth, wide enough for its capture circle to span the opening.
struct Gap {
    float left, right; // x of the edges of the capture circles (or the course) on either side
    float frontY;      // where the row's capture circles begin along the course
    Hole closing;
};

float capture(const Hole& h) { return 1.5f * h.radius; }

// The gaps of every row of two or more pits.
std::vector<Gap> findGaps(std::vector<Hole> pits)
{
    std::sort(pits.begin(), pits.end(), [](const Hole& a, const Hole& b) { return a.y < b.y; });
    std::vector<Gap> gaps;
    for (size_t first = 0; first < pits.size();) {
        size_t end = first + 1;
        while (end < pits.size() && pits[end].y - pits[end - 1].y <= kRowSpread)
            ++end;
        std::vector<Hole> row(pits.begin() + first, pits.begin() + end);
        first = end;
        if (row.size() < 2)
            continue;
        std::sort(row.begin(), row.end(), [](const Hole& a, const Hole& b) { return a.x < b.x; });
        float frontY = row[0].y - capture(row[0]);
        for (const Hole& h : row)
            frontY = std::min(frontY, h.y - capture(h));
        auto add = [&](float left, float right, const Hole& like, float y) {
            if (right - left >= kWallJoin)
                gaps.push_back(
                    {left, right, frontY,
                     Hole{0.5f * (left + right), y, std::max(like.radius, (right - left) / 3.0f), like.depth}});
        };
        auto bigger = [](const Hole& a, const Hole& b) -> const Hole& { return a.radius >= b.radius ? a : b; };
        // The course's edge closes a wall's end like a pit; beside a lone pit
        // (a corridor's side) it is no gap.
        auto wallAt = [&](size_t i, int step) {
            size_t j = i + step;
            return j < row.size() && std::fabs(row[j].x - row[i].x) - capture(row[j]) - capture(row[i]) < kWallJoin;
        };
        if (wallAt(0, 1))
            add(kTrackLeft, row.front().x - capture(row.front()), row.front(), row.front().y);
        float reach = row.front().x + capture(row.front());
        for (size_t i = 1; i < row.size(); ++i) {
            const Hole& h = row[i];
            add(reach, h.x - capture(h), bigger(row[i - 1], h), 0.5f * (row[i - 1].y + h.y));
            reach = std::max(reach, h.x + capture(h));
        }
        if (wallAt(row.size() - 1, -1))
            add(reach, kTrackRight, row.back(), row.back().y);
    }
    return gaps;
}

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

// The map with one more pit. orbivale-glide keeps its count: the pit takes
// the place of the hole farthest along the course from it, which no frame
// of this gap shows.
std::string withHole(const std::string& mapText, const std::vector<Hole>& holes, const Hole& added)
{
    std::vector<Hole> table = holes;
    if (isGlide()) {
        auto farthest = std::max_element(table.begin(), table.end(), [&](const Hole& a, const Hole& b) {
            return std::fabs(a.y - added.y) < std::fabs(b.y - added.y);
        });
        *farthest = added;
    } else {
        table.push_back(added);
    }
    std::string out = mapText.substr(0, mapText.find("holecount="));
    out += "holecount= " + std::to_string(table.size()) + "\n.data\n";
    char line[96];
    for (const Hole& h : table) {
        std::snprintf(line, sizeof line, "%.9g %.9g %.9g %.9g\n", h.x, h.y, h.radius, h.depth);
        out += line;
    }
    return out + ".end";
}

// The marble comes along the autopilot's line at the pilot's speed and stops
// at y; the camera has followed it as in play.
void placeAsInPlay(const Autopilot& pilot, float y, float speed)
{
    frameTime = 1.0f / 60.0f;
    const int frames = 180;
    for (int f = 0; f <= frames; ++f) {
        float along = y - speed * float(frames - f) / 60.0f;
        float x = pilot.lineX(along);
        marble.setPosition(Vec3(x, along, levelMap.heightAt(x, along)));
        if (f == 0)
            cameraPosition = marble.position() + Vec3(0.0f, -400.0f, -350.0f);
        updateCamera();
    }
    marble.setVelocity(Vec3(0.0f, speed / 210.0f, 0.0f));
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
    // The pace is found with the keys the console holds for the autopilot.
    ConsolePlatform console;
    Platform* drawingPlatform = platform;
    platform = &console;
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
        ASSERT_TRUE(loadLevelMap(mapName));
        Autopilot pilot;
        ASSERT_TRUE(pilot.plan(levelMap));
        std::vector<Hole> holes(levelMap.holes.get(), levelMap.holes.get() + levelMap.holeCount);
        // The autopilot's pace: the course's length over its time to the goal.
        boostReserve = kBoostReserveFull;
        ParRun par = runPar(console);
        ASSERT_TRUE(par.reachedGoal);
        const float pace = (kGoalLine - kStartY) / par.seconds;
        const float firstSight = std::max(kGapLookAhead, kSightSeconds * pace);
        const float pitSight = level == 1 ? firstSight : kPitLookAhead;
        const float gapSight = level == 1 ? firstSight : kGapLookAhead;
        const float speed = level == 1 ? pace : 400.0f;
        std::printf("%s level %d: autopilot %.0f units/s, pits seen from %.0f, gaps from %.0f\n", editionName.c_str(),
                    level, pace, pitSight, gapSight);
        ASSERT_TRUE(loadLevelMap(mapName));

        // Draws the play frame on each of two maps from `y`; the marble and
        // camera as in play on either ground, since a pit's far-reaching slope
        // moves them a little, which is not the pit showing.
        auto compare = [&](int index, float y, float sight, const std::string& as, const std::string& against) {
            Figure f{index, 0, {}, {}};
            for (Picture* out : {&f.with, &f.without}) {
                const std::string& text = out == &f.with ? as : against;
                bool loaded = text.empty() ? levelMap.load(mapName, marble)
                                           : levelMap.load(scratch.write("seen.map", text), marble);
                EXPECT_TRUE(loaded);
                placeAsInPlay(pilot, std::max(kStartY, y - sight), speed);
                *out = drawPlayFrame(read);
            }
            f.differing = differingPixels(f.with, f.without);
            return f;
        };
        auto report = [&](const char* what, std::vector<int> counts, Figure& worst, const std::string& where) {
            std::sort(counts.begin(), counts.end());
            std::printf("%s level %d: %zu %ss, smallest %d (%s), median %d\n", editionName.c_str(), level,
                        counts.size(), what, counts.front(), where.c_str(), counts[counts.size() / 2]);
            std::string base = std::string(ORBIVALE_VISIBILITY_OUT) + "/" + editionName + "-level" +
                               std::to_string(level) + "-worst-" + what;
            EXPECT_TRUE(writePng(base + "-as-is.png", kWidth, kHeight, worst.with));
            EXPECT_TRUE(
                writePng(base + (what[0] == 'p' ? "-taken-out.png" : "-closed.png"), kWidth, kHeight, worst.without));
        };

        std::vector<int> counts;
        std::vector<Hole> pits;
        Figure worst{-1, 0, {}, {}};
        for (int i = 0; i < int(holes.size()); ++i) {
            const Hole& h = holes[i];
            if (!(h.depth > 0.0f && h.radius > 0.0f))
                continue;
            pits.push_back(h);
            Figure pit = compare(i, h.y - capture(h), pitSight, "", withoutHole(mapText, i));
            EXPECT_GE(pit.differing, kFloor) << "hole " << i + 1 << " at " << h.x << ", " << h.y << " seen from "
                                             << marble.position().x << ", " << marble.position().y;
            counts.push_back(pit.differing);
            if (worst.index < 0 || pit.differing < worst.differing)
                worst = std::move(pit);
        }
        ASSERT_FALSE(counts.empty());
        const Hole& w = holes[worst.index];
        char where[64];
        std::snprintf(where, sizeof where, "hole %d at %g, %g", worst.index + 1, w.x, w.y);
        report("pit", counts, worst, where);

        const std::vector<Gap> gaps = findGaps(pits);
        counts.clear();
        worst = Figure{-1, 0, {}, {}};
        for (int i = 0; i < int(gaps.size()); ++i) {
            const Gap& g = gaps[i];
            Figure gap = compare(i, g.frontY, gapSight, "", withHole(mapText, holes, g.closing));
            EXPECT_GE(gap.differing, kFloor) << "gap from x " << g.left << " to " << g.right << " at y " << g.closing.y
                                             << " seen from " << marble.position().x << ", " << marble.position().y;
            counts.push_back(gap.differing);
            if (worst.index < 0 || gap.differing < worst.differing)
                worst = std::move(gap);
        }
        if (counts.empty()) {
            std::printf("%s level %d: no gaps\n", editionName.c_str(), level);
            continue;
        }
        const Gap& wg = gaps[worst.index];
        std::snprintf(where, sizeof where, "x %g to %g at y %g", wg.left, wg.right, wg.closing.y);
        report("gap", counts, worst, where);
    }
    platform = drawingPlatform;
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
