#include "tools/datagen/levels.h"

#include "tools/datagen/level_layouts.h"
#include "tools/datagen/output.h"

#include <cmath>
#include <cstdio>

namespace {

// Level 1: a meadow with a few single pits in wide rows; the centre and the
// sides take turns being open, soft mounds in between. The first pit stands
// on the start line's path 2500 units out, over three seconds at full speed:
// the player has felt the keys by then. The rows are far apart, so a
// swerve has time to settle before the next.
LevelDesign greenMeadow()
{
    Layout l;
    for (int k = 0; k < 6; ++k) {
        float y = -3300.0f + 1500.0f * k;
        // Wide and deep, so that the squares plunge into them in plain sight
        // while the marble still has a second to steer at full speed.
        if (k % 2 == 0) {
            l.pit(0, y, 120, 150);
        } else {
            l.pit(-450, y, 120, 150);
            l.pit(450, y, 120, 150);
        }
        if (k < 5)
            l.mound(k % 2 == 0 ? 260.0f : -280.0f, y + 750.0f, 90, 22);
    }
    return {"Green Meadow", Surface::Grass, 0x9cc8e8, 0xd02020, l.holes};
}

// Level 2: gates of pits reaching past the centre from alternate sides,
// so the marble weaves left and right; dunes sit in the openings.
LevelDesign duneSlalom()
{
    Layout l;
    for (int k = 0; k < 7; ++k) {
        float y = -4400.0f + 1450.0f * k;
        if (k % 2 == 0) {
            l.wall(-700, 200, y, 55, 45, 150);
            l.mound(480, y - 420, 85, 30);
        } else {
            l.wall(-230, 670, y, 55, 45, 150);
            l.mound(-500, y - 420, 85, 30);
        }
    }
    return {"Dune Slalom", Surface::Sand, 0xe6cfa0, 0x2050d0, l.holes};
}

// Level 3: three fields of small pits with clear ground between them.
LevelDesign cobbleFields()
{
    Layout l;
    l.field(-700, 700, -4300, -3600, 233.4f, 215, 45, 50, 21, 301);
    l.field(-700, 700, -1100, -400, 233.4f, 215, 45, 50, 21, 306);
    l.field(-700, 700, 2200, 2900, 233.4f, 215, 48, 50, 19, 304);
    l.mound(-350, -2300, 110, 30);
    l.mound(350, -2000, 110, 30);
    l.mound(0, 900, 140, 35);
    l.mound(-400, 4300, 100, 30);
    l.mound(380, 4700, 100, 30);
    return {"Cobble Fields", Surface::Stone, 0x8a93a6, 0xe0b020, l.holes};
}

// Level 4: a frozen lake with a few wide, deep pits and mounds that shove
// the marble towards them.
LevelDesign frozenLake()
{
    Layout l;
    const float rows[] = {-4200, -2900, -1600, -300, 1000, 2300, 3600, 4700};
    for (int k = 0; k < 8; ++k) {
        float y = rows[k];
        float side = (k % 2 == 0) ? -1.0f : 1.0f;
        l.pit(side * 330.0f, y, 140, 85);
        l.pit(-side * 520.0f, y + 200.0f, 60, 45);
        l.mound(-side * 40.0f, y - 380.0f, 110, 45);
    }
    l.pit(0, 150, 55, 40);
    l.pit(0, 2950, 55, 40);
    return {"Frozen Lake", Surface::Ice, 0xd4e4f2, 0xc02080, l.holes};
}

// Level 5: steel corridors walled by pits, chicanes inside them and
// gates in between.
LevelDesign steelGauntlet()
{
    Layout l;
    // First corridor, mounds pushing from alternate sides.
    for (float y = -4300; y <= -2600; y += 170) {
        l.pit(-290, y, 60, 50);
        l.pit(290, y, 60, 50);
    }
    l.mound(-120, -3900, 70, 30);
    l.mound(120, -3400, 70, 30);
    l.mound(-120, -2900, 70, 30);
    // Two gates.
    l.wall(-700, 150, -1800, 55, 50, 140);
    l.wall(-150, 670, -900, 55, 50, 140);
    // Second corridor with a chicane.
    for (float y = 0; y <= 1700; y += 170) {
        l.pit(-300, y, 60, 50);
        l.pit(300, y, 60, 50);
    }
    l.pit(-110, 500, 45, 40);
    l.pit(110, 1150, 45, 40);
    // A closing field.
    l.field(-700, 700, 2900, 3500, 233.4f, 240, 46, 55, 16, 502);
    l.mound(450, 4300, 90, 40);
    l.mound(-450, 4600, 90, 40);
    l.pit(0, 4900, 90, 60);
    return {"Steel Gauntlet", Surface::Metal, 0x2e3c4c, 0x30d040, l.holes};
}

// Level 6: everything at once over glowing rock: wide pits, gates, a dense
// field and mounds that push.
LevelDesign lavaRun()
{
    Layout l;
    l.pit(-300, -4500, 130, 85);
    l.pit(330, -4000, 130, 85);
    l.mound(0, -4250, 80, 45);
    // Two gates with their openings off centre, left and right in turn.
    l.wall(-700, 50, -3100, 50, 55, 130);
    l.wall(480, 700, -3100, 50, 55, 130);
    l.wall(-700, -480, -2300, 50, 55, 130);
    l.wall(-50, 670, -2300, 50, 55, 130);
    l.mound(-480, -2700, 90, 40);
    l.field(-700, 700, -1300, -500, 233.4f, 210, 45, 45, 24, 601);
    for (float y = 400; y <= 1700; y += 160) {
        l.pit(-270, y, 55, 55);
        l.pit(270, y, 55, 55);
    }
    l.mound(-110, 800, 60, 30);
    l.mound(110, 1300, 60, 30);
    l.pit(-400, 2600, 140, 90);
    l.pit(400, 3200, 140, 90);
    l.mound(150, 2450, 90, 50);
    l.mound(-150, 3050, 90, 50);
    l.field(-700, 700, 4000, 4800, 233.4f, 210, 45, 45, 24, 602);
    return {"Lava Run", Surface::Lava, 0x4a1208, 0x40c0ff, l.holes};
}

// orbivale-glide levels: the hole count of each is fixed, so each layout is
// a core and a reserve of mounds that tops it up to the exact count.
// Level 1 of orbivale-glide: walls reaching to the middle from alternate
// sides, each leaving the other half open. Their pits are few, wide and deep,
// so that each bends the squares in plain sight from afar, and two seconds at
// full speed part the walls. The first wall, 1900 units out, closes the
// middle and asks for a short swerve; the later ones stop well short of it,
// so that a marble put back in the middle after a fall is not pulled into a
// wall again. Low dunes fill the sides between the walls.
LevelDesign glideSlalom()
{
    Layout l;
    constexpr int kWalls = 6;
    for (int k = 0; k < kWalls; ++k) {
        float y = -3700.0f + 1700.0f * k;
        if (k == 0)
            l.wall(-700, 0, y, 95, 85, 175);
        else if (k % 2 == 0)
            l.wall(-700, -320, y, 95, 85, 190);
        else
            l.wall(320, 670, y, 95, 85, 175);
    }
    std::vector<Hole> reserve;
    for (int k = 0; k < kWalls; ++k)
        for (float ahead : {500.0f, 1150.0f})
            for (float x : {-600.0f, 600.0f, -330.0f, 330.0f}) {
                float y = -3700.0f + 1700.0f * k + ahead;
                if (y < 5600.0f)
                    reserve.push_back({x, y, 80, -18});
            }
    for (float x : {-600.0f, 600.0f, -330.0f, 330.0f})
        reserve.push_back({x, -4700, 80, -18});
    l.fillTo(58, reserve);
    return {"Dune Slalom", Surface::Sand, 0xe6cfa0, 0x2050d0, l.holes};
}

LevelDesign glideFields()
{
    Layout l;
    l.field(-700, 700, -4300, -3600, 233.4f, 215, 45, 55, 14, 311);
    l.field(-700, 700, -800, -100, 233.4f, 215, 45, 55, 14, 312);
    l.field(-700, 700, 2600, 3300, 233.4f, 215, 46, 55, 14, 313);
    std::vector<Hole> reserve = {
        {-350, -2300, 110, -30}, {350, -1900, 110, -30}, {0, 1200, 140, -35},    {-420, 4400, 100, -30},
        {380, 4800, 100, -30},   {0, 5200, 90, 40},      {-500, 900, 90, -25},   {500, 1500, 90, -25},
        {0, -2800, 80, 35},      {-550, 2000, 80, 45},   {550, 2000, 80, 45},    {0, 4000, 100, -30},
        {-500, -3100, 90, -25},  {500, -2600, 90, -25},  {-450, -1500, 80, -25}, {450, 300, 80, -25},
        {-300, 2350, 80, -25},   {300, 3800, 80, -25},   {-550, 5000, 80, -25},  {550, 4300, 80, -25},
    };
    l.fillTo(62, reserve);
    return {"Cobble Fields", Surface::Stone, 0x8a93a6, 0xe0b020, l.holes};
}

LevelDesign glideLava()
{
    Layout l;
    l.pit(-300, -4500, 130, 85);
    l.pit(330, -4000, 130, 85);
    l.wall(-700, 250, -3100, 50, 55, 130);
    l.wall(-250, 670, -2300, 50, 55, 130);
    l.field(-700, 700, -1300, -500, 233.4f, 215, 44, 55, 15, 611);
    for (float y = 400; y <= 1700; y += 160) {
        l.pit(-270, y, 55, 55);
        l.pit(270, y, 55, 55);
    }
    l.pit(-400, 2600, 140, 90);
    l.pit(400, 3200, 140, 90);
    l.wall(-700, 200, 4300, 50, 55, 130);
    std::vector<Hole> reserve = {
        {0, -4250, 80, -45},   {-480, -2700, 90, -40}, {-110, 800, 60, -30}, {110, 1300, 60, -30},
        {150, 2450, 90, -50},  {-150, 3050, 90, -50},  {500, 3900, 90, -40}, {0, 5000, 100, 60},
        {-400, 5300, 80, -40}, {400, 5300, 80, -40},   {0, -1800, 90, -35},  {0, 2100, 90, -40},
    };
    l.fillTo(70, reserve);
    return {"Lava Run", Surface::Lava, 0x4a1208, 0x40c0ff, l.holes};
}

std::string number(float v)
{
    char buffer[32];
    if (v == std::round(v))
        std::snprintf(buffer, sizeof buffer, "%.0f", v);
    else
        std::snprintf(buffer, sizeof buffer, "%.2f", v);
    return buffer;
}

std::string hexColour(uint32_t c)
{
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "0x%06x", c & 0xffffffu);
    return buffer;
}

} // namespace

