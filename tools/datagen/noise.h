#pragma once

#include <cstdint>

// Deterministic integer hash to [0, 1).
float hashUnit(uint32_t a, uint32_t b, uint32_t seed);

// Smooth value noise on a lattice that wraps every `period` cells, so a
// texture sampled over exactly one period tiles without seams. x, y in cells.
float tiledNoise(float x, float y, int period, uint32_t seed);
// The same with separate periods across and down, for stretched patterns.
float tiledNoise2(float x, float y, int periodX, int periodY, uint32_t seed);

// Sum of octaves, each twice the frequency and `gain` times the amplitude of
// the one before; u, v in 0..1 over one tile. Result roughly in 0..1.
float tiledFbm(float u, float v, int basePeriod, int octaves, float gain, uint32_t seed);

// Cellular pattern over one tile split into period x period cells with one
// jittered point each (wrapping). Gives the distances to the nearest and the
// second-nearest point, in cell units, and the id of the nearest cell.
struct CellSample {
    float nearest;
    float second;
    uint32_t cellId;
};
CellSample tiledCells(float u, float v, int period, uint32_t seed);

// Small deterministic generator for layouts and music variation.
struct Rng {
    uint32_t state;
    explicit Rng(uint32_t seed) : state(seed ? seed : 1u) {}
    uint32_t next();
    float unit();                    // [0, 1)
    float range(float lo, float hi); // [lo, hi)
};
