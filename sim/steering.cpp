#include "sim/steering.h"

Steering steering;
const Steering* replayedSteering = nullptr;

namespace {

JoystickPosition stickInForce{32767, 32767, 0};

uint8_t keyBit(int keyCode)
{
    switch (keyCode) {
    case kKeyLeft:
        return kSteerLeft;
    case kKeyRight:
        return kSteerRight;
    case kKeyUp:
        return kSteerUp;
    case kKeyDown:
        return kSteerDown;
    case kKeyShift:
        return kSteerShift;
    default:
        return 0;
    }
}

} // namespace

void readSteering(bool wantStick)
{
    if (replayedSteering) {
        steering = *replayedSteering;
        return;
    }
    uint8_t keys = 0;
    for (int key : {kKeyLeft, kKeyRight, kKeyUp, kKeyDown, kKeyShift})
        if (platform->keyHeld(key))
            keys |= keyBit(key);
    steering.keys = keys;
    steering.stickUsed = wantStick;
    if (wantStick) {
        JoystickPosition reading;
        if (platform->joystickPosition(reading))
            stickInForce = reading;
        steering.position = stickInForce;
    } else {
        steering.position = JoystickPosition{};
    }
}

bool steeringHeld(int keyCode) { return (steering.keys & keyBit(keyCode)) != 0; }

void resetSteering()
{
    steering = Steering();
    replayedSteering = nullptr;
    stickInForce = JoystickPosition{32767, 32767, 0};
}
