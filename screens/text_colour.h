#pragma once

#include "render/font.h"

// Sets the text colour from 0..1 parts: orbivale-gl takes them as they are,
// orbivale-glide as bytes without alpha.
void setTextColour(float r, float g, float b, float a = 1.0f);
