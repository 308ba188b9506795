#include "screens/screens_globals.h"

void resetScreensGlobals()
{
    resetCues();
    resetHudState();
    resetPictures();
}
