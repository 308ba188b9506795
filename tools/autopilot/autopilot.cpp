#include "tools/autopilot/autopilot.h"

#include "platform/platform.h"
#include "sim/marble_control.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr float kFirstRowY = kStartY;
constexpr float kLastRowY = kGoalLine + 400.0f;
// Keep off the course edges, where the marble is put back.
constexpr float kLeftmostX = kTrackLeft + 50.0f;
constexpr float kRightmostX = kTrackRight - 50.0f;
constexpr int kMaxColumnShift = 2; // per row: at most 45 degrees off straight

// The look ahead: frames of 1/60 s with the keys held unchanged.
constexpr int kHorizonFrames = 18;
constexpr float kFrameTime = 1.0f / 60.0f;
constexpr float kNormalPower = 40.0f;
constexpr float kBoostPower = 65.0f;
// Scores from here up mean the marble would be caught.
constexpr float kIntoAPit = 1e9f;

int rowCount() { return static_cast<int>((kLastRowY - kFirstRowY) / Autopilot::kRowStep) + 1; }
int columnCount() { return static_cast<int>((kRightmostX - kLeftmostX) / Autopilot::kColumnStep) + 1; }
float rowY(int r) { return kFirstRowY + r * Autopilot::kRowStep; }
float columnX(int c) { return kLeftmostX + c * Autopilot::kColumnStep; }

// How much the line dislikes a place: close to a pit's catching circle
// (steeply, so it keeps to the middle of gaps) or on a mound's flank.
float closenessCost(const LevelMap& map, float x, float y)
{
    float cost = 0.0f;
    for (int i = 0; i < map.holeCount; ++i) {
        const Hole& h = map.holes[i];
        if (h.radius <= 0.0f)
            continue;
        float d = std::hypot(x - h.x, y - h.y);
        if (h.depth > 0.0f) {
            float nearness = std::max(0.0f, 1.0f - (d - 1.5f * h.radius) / 150.0f);
            cost += 12.0f * nearness * nearness;
        } else if (d < 2.0f * h.radius) {
            cost += 3.0f * (1.0f - d / (2.0f * h.radius));
        }
    }
    return cost;
}

// The game's steering: the surface tangents at the marble, times its power.
Vec3 steering(const LevelMap& map, const Vec3& p, const std::set<int>& keys, float power)
{
    Vec3 force(0.0f, 0.0f, 0.0f);
    if (keys.count(kKeyLeft))
        force -= map.tangentXAt(p.x, p.y);
    if (keys.count(kKeyRight))
        force += map.tangentXAt(p.x, p.y);
    if (keys.count(kKeyUp))
        force += map.tangentYAt(p.x, p.y);
    if (keys.count(kKeyDown))
        force -= map.tangentYAt(p.x, p.y);
    return force * power;
}

} // namespace

bool Autopilot::nearPit(float x, float y, float margin) const
{
    for (int i = 0; i < map_->holeCount; ++i) {
        const Hole& h = map_->holes[i];
        if (h.depth > 0.0f && h.radius > 0.0f && std::hypot(x - h.x, y - h.y) <= 1.5f * h.radius + margin)
            return true;
    }
    return false;
}

bool Autopilot::plan(const LevelMap& map)
{
    map_ = &map;
    for (float clearance = 60.0f; clearance >= 10.0f; clearance -= 5.0f)
        if (planWithClearance(clearance)) {
            clearance_ = clearance;
            return true;
        }
    line_.clear();
    return false;
}

// Cheapest line from x = 0 on the start line to beyond the goal, moving
// forward one row at a time: little sideways travel, wide berths.
bool Autopilot::planWithClearance(float clearance)
{
    const int rows = rowCount();
    const int columns = columnCount();
    const float unreachable = std::numeric_limits<float>::infinity();
    std::vector<float> cost(static_cast<size_t>(rows) * columns, unreachable);
    std::vector<int> from(cost.size(), -1);
    auto at = [columns](int r, int c) { return static_cast<size_t>(r) * columns + c; };

    int startColumn = static_cast<int>(std::lround((0.0f - kLeftmostX) / kColumnStep));
    if (nearPit(columnX(startColumn), rowY(0), clearance))
        return false;
    cost[at(0, startColumn)] = 0.0f;

    std::vector<float> stepCost(columns);
    for (int r = 1; r < rows; ++r) {
        for (int c = 0; c < columns; ++c)
            stepCost[c] = nearPit(columnX(c), rowY(r), clearance) ? unreachable
                                                                  : 1.0f + closenessCost(*map_, columnX(c), rowY(r));
        for (int c = 0; c < columns; ++c) {
            if (stepCost[c] == unreachable)
                continue;
            for (int shift = -kMaxColumnShift; shift <= kMaxColumnShift; ++shift) {
                int p = c + shift;
                if (p < 0 || p >= columns || cost[at(r - 1, p)] == unreachable)
                    continue;
                float total = cost[at(r - 1, p)] + stepCost[c] + 0.5f * shift * shift;
                if (total < cost[at(r, c)]) {
                    cost[at(r, c)] = total;
                    from[at(r, c)] = p;
                }
            }
        }
    }

    int best = -1;
    for (int c = 0; c < columns; ++c)
        if (cost[at(rows - 1, c)] != unreachable && (best < 0 || cost[at(rows - 1, c)] < cost[at(rows - 1, best)]))
            best = c;
    if (best < 0)
        return false;
    line_.assign(rows, 0.0f);
    for (int r = rows - 1, c = best; r >= 0; c = from[at(r, c)], --r)
        line_[r] = columnX(c);
    return true;
}

