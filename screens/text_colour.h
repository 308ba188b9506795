#pragma once

#include "render/font.h"

// Sets the text colour from 0..1 parts: orbivale-gl takes them as they are,
// orbivale-glide as bytes (the parts times 255, truncated) without alpha.
void setTextColour(float r, float g, float b, float a = 1.0f);

// The grey of what cannot be chosen: 0.5 in orbivale-gl, the byte 128 in orbivale-glide.
void setGreyTextColour();
