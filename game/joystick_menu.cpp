#include "game/joystick_menu.h"

#include "game/game_state.h"

bool joystickPresent = false;
int joystickDirection = 0;
JoystickCaps joystickLimits;

void resetJoystickMenuState()
{
    joystickPresent = false;
    joystickDirection = 0;
    joystickLimits = JoystickCaps();
}

namespace {

int directionOf(const JoystickPosition& pos)
{
    // The margins are 30 % of the maximum, as the classic driver's callers did.
    uint32_t dx = static_cast<uint32_t>(0.3 * joystickLimits.xMax);
    uint32_t dy = static_cast<uint32_t>(0.3 * joystickLimits.yMax);
    if (pos.x >= joystickLimits.xMax - dx)
        return 1;
    if (pos.x <= joystickLimits.xMin + dx)
        return 2;
    if (pos.y >= joystickLimits.yMax - dy)
        return 3;
    if (pos.y <= joystickLimits.yMin + dy)
        return 4;
    if (pos.buttons != 0)
        return 5;
    return 0;
}

void postKey(int key) { platform->postEvent(Event{kEventKeyDown, key}); }

} // namespace

void pollJoystickMenu()
{
    JoystickPosition pos;
    if (!platform->joystickPosition(pos))
        return;
    int direction = directionOf(pos);
    if (direction != joystickDirection) {
        static const int keys[5] = {kKeyRight, kKeyLeft, kKeyDown, kKeyUp, kKeyEnter};
        if (direction >= 1 && direction <= 4 && menuShown)
            postKey(keys[direction - 1]);
        else if (direction == 5) {
            if (menuShown)
                postKey(kKeyEnter);
            else if (gameState != GameState::Playing)
                postKey(kKeyEscape);
        }
    }
    joystickDirection = direction;
}
