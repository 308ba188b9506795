#pragma once

#include "platform/platform.h"

#include <cstdint>

// The steering keys as bits of Steering::keys.
enum SteeringKey : uint8_t {
    kSteerLeft = 1,
    kSteerRight = 2,
    kSteerUp = 4,
    kSteerDown = 8,
    kSteerShift = 16,
    kSteerKeyBits = 31,
};

// What the marble's steering read in one frame. Replays keep exactly this,
// so that feeding it back moves the marble the same way.
struct Steering {
    uint8_t keys = 0;          // SteeringKey bits held
    bool stickUsed = false;    // orbivale-glide's stick steered instead of the keys
    JoystickPosition position; // the stick reading in force when it did
    int16_t padX = 0;          // orbivale-gl: the game controller's left stick
    int16_t padY = 0;
};

extern Steering steering;
// A replay's steering for this frame; null while a player steers.
extern const Steering* replayedSteering;

// Fills `steering` for this frame: from replayedSteering when set, else from
// the held keys and, when wantStick, the stick (a failed read keeps the
// previous reading in force); when wantPad, the game controller's stick.
void readSteering(bool wantStick, bool wantPad);
// A pad stick axis as a share of a key's push, -1 to 1; 0 inside the dead zone.
float padShare(int16_t axis);
// Whether this frame's steering holds the key (an arrow or Shift).
bool steeringHeld(int keyCode);

void resetSteering();
