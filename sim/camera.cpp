#include "sim/camera.h"

// Filled in with the camera; cameraView keeps its identity view until then.
void updateCamera() {}
