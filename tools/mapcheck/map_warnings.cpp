#include "tools/mapcheck/map_warnings.h"

#include "sim/marble_control.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <utility>

namespace {

// As drawn; a start closer than this to a capture circle is caught at once
// or with the first touch of a key.
constexpr float kMarbleRadius = 20.0f;
constexpr float kCaptureFactor = 1.5f;
constexpr float kRowStep = 5.0f;

bool isPit(const Hole& h) { return h.depth > 0.0f && h.radius != 0.0f; }
float capture(const Hole& h) { return kCaptureFactor * std::fabs(h.radius); }

std::string number(float v)
{
    char text[32];
    std::snprintf(text, sizeof text, "%g", double(v));
    return text;
}

void warnAboutStart(const LevelMap& map, std::vector<std::string>& out)
{
    for (int i = 0; i < map.holeCount; ++i) {
        const Hole& h = map.holes[i];
        if (!isPit(h))
            continue;
        float d = std::hypot(h.x - 0.0f, h.y - kStartY);
        if (d <= capture(h))
            out.push_back("the start point (0, " + number(kStartY) + ") lies inside hole " + std::to_string(i + 1) +
                          "'s capture circle: the marble falls at once, again and again");
        else if (d <= capture(h) + kMarbleRadius)
            out.push_back("the start point (0, " + number(kStartY) + ") lies within one marble radius of hole " +
                          std::to_string(i + 1) + "'s capture circle");
    }
}

// Whether the capture circles cover the course from edge to edge at y.
bool rowClosed(const LevelMap& map, float y)
{
    std::vector<std::pair<float, float>> spans;
    for (int i = 0; i < map.holeCount; ++i) {
        const Hole& h = map.holes[i];
        float dy = y - h.y;
        float r = capture(h);
        if (isPit(h) && std::fabs(dy) < r) {
            float half = std::sqrt(r * r - dy * dy);
            spans.emplace_back(h.x - half, h.x + half);
        }
    }
    std::sort(spans.begin(), spans.end());
    float covered = kTrackLeft;
    for (const auto& [from, to] : spans) {
        if (from > covered)
            return false;
        covered = std::max(covered, to);
    }
    return covered >= kTrackRight;
}

void warnAboutClosedRows(const LevelMap& map, std::vector<std::string>& out)
{
    float closedFrom = 0.0f;
    bool closed = false;
    for (float y = kStartY; y <= kGoalLine + kRowStep; y += kRowStep) {
        bool now = y <= kGoalLine && rowClosed(map, y);
        if (now && !closed)
            closedFrom = y;
        if (!now && closed)
            out.push_back("capture circles close the course from edge to edge between y = " + number(closedFrom) +
                          " and " + number(y - kRowStep) + ": no way past");
        closed = now;
    }
}

void warnAboutFloors(const LevelMap& map, std::vector<std::string>& out)
{
    for (int i = 0; i < map.holeCount; ++i) {
        const Hole& h = map.holes[i];
        if (!isPit(h))
            continue;
        bool inside = false;
        for (int j = 0; j < map.holeCount && !inside; ++j) {
            const Hole& o = map.holes[j];
            if (j != i && isPit(o) && capture(o) > capture(h) && std::hypot(h.x - o.x, h.y - o.y) < capture(o)) {
                out.push_back("hole " + std::to_string(i + 1) + "'s floor is out of reach: its centre lies in hole " +
                              std::to_string(j + 1) + "'s capture circle");
                inside = true;
            }
        }
        if (inside)
            continue;
        // z points down: a floor no lower than the highest point of its rim
        // shows no dip from any side (a pit in a trench still does).
        float floor = map.heightAt(h.x, h.y);
        float rim = map.heightAt(h.x + capture(h), h.y);
        for (int k = 1; k < 16; ++k) {
            float a = float(k) * 0.392699f;
            rim = std::min(rim, map.heightAt(h.x + capture(h) * std::cos(a), h.y + capture(h) * std::sin(a)));
        }
        if (floor <= rim)
            out.push_back("hole " + std::to_string(i + 1) +
                          " is filled in by the holes around it: its floor is no lower than its rim, so it "
                          "catches the marble without a dip to show it");
    }
}

uint32_t le32(const unsigned char* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (uint32_t(p[3]) << 24); }

} // namespace

std::vector<std::string> layoutWarnings(const LevelMap& map)
{
    std::vector<std::string> out;
    if (!map.holes)
        return out;
    warnAboutStart(map, out);
    warnAboutClosedRows(map, out);
    warnAboutFloors(map, out);
    return out;
}

std::vector<std::string> textureWarnings(const std::string& textureName)
{
    std::vector<std::string> out;
    for (int level = 0; level < kLevelMipLevels; ++level) {
        std::string file = textureName + "_" + std::to_string(level) + ".bmp";
        int side = 128 >> level;
        size_t packedRow = size_t(side) * 3;
        size_t paddedRow = (packedRow + 3) & ~size_t(3);
        std::error_code error;
        if (paddedRow == packedRow || !std::filesystem::is_regular_file(file, error))
            continue;
        unsigned char header[14] = {};
        std::ifstream in(file, std::ios::binary);
        if (!in.read(reinterpret_cast<char*>(header), sizeof header))
            continue;
        uintmax_t size = std::filesystem::file_size(file, error);
        if (!error && size >= le32(header + 10) + paddedRow * side)
            out.push_back(file +
                          ": its rows look padded to 4 bytes, as common image editors write them; the game "
                          "reads rows packed (" +
                          std::to_string(packedRow) + " bytes each), so the picture would be read shifted");
    }
    return out;
}
