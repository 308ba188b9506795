#pragma once

// The font and the terrain statistics: the globals of the common drawing
// code. The renderer itself belongs to the program (or the test) that made it.
#include "render/font.h"
#include "render/terrain_draw.h"

// No font loaded and no vertex counted, as at program start.
void resetRenderGlobals();
