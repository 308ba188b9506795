#include "render/marble_draw.h"

#include "game/edition_rules.h"
#include "render/projection.h"
#include "render/renderer.h"

#include <cmath>

namespace {

constexpr float kMarbleRadius = 20.0f;
constexpr int kFanSteps = 16;
constexpr float kFanStep = 0.39269912f;
// A ghost rim nearer than any scene point: the ghost shows wherever its
// interpolated depth beats what is drawn.
constexpr float kFixedGhostRimKey = 100.0f;
constexpr float kGlideNearDepth = 25.0f;
constexpr float kGlideFarDepth = 65535.0f;
constexpr float kArrowLength = 100.0f;
constexpr float kRaceGhostOpacity = 0.5f;

struct Disc {
    float cx, cy, w, radius;
    float centreKey;
    float centre[3];
    float rim[3];

    ScreenVertex vertex(float x, float y, float oow, const float* colour, float opacity) const
    {
        ScreenVertex v;
        v.x = x;
        v.y = y;
        v.oow = oow;
        v.w = 1.0f / oow;
        v.r = colour[0];
        v.g = colour[1];
        v.b = colour[2];
        v.a = opacity;
        return v;
    }
    ScreenVertex centreVertex(float opacity) const { return vertex(cx, cy, centreKey, centre, opacity); }
    ScreenVertex rimVertex(float angle, float oow, float opacity) const
    {
        return vertex(cx + radius * std::cos(angle), cy + radius * std::sin(angle), oow, rim, opacity);
    }
    ProjectedPoint rimPoint(float angle) const
    {
        return ProjectedPoint{cx + radius * std::cos(angle), cy + radius * std::sin(angle), w};
    }
};

bool offScreen(const Disc& disc)
{
    return disc.w < kGlideNearDepth || disc.w > kGlideFarDepth || disc.cx < -disc.radius ||
           disc.cx > float(kScreenWidth) + disc.radius || disc.cy < -disc.radius ||
           disc.cy > float(kScreenHeight) + disc.radius;
}

void drawArrowFrom(const Vec3& tail, const Vec3& tip, const ViewTransform& view)
{
    ProjectedPoint from = projectPoint(tail, view);
    ProjectedPoint to = projectPoint(tip, view);
    // An end at or behind the viewer has no place on screen.
    if (from.w <= 0.0f || to.w <= 0.0f)
        return;
    renderer->drawArrow(from, to);
}

// The marble's disc as seen from the view; false when it is not to be drawn.
bool placeDisc(const Vec3& position, const float* colour, const ViewTransform& view, const LevelMap& level, Disc& disc,
               Vec3& centre)
{
    // The position lies on the surface; the ball's centre one radius off it.
    centre = position + level.normalAt(position.x, position.y) * kMarbleRadius;
    ProjectedPoint c = projectPoint(centre, view);

    disc.cx = c.x;
    disc.cy = c.y;
    disc.w = c.w;
    disc.radius = rules().marbleRadiusScale / c.w;
    // The point of the ball nearest the camera is one radius closer.
    disc.centreKey = 1.0f / (c.w - kMarbleRadius);
    for (int k = 0; k < 3; ++k) {
        disc.centre[k] = colour[k] / 255.0f;
        disc.rim[k] = colour[k] / 2550.0f;
    }
    return !(isGlide() ? offScreen(disc) : c.w <= kMarbleRadius);
}

} // namespace

void drawGhostMarble(const Vec3& position, const float* colour, const ViewTransform& view, const LevelMap& level)
{
    Disc disc;
    Vec3 centre;
    if (!placeDisc(position, colour, view, level, disc, centre))
        return;
    float rimKey = 1.0f / disc.w;
    for (int k = 0; k < kFanSteps; ++k) {
        float a = float(k) * kFanStep;
        renderer->drawGhostTriangle(disc.centreVertex(kRaceGhostOpacity),
                                    disc.rimVertex(a + kFanStep, rimKey, kRaceGhostOpacity),
                                    disc.rimVertex(a, rimKey, kRaceGhostOpacity), kRaceGhostOpacity);
    }
}

void drawMarble(const Marble& marble, const ViewTransform& view, const LevelMap& level, bool normalView)
{
    const EditionRules& ours = rules();
    Vec3 position = marble.position();
    Disc disc;
    Vec3 centre;
    if (!placeDisc(position, marble.colour(), view, level, disc, centre))
        return;
    float rimKey = 1.0f / disc.w;
    for (int k = 0; k < kFanSteps; ++k) {
        float a = float(k) * kFanStep;
        renderer->drawMarbleTriangle(disc.centreVertex(1.0f), disc.rimVertex(a + kFanStep, rimKey, 1.0f),
                                     disc.rimVertex(a, rimKey, 1.0f));
    }

    float ghost = ours.marbleGhostOpacity;
    float ghostRimKey = ours.ghostRimAtFixedDepth ? kFixedGhostRimKey : rimKey;
    for (int k = 0; k < kFanSteps; ++k) {
        float a = float(k) * kFanStep;
        renderer->drawGhostTriangle(disc.centreVertex(ghost), disc.rimVertex(a + kFanStep, ghostRimKey, ghost),
                                    disc.rimVertex(a, ghostRimKey, ghost), ghost);
    }

    if (ours.drawsMarbleRim) {
        Colour rimColour{disc.rim[0], disc.rim[1], disc.rim[2], ours.marbleGhostOpacity};
        for (int k = 0; k < kFanSteps; ++k) {
            float a = float(k) * kFanStep;
            for (int repeat = 0; repeat < 3; ++repeat)
                renderer->drawRimLine(disc.rimPoint(a + kFanStep), disc.rimPoint(a), rimColour);
        }
    }

    if (!normalView)
        return;
    Vec3 tail = ours.arrowsFromContactPoint ? position : centre;
    drawArrowFrom(tail, tail + level.normalAt(tail.x, tail.y) * kArrowLength, view);
    drawArrowFrom(tail, tail + level.downhillAt(tail.x, tail.y) * kArrowLength, view);
}
