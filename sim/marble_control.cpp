#include "sim/marble_control.h"

// Filled in with the physics; nothing moves until then.
void updateMarble() {}
