#pragma once

#include "sim/mat3.h"
#include "sim/vec3.h"

// A viewpoint: a world point p lands at rotation * (p - position) in view space
// (x right, y up on the screen, z depth away from the viewer).
class ViewTransform {
public:
    ViewTransform() : position_(0.0f, 0.0f, 0.0f), rotation_(Mat3::identity()) {}

    // The z rotation acts first on a vector, then y, then x.
    void set(const Vec3& position, float ax, float ay, float az)
    {
        position_ = position;
        rotation_ = (rotationX(ax) * rotationY(ay)) * rotationZ(az);
    }

    Mat3 rotation() const { return rotation_; }
    Vec3 position() const { return position_; }

    Vec3 toView(const Vec3& p) const { return rotation_ * (p - position_); }

private:
    Vec3 position_;
    Mat3 rotation_;
};

// The camera's view, written once a frame by the camera and read by all 3D drawing.
extern ViewTransform cameraView;
