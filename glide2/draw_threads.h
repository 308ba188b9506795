#pragma once

// How many threads the software card draws with. The screen is cut into
// bands of rows; each thread draws whole bands, so every pixel comes out as
// one thread would draw it. 0 (the default) takes the environment variable
// ORBIVALE_GLIDE2_THREADS if set, else one thread per hardware thread; 1
// draws every triangle on the calling thread as it is submitted.
void glide2SetThreadCount(int count);

// The number of threads drawing now (1 before grSstWinOpen).
int glide2ThreadCount();
