#pragma once

// Steering, physics step, falls and the goal, once per running frame.
void updateMarble();
