#pragma once

// Follows the marble and writes cameraView, once per running frame.
void updateCamera();
