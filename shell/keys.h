#pragma once

// Key-down handler: every key in every game state.
void handleKeyDown(int keyCode);
