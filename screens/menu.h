#pragma once

#include "game/menu_item.h"

// The cursor number of a line in the running program; 0 for a line it lacks.
int menuNumber(MenuItem item);
// The line a cursor number stands on.
MenuItem menuItemAt(int cursor);
bool cursorOnOptionsPage(int cursor);

// The cursor after a move up or down, skipping lines that cannot be chosen.
int menuCursorAfterUp(int cursor);
int menuCursorAfterDown(int cursor);
