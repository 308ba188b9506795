#pragma once

#include "tools/datagen/image.h"

#include <string>

// The surface looks of the levels.
enum class Surface { Stone, Grass, Sand, Ice, Metal, Lava };

// File base name of a surface's texture ("stone", "grass", ...).
std::string surfaceName(Surface surface);

// A 128 x 128 texture that tiles without seams.
Image makeSurfaceTexture(Surface surface);

// Writes the eight mipmap files base_0.bmp (128 x 128) .. base_7.bmp (1 x 1)
// under root/maps/ for orbivale-gl.
bool writeGlSurfaceTexture(const std::string& root, Surface surface);

// Writes root/maps/<base>.3df for orbivale-glide: every level texture shares
// one size and format (128 x 128 rgb565, all eight mipmap levels), because
// the game reuses the first level's texture memory for the later ones.
bool writeGlideSurfaceTexture(const std::string& root, Surface surface);
