#pragma once

// Key-down handler: every key in every game state.
void handleKeyDown(int keyCode);

// orbivale-gl's name entry, once per frame of the name-entry screen before
// it is drawn: takes the oldest key typed on that screen as the next letter
// of the name.
void runNameEntryStep();
