#include "sim/steering.h"

#include <algorithm>

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

void readSteering(bool wantStick, bool wantPad)
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
    int16_t x = 0, y = 0;
    if (!wantPad || !platform->padStick(x, y))
        x = y = 0;
    steering.padX = x;
    steering.padY = y;
}

float padShare(int16_t axis)
{
    // Worn sticks rest a little off centre.
    constexpr int kDeadZone = 8000;
    int size = axis < 0 ? -int(axis) : int(axis);
    if (size <= kDeadZone)
        return 0.0f;
    float share = std::min(1.0f, float(size - kDeadZone) / float(32767 - kDeadZone));
    return axis < 0 ? -share : share;
}

bool steeringHeld(int keyCode) { return (steering.keys & keyBit(keyCode)) != 0; }

void resetSteering()
{
    steering = Steering();
    replayedSteering = nullptr;
    stickInForce = JoystickPosition{32767, 32767, 0};
}
