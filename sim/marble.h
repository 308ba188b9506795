#pragma once

#include "sim/vec3.h"

class LevelMap;

// The one marble. Nothing is set by the constructor: the level start places it,
// the map loader colours it and the per-frame update sets its power.
class Marble {
public:
    void setPosition(const Vec3& p) { position_ = p; }
    Vec3 position() const { return position_; }
    void setVelocity(const Vec3& v) { velocity_ = v; }
    Vec3 velocity() const { return velocity_; }
    void setPower(float p) { power_ = p; }
    float power() const { return power_; }
    void setColour(float r, float g, float b)
    {
        colour_[0] = r;
        colour_[1] = g;
        colour_[2] = b;
    }
    const float* colour() const { return colour_; }

    // One physics step of dt seconds: steering, slope and drag, the speed cap,
    // then the marble is pinned to the surface.
    void step(const LevelMap& map, const Vec3& controlForce, float dt);
    // The same with the downhill direction at the marble already known.
    void step(const LevelMap& map, const Vec3& controlForce, float dt, const Vec3& downhill);

private:
    Vec3 velocity_;   // world units per tick of 1/210 s
    Vec3 position_;   // contact point on the terrain
    float power_;     // 40 normally, 65 while boosting
    float colour_[3]; // 0 to 255 each
};

extern Marble marble;