float Autopilot::lineX(float y) const
{
    if (line_.empty())
        return 0.0f;
    float row = std::clamp((y - kFirstRowY) / kRowStep, 0.0f, static_cast<float>(line_.size() - 1));
    size_t r = static_cast<size_t>(row);
    if (r + 1 >= line_.size())
        return line_.back();
    float f = row - static_cast<float>(r);
    return line_[r] + (line_[r + 1] - line_[r]) * f;
}

// How fast (units per tick along the course) the marble may go here and
// still follow the line's sideways swings ahead of it.
float Autopilot::safeSpeedAt(float y) const
{
    float steepest = 0.0f;
    for (float ahead = 100.0f; ahead <= 900.0f; ahead += 50.0f)
        steepest = std::max(steepest, std::fabs(lineX(y + ahead) - lineX(y)) / ahead);
    return steepest < 0.3f ? kBoostPower / 10.0f : std::max(1.5f, 1.2f / steepest);
}

// Plays the keys forward on a copy of the marble and scores the outcome:
// distance from the line, heading against the line's, and a pit costs all.
float Autopilot::tryKeys(Marble trial, const std::set<int>& keys, float safeSpeed) const
{
    float power = keys.count(kKeyShift) ? kBoostPower : kNormalPower;
    trial.setPower(power);
    const float startY = trial.position().y;
    float score = 0.0f;
    for (int frame = 0; frame < kHorizonFrames; ++frame) {
        Vec3 p = trial.position();
        trial.step(*map_, steering(*map_, p, keys, power), kFrameTime);
        p = trial.position();
        if (nearPit(p.x, p.y, 6.0f) || p.x < kTrackLeft + 10.0f || p.x > kTrackRight - 10.0f)
            return kIntoAPit + (kHorizonFrames - frame);
        float off = p.x - lineX(p.y);
        score += off * off;
    }
    Vec3 p = trial.position();
    Vec3 v = trial.velocity();
    float lineSlope = (lineX(p.y + 60.0f) - lineX(p.y - 60.0f)) / 120.0f;
    float headingError = (v.x - lineSlope * std::max(v.y, 0.5f)) * 30.0f;
    // Progress counts too, so the pilot boosts where it safely can.
    float overspeed = std::max(0.0f, v.y - safeSpeed) * 60.0f;
    return score / kHorizonFrames + headingError * headingError + overspeed * overspeed - 2.0f * (p.y - startY);
}

std::set<int> Autopilot::keysFor(const Marble& marble, bool boostLeft) const
{
    // Forward with a steer as long as that stays clear of the pits; only
    // when no way forward does, brake or turn on the spot.
    static const std::vector<std::set<int>> forward = {
        {kKeyUp},
        {kKeyUp, kKeyLeft},
        {kKeyUp, kKeyRight},
        {kKeyUp, kKeyShift},
        {kKeyUp, kKeyLeft, kKeyShift},
        {kKeyUp, kKeyRight, kKeyShift},
    };
    static const std::vector<std::set<int>> careful = {
        {kKeyLeft}, {kKeyRight}, {kKeyDown, kKeyLeft}, {kKeyDown, kKeyRight}, {}, {kKeyDown},
    };
    const float safeSpeed = safeSpeedAt(marble.position().y);
    const std::set<int>* best = nullptr;
    float bestScore = std::numeric_limits<float>::infinity();
    auto consider = [&](const std::vector<std::set<int>>& choices) {
        for (const std::set<int>& keys : choices) {
            if (keys.count(kKeyShift) && !boostLeft)
                continue;
            float score = tryKeys(marble, keys, safeSpeed);
            if (score < bestScore) {
                bestScore = score;
                best = &keys;
            }
        }
    };
    consider(forward);
    if (bestScore >= kIntoAPit || marble.velocity().y > safeSpeed)
        consider(careful);
    return *best;
}
