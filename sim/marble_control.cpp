#include "sim/marble_control.h"

#include "game/edition_rules.h"
#include "game/game_state.h"
#include "game/joystick_menu.h"
#include "game/options.h"
#include "levels/level_map.h"
#include "platform/platform.h"
#include "sim/marble.h"
#include "sim/steering.h"

Vec3 controlForce(0.0f, 0.0f, 0.0f);
float boostReserve = kBoostReserveFull;
bool fallPending = false;
float penaltyFlight = kPenaltyFlightTime;

namespace {

constexpr float kNormalPower = 40.0f;
constexpr float kBoostPower = 65.0f;
constexpr float kPutBackStep = 30.0f;
constexpr float kFallTimePenalty = 4.0f;

bool raceIsOn() { return penaltyTimer <= 0.0f && timeLeft >= 0.0f && timeLeft <= kRaceLength; }

void steerWithKeys(const SurfaceAround& here)
{
    if (steeringHeld(kKeyLeft))
        controlForce -= here.tangentX();
    if (steeringHeld(kKeyRight))
        controlForce += here.tangentX();
    if (steeringHeld(kKeyUp))
        controlForce += here.tangentY();
    if (steeringHeld(kKeyDown))
        controlForce -= here.tangentY();
}

// orbivale-gl's game controller stick adds the share of a key's push its
// deflection asks for, on an axis whose keys are not held. Untouched, it adds
// nothing, so keyboard play is exactly as before.
void steerWithPad(const SurfaceAround& here)
{
    float x = padShare(steering.padX), y = padShare(steering.padY);
    if (x != 0.0f && !steeringHeld(kKeyLeft) && !steeringHeld(kKeyRight))
        controlForce += here.tangentX() * x;
    if (y != 0.0f && !steeringHeld(kKeyUp) && !steeringHeld(kKeyDown))
        controlForce -= here.tangentY() * y; // the stick's y grows towards the player
}

// Returns the power the stick's buttons ask for.
float steerWithJoystick(const SurfaceAround& here)
{
    const JoystickPosition& lastStick = steering.position;
    const JoystickCaps& caps = joystickLimits;
    // Dead zones from the maxima alone, as the menu pad uses them.
    uint32_t dx = static_cast<uint32_t>(0.3 * caps.xMax);
    uint32_t dy = static_cast<uint32_t>(0.3 * caps.yMax);
    if (lastStick.x >= caps.xMax - dx)
        controlForce += here.tangentX();
    if (lastStick.x <= caps.xMin + dx)
        controlForce -= here.tangentX();
    if (lastStick.y >= caps.yMax - dy)
        controlForce -= here.tangentY();
    if (lastStick.y <= caps.yMin + dy)
        controlForce += here.tangentY();
    return lastStick.buttons != 0 ? kBoostPower : kNormalPower;
}

float boostedPower()
{
    if (!steeringHeld(kKeyShift))
        return kNormalPower;
    if (boostReserve <= 0.0f) {
        boostReserve = 0.0f;
        return kNormalPower;
    }
    if (raceIsOn())
        boostReserve -= frameTime;
    return kBoostPower;
}

void putMarble(float x, float y)
{
    marble.setPosition(Vec3(x, y, levelMap.heightAt(x, y)));
    marble.setVelocity(Vec3(0.0f, 0.0f, 0.0f));
}

// Walks back along x = 0 in 30-unit steps to the first clear place; false
// when there is none down to lowestY.
bool putBackBehind(float fromY, float lowestY)
{
    for (float y = fromY; y >= lowestY; y -= kPutBackStep) {
        if (levelMap.holeAt(0.0f, y) == 0.0f) {
            putMarble(0.0f, y);
            return true;
        }
    }
    return false;
}

// orbivale-gl holds the countdown at zero and charges the four seconds when
// the "-5" lands; orbivale-glide charges them at once.
void chargeFall()
{
    if (rules().fallPenaltyFlies) {
        fallPending = true;
        if (timeLeft < 0.0f)
            timeLeft = 0.0f;
    } else {
        timeLeft -= kFallTimePenalty;
        if (timeLeft < 0.0f)
            timeLeft = 0.0f;
    }
    penaltyTimer = 1.0f;
}

void reachGoal()
{
    levelDone = true;
    endThreshold = timeLeft - 1.0f;
}

// Adds the steering's directions to controlForce; returns the power asked for.
float steer(const SurfaceAround& here, const EditionRules& ours)
{
    if (ours.steersWithJoystick && steering.stickUsed)
        return steerWithJoystick(here);
    steerWithKeys(here);
    if (ours.steersWithPad)
        steerWithPad(here);
    if (ours.hasBoost)
        return boostedPower();
    return steeringHeld(kKeyShift) ? kBoostPower : kNormalPower;
}

} // namespace

void advancePenaltyFlight()
{
    penaltyFlight -= frameTime;
    if (penaltyFlight <= 0.0f) {
        timeLeft -= kFallTimePenalty;
        penaltyFlight = kPenaltyFlightTime;
        fallPending = false;
    }
}

void resetMarbleControlState()
{
    controlForce = Vec3(0.0f, 0.0f, 0.0f);
    boostReserve = kBoostReserveFull;
    fallPending = false;
    penaltyFlight = kPenaltyFlightTime;
    resetSteering();
}

MarbleReport updateMarble()
{
    MarbleReport report;
    if (levelDone)
        return report;

    const EditionRules& ours = rules();
    readSteering(ours.steersWithJoystick && joystickPresent && joystickControl, ours.steersWithPad);
    Vec3 p = marble.position();
    // Steering and the slope read the surface here: one pass over the holes.
    SurfaceAround here = levelMap.surfaceAround(p.x, p.y);
    controlForce = Vec3(0.0f, 0.0f, 0.0f);
    float power = steer(here, ours);
    marble.setPower(power);
    controlForce = controlForce * power;

    if (raceIsOn())
        marble.step(levelMap, controlForce, frameTime, here.downhill());

    p = marble.position();
    float hole = levelMap.holeAt(p.x, p.y);
    if (hole > 0.0f) {
        putBackBehind(p.y - 4.0f * hole, ours.pitPutBackLimit);
        chargeFall();
        report.fell = true;
    }

    p = marble.position();
    if (p.x < kTrackLeft || p.x > kTrackRight) {
        if (ours.sideFallWalksBack)
            putBackBehind(p.y - 4.0f * hole, kTrackBack);
        else
            putMarble(0.0f, p.y);
        chargeFall();
        report.fell = true;
    }

    p = marble.position();
    if (p.y < kTrackBack) {
        putMarble(p.x, ours.behindTrackPutBackY);
        chargeFall();
        report.fell = true;
    }

    if (ours.startLineWhenNoClearPlace) {
        // Nowhere clear to go back to: the start line is.
        p = marble.position();
        if (levelMap.holeAt(p.x, p.y) > 0.0f)
            putMarble(0.0f, kStartY);
    }

    p = marble.position();
    if (p.y > kGoalLine && !levelDone) {
        reachGoal();
        report.reachedGoal = true;
    }
    return report;
}
