#pragma once

#include "render/screen_vertex.h"
#include "sim/vec3.h"
#include "sim/view_transform.h"

constexpr float kFocalLength = 400.0f;
constexpr float kScreenCentreX = 320.0f;
constexpr float kScreenCentreY = 240.0f;

// The game's one perspective projection into the 640 x 480 screen. Points at
// or behind the viewer (w <= 0) are projected all the same; callers that can
// meet them decide what to draw.
ProjectedPoint projectPoint(const Vec3& p, const ViewTransform& view);
