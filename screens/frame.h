#pragma once

// Draws and presents the frame of the current game state.
void drawFrame();
