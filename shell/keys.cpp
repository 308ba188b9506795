#include "shell/keys.h"

#include "shell/shell_state.h"

// The menus and options act on keys once they exist; the last key is kept for
// the name entry already.
void handleKeyDown(int keyCode) { lastKey = static_cast<uint8_t>(keyCode & 0xFF); }
