#pragma once

#include "tools/datagen/levels.h"

#include <cstdint>
#include <string>
#include <vector>

// The sizes of the hicolor theme icons the programs install.
constexpr int kIconSizes[] = {16, 24, 32, 48, 64, 128, 256};
// The window icon's side, in pixels.
constexpr int kWindowIconSide = 64;

// A program's icon: its first level's marble resting on a rounded tile of
// that level's surface, transparent around the tile. RGBA, top row first.
std::vector<uint8_t> makeIcon(const LevelDesign& level, int size);

// <out>/icons/hicolor/<n>x<n>/apps/orbivale-gl.png and orbivale-glide.png for
// every size, the same pictures as SVG in scalable/apps/, and
// <out>/icons/window_icon.inc: the 64-pixel icons of both
// programs as C++ byte arrays (kWindowIconGl, kWindowIconGlide, side
// kWindowIconSize). A program sets its own with
//   SDL_CreateRGBSurfaceWithFormatFrom(pixels, side, side, 32, side * 4, SDL_PIXELFORMAT_RGBA32)
// and SDL_SetWindowIcon; its target then needs ${CMAKE_BINARY_DIR}/data on the
// include path and a dependency on orbivale-data.
bool writeIcons(const std::string& out);
