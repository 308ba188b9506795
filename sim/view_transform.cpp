#include "sim/view_transform.h"

ViewTransform cameraView;