std::vector<LevelDesign> glLevelDesigns()
{
    return {greenMeadow(), duneSlalom(), cobbleFields(), frozenLake(), steelGauntlet(), lavaRun()};
}

std::vector<LevelDesign> glideLevelDesigns() { return {glideSlalom(), glideFields(), glideLava()}; }

std::string mapFileName(int levelNumber) { return "maps/level" + std::to_string(levelNumber) + ".map"; }

std::string mapFileText(const LevelDesign& level, const std::string& textureName)
{
    std::string text;
    text += "texturefile= " + textureName + "\n";
    text += "fogcolor= " + hexColour(level.fogColour) + "\n";
    text += "marblecolor= " + hexColour(level.marbleColour) + "\n";
    text += "holecount= " + std::to_string(level.holes.size()) + "\n";
    text += ".data\n";
    for (const Hole& h : level.holes)
        text += number(h.x) + " " + number(h.y) + " " + number(h.radius) + " " + number(h.depth) + "\n";
    text += ".end";
    return text;
}

std::string levelListText(int levelCount)
{
    std::string text = std::to_string(levelCount);
    for (int n = 1; n <= levelCount; ++n)
        text += "\n" + mapFileName(n);
    return text;
}

bool writeLevels(const std::string& root, const std::vector<LevelDesign>& levels, bool glide)
{
    if (!writeText(root, "maps/maplist.dat", levelListText(static_cast<int>(levels.size()))))
        return false;
    for (size_t i = 0; i < levels.size(); ++i) {
        std::string base = "maps/" + surfaceName(levels[i].surface);
        std::string texture = glide ? base + ".3df" : base;
        if (!writeText(root, mapFileName(static_cast<int>(i) + 1), mapFileText(levels[i], texture)))
            return false;
    }
    return true;
}
