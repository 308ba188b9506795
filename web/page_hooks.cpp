// What the page (and its browser test) may read of the running game: the
// state, the marble's place and where the menu cursor stands; and one way
// to end a level at once.
#include "game/game_state.h"
#include "screens/menu.h"
#include "sim/marble.h"

#include <emscripten.h>

extern "C" {

EMSCRIPTEN_KEEPALIVE int orbivale_game_state() { return static_cast<int>(gameState); }

EMSCRIPTEN_KEEPALIVE int orbivale_menu_shown() { return menuShown ? 1 : 0; }

EMSCRIPTEN_KEEPALIVE int orbivale_menu_cursor() { return menuCursor; }

EMSCRIPTEN_KEEPALIVE int orbivale_cursor_on_best_times() { return menuItemAt(menuCursor) == MenuItem::HighScore; }

EMSCRIPTEN_KEEPALIVE int orbivale_level() { return levelNumber; }

EMSCRIPTEN_KEEPALIVE int orbivale_frames_per_second() { return framesPerSecond; }

// Leaves the level's clock a moment from running out, so that a test can end
// a game without playing it through.
EMSCRIPTEN_KEEPALIVE void orbivale_run_clock_down()
{
    if (gameState == GameState::Playing && timeLeft > 0.5f)
        timeLeft = 0.5f;
}

// Axis 0, 1 or 2 of the marble's contact point.
EMSCRIPTEN_KEEPALIVE float orbivale_marble(int axis)
{
    Vec3 p = marble.position();
    return axis == 0 ? p.x : axis == 1 ? p.y : p.z;
}
}
