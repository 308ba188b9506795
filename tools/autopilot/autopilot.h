#pragma once

#include "levels/level_map.h"
#include "sim/marble.h"

#include <set>
#include <vector>

// A driver for the loaded level that uses only what a player has: the arrow
// keys and Shift. It plans a line through the pits once, then every frame
// tries each way of holding the keys for a moment ahead, with the game's own
// physics, and holds the one that stays closest to the line.
class Autopilot {
public:
    // Plans a line for the level; false when no line keeps clear of the pits.
    bool plan(const LevelMap& map);

    // The keys to hold this frame. `boostLeft` says whether Shift still adds power.
    std::set<int> keysFor(const Marble& marble, bool boostLeft) const;

    // The planned x at a distance y along the course.
    float lineX(float y) const;
    // Least distance the line keeps from any pit's catching circle.
    float clearance() const { return clearance_; }

    static constexpr float kRowStep = 20.0f;
    static constexpr float kColumnStep = 10.0f;

private:
    bool planWithClearance(float clearance);
    float tryKeys(Marble trial, const std::set<int>& keys, float safeSpeed) const;
    float safeSpeedAt(float y) const;
    bool nearPit(float x, float y, float margin) const;

    const LevelMap* map_ = nullptr;
    std::vector<float> line_; // x for each row, from the start line to past the goal
    float clearance_ = 0.0f;
};
