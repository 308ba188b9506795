#pragma once

// Every global of game/ is declared in one of these; resetGameGlobals puts
// them all back to their values at program start (the edition excepted: each
// main sets it first).
#include "game/edition.h"
#include "game/game_state.h"
#include "game/joystick_menu.h"
#include "game/options.h"
#include "game/sound.h"

void resetGameGlobals();
