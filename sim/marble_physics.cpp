#include "levels/level_map.h"
#include "sim/marble.h"

namespace {

constexpr float kGravity = 11.76f; // scaled by 10 at run time, as the tuning assumed
constexpr float kDrag = -9.5f;
constexpr float kForceScale = 0.1f;
constexpr float kTicksPerSecond = 210.0f;

} // namespace

void Marble::step(const LevelMap& map, const Vec3& controlForce, float dt)
{
    if (dt > 0.0f)
        step(map, controlForce, dt, map.downhillAt(position_.x, position_.y));
}

void Marble::step(const LevelMap& map, const Vec3& controlForce, float dt, const Vec3& downhill)
{
    // The last operation divides by the elapsed ticks; a frame that took no
    // time moves nothing.
    if (!(dt > 0.0f))
        return;

    Vec3 gravity = Vec3(0.0f, 0.0f, kGravity) * 10.0f;
    Vec3 slope = downhill * dot(gravity, downhill);
    Vec3 drag = velocity_ * kDrag;
    Vec3 acceleration = ((controlForce + slope) + drag) * kForceScale;

    velocity_ = velocity_ + acceleration * dt;
    float maxSpeed = power_ * 0.1f;
    if (velocity_.length() > maxSpeed)
        velocity_ = velocity_.normalized() * maxSpeed;

    Vec3 before = position_;
    float ticks = dt * kTicksPerSecond;
    position_ = position_ + velocity_ * ticks;
    position_.z = map.heightAt(position_.x, position_.y);
    // The climb rate, positive when the marble moved up (towards -z).
    velocity_.z = (before.z - position_.z) / ticks;
}
