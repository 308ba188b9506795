#pragma once

#include "sim/vec3.h"

// The eased camera behind and above the marble.
extern Vec3 cameraPosition;
extern float cameraAngles[3]; // about x, y, z, as ViewTransform::set takes them

// Where a level start puts the camera, relative to the marble: far behind
// and high above, so that it sweeps in during the ready phase.
constexpr float kCameraStartBehind = -3000.0f;
constexpr float kCameraStartAbove = -6000.0f;

// Follows the marble and writes cameraView, once per running frame.
void updateCamera();

void resetCameraState();
