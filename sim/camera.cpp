#include "sim/camera.h"

#include "game/edition_rules.h"
#include "game/game_state.h"
#include "game/options.h"
#include "levels/level_map.h"
#include "sim/marble.h"
#include "sim/view_transform.h"

#include <algorithm>
#include <cmath>

Vec3 cameraPosition(0.0f, 0.0f, 0.0f);
float cameraAngles[3] = {0.0f, 0.0f, 0.0f};

namespace {

const Vec3 kFollowOffset(0.0f, -400.0f, -350.0f);
constexpr float kClearance = 270.0f;
constexpr float kLagBase = 10.0f;

// atan(num / den), with the camera level with the marble (den 0) looking
// straight along the offset instead of producing NaN.
float angleOf(float num, float den)
{
    if (den == 0.0f) {
        if (num == 0.0f)
            return 0.0f;
        return num > 0.0f ? 1.5707963f : -1.5707963f;
    }
    return std::atan2(num / den, 1.0f);
}

} // namespace

void resetCameraState()
{
    cameraPosition = Vec3(0.0f, 0.0f, 0.0f);
    cameraAngles[0] = cameraAngles[1] = cameraAngles[2] = 0.0f;
}

void updateCamera()
{
    Vec3 m = marble.position();
    Vec3 q = cameraPosition;

    Vec3 target = m + kFollowOffset;
    // The ground under and around the camera, in one pass over the holes.
    const float samples[4][2] = {{0.0f, 0.0f}, {0.0f, 150.0f}, {75.0f, 0.0f}, {-75.0f, 0.0f}};
    float xs[4], ys[4];
    for (int k = 0; k < 4; ++k) {
        xs[k] = target.x + samples[k][0];
        ys[k] = target.y + samples[k][1];
    }
    float heights[4];
    levelMap.heightsAt(xs, ys, heights, 4);
    for (float height : heights) {
        float lifted = height - kClearance;
        if (lifted < target.z)
            target.z = lifted;
    }

    float angleX = -angleOf(q.y - m.y, q.z - m.z);
    float angleY = -angleOf(q.x - m.x, q.z - m.z);

    float dt = std::min(frameTime, rules().maxCameraEasingStep);
    float k = (kLagBase - cameraLag) * dt;

    cameraPosition = q + (target - q) * k;
    cameraAngles[0] += (angleX - cameraAngles[0]) * k;
    cameraAngles[1] += (angleY - cameraAngles[1]) * k;
    cameraAngles[2] += (angleY - cameraAngles[2]) * k;
    cameraView.set(cameraPosition, cameraAngles[0], cameraAngles[1], cameraAngles[2]);
}
