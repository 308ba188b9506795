#include "sim/marble.h"

Marble marble;
