#pragma once

// How the software card shows its screen: grBufferSwap hands the new front
// buffer to the presenter the program registered, as 0x00RRGGBB words with
// the card's output gamma applied (grGammaCorrectionValue; 1.7 after
// grSstWinOpen, 1.0 shows the stored colours unchanged). Rows are top first,
// `width` words apart. The pixels stay as they are until the next swap or
// grGlideShutdown.

#include <cstdint>

typedef void (*Glide2Presenter)(void* userData, const std::uint32_t* pixels, int width, int height);

// Register before grSstWinOpen; without a presenter grSstQueryHardware finds
// no card. Passing nullptr unregisters.
void glide2SetPresenter(Glide2Presenter presenter, void* userData);
