#pragma once

// Triangles waiting for the card's drawing threads. With one thread a
// triangle is drawn as it comes; with more they wait, binned by bands of
// rows, until something needs the pixels, the textures or the fog table.

#include "glide2/raster.h"

// Draws the triangle now or queues it with a copy of what it needs.
void queueTriangle(const Pipeline& p, const TriangleSetup& s, const Target& target, bool textured);

// Draws every queued triangle; call before reading or changing pixels,
// texture memory or the fog table.
void finishDrawing();

// Paced frames that one thread draws in well under a refresh leave the
// helpers asleep (waking them costs more than they save); a frame that takes
// longer calls them back. Decided at each swap, with the queue empty.
void paceDrawThreads(bool paced, double frameSeconds, double refreshSeconds);

// Starts the threads grSstWinOpen asks for; stops them (after finishing).
void startDrawThreads();
void stopDrawThreads();
