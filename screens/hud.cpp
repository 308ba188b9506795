#include "screens/hud.h"

#include "game/edition_rules.h"
#include "game/game_state.h"
#include "game/options.h"
#include "levels/level_list.h"
#include "levels/level_map.h"
#include "render/font.h"
#include "render/renderer.h"
#include "screens/text_colour.h"
#include "sim/marble.h"
#include "sim/marble_control.h"
#include "sim/view_transform.h"

#include <algorithm>

float bannerScale = 0.0f;
int bannerLevel = -1;

namespace {

// The gauge is laid out in device units (y up from -1 to 1).
OverlayPoint fromDevice(float x, float y) { return OverlayPoint{(x + 1.0f) * 320.0f, (1.0f - y) * 240.0f}; }

OverlayQuad deviceQuad(float x0, float y0, float x1, float y1)
{
    return OverlayQuad{fromDevice(x0, y0), fromDevice(x1, y0), fromDevice(x1, y1), fromDevice(x0, y1)};
}

constexpr float kFullClock = kRaceLength;
constexpr float kBannerGone = 0.1f; // a smaller banner is no longer drawn

} // namespace

void resetHudState()
{
    bannerScale = 0.0f;
    bannerLevel = -1;
}

void drawBoostGauge()
{
    font.setScale(0.5f);
    setTextColour(1.0f, 1.0f, 1.0f);
    font.setPosition(475.0f, 460.0f);
    font.drawText("Turbo");
    renderer->drawOverlayFrame(deviceQuad(0.7f, -0.9f, 0.99f, -0.99f), Colour{1.0f, 1.0f, 1.0f, 1.0f});
    if (boostReserve > 0.0f) {
        float b = boostReserve;
        float x0 = 0.986875f * (1.0f - 0.2f * b) + 0.140625f * b;
        renderer->drawOverlayQuad(deviceQuad(x0, -0.9f, 0.986875f, -0.986875f),
                                  Colour{1.0f - 0.2f * b, 0.2f * b, 0.0f, 1.0f});
    }
}

void drawStatisticsAndCountdown()
{
    if (showStatistics) {
        font.setScale(kSmallTextScale);
        font.setPosition(0.0f, 0.0f);
        setTextColour(1.0f, 1.0f, 1.0f);
        font.drawText("FPS: ");
        font.drawNumber(static_cast<float>(framesPerSecond), 0);
        font.drawText("\nPPS: ");
        font.drawNumber(static_cast<float>(polygonsPerSecond), 0);
        if (rules().hudShowsMarblePosition) {
            Vec3 p = marble.position();
            font.drawText("\nX: ");
            font.drawNumber(p.x, 0);
            font.drawText("\nY: ");
            font.drawNumber(p.y, 0);
        }
    }
    font.setScale(1.0f);
    font.setPosition(280.0f, 0.0f);
    float shown;
    if (levelDone && levelNumber >= 1 && levelNumber <= levelCount)
        shown = kFullClock - levelTimes[levelNumber - 1]; // the time left at the goal
    else
        shown = std::clamp(timeLeft, 0.0f, kFullClock);
    setTextColour(1.0f - shown / kFullClock, shown / kFullClock, 0.0f, 1.0f);
    font.drawNumber(shown, 2);
}

void startBannerOnNewLevel()
{
    if (levelNumber != bannerLevel) {
        bannerScale = 3.0f;
        bannerLevel = levelNumber;
    }
}

void shrinkLevelBanner()
{
    if (bannerScale >= kBannerGone && !paused)
        bannerScale -= frameTime * bannerScale * 4.0f;
}

void drawLevelBanner()
{
    if (bannerScale < kBannerGone)
        return;
    font.setScale(bannerScale);
    // Centred by "Level 1" whatever the number, so it does not jump about.
    font.setPosition(320.0f - 0.5f * font.textWidth("Level 1"), 205.0f);
    setTextColour(1.0f, 1.0f, 1.0f);
    font.drawText("Level ");
    font.drawNumber(static_cast<float>(levelNumber), 0);
}

void drawPenaltyText()
{
    if (!fallPending)
        return;
    Vec3 p = marble.position();
    Vec3 anchor = p + levelMap.normalAt(p.x, p.y) * 20.0f;
    Vec3 v = cameraView.toView(anchor);
    // Behind the camera the text simply flies in from the countdown.
    float sx = v.z > 0.0f ? 320.0f + 400.0f * v.x / v.z : 280.0f;
    float sy = v.z > 0.0f ? 240.0f + 400.0f * v.y / v.z : 0.0f;
    float t = penaltyFlight;
    float f = t * 1.6666666f;
    font.setScale(1.0f - t);
    font.setColour(1.0f, 0.0f, 0.0f, 1.0f);
    font.setPosition(sx * f + (1.0f - f) * 280.0f, sy * f);
    font.drawText("-5");
}
