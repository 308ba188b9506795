#pragma once

// The game's picture in pixels, whatever the window or the card: every
// screen position, overlay and picture is laid out in it.
constexpr int kScreenWidth = 640;
constexpr int kScreenHeight = 480;
