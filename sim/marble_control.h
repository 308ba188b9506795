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

// What a frame of the marble did that the shell answers: the goal's sound
// and the level's time are the shell's to play and write.
struct MarbleReport {
    bool fell = false;
    bool reachedGoal = false;
};

// Steering, physics step, falls and the goal, once per running frame.
MarbleReport updateMarble();

// orbivale-gl: the "-5" flies on by one frame time and charges the fall's
// seconds when it lands; the frame calls it after drawing the flight.
void advancePenaltyFlight();

void resetMarbleControlState();
