#include "render/render_globals.h"

void resetRenderGlobals()
{
    font = Font();
    terrainVerticesProjected = 0;
}
