#include "game/game_globals.h"

void resetGameGlobals()
{
    resetGameState();
    resetSoundState();
    resetJoystickMenuState();
    resetOptions();
}
