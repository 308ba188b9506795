#include "screens/frame.h"

// Filled in with the renderer; the window stays black until then.
void drawFrame() {}
