#pragma once

// The marble, its steering and control, and the camera: the globals of sim/.
#include "sim/camera.h"
#include "sim/marble.h"
#include "sim/marble_control.h"
#include "sim/steering.h"
#include "sim/view_transform.h"

// Every one of them back to its value at program start.
void resetSimGlobals();
