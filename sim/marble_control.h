#pragma once

#include "sim/vec3.h"

// The course's limits in world units.
constexpr float kTrackLeft = -750.0f;
constexpr float kTrackRight = 720.0f;
constexpr float kTrackBack = -6000.0f;
constexpr float kGoalLine = 5800.0f;
constexpr float kStartY = -5800.0f;

extern Vec3 controlForce;
extern float boostReserve;  // orbivale-gl: seconds of Turbo left in this level
extern bool fallPending;    // orbivale-gl: a "-5" is flying to the countdown
extern float penaltyFlight; // orbivale-gl: seconds left of that flight

constexpr float kBoostReserveFull = 5.0f;
constexpr float kPenaltyFlightTime = 0.7f;

// Steering, physics step, falls and the goal, once per running frame.
void updateMarble();

// orbivale-gl: the "-5" flies on by one frame time and charges the fall's
// seconds when it lands. The penalty text calls it as it draws the flight.
void advancePenaltyFlight();

void resetMarbleControlState();
