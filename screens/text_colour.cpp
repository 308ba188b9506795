#include "screens/text_colour.h"

#include "shell/edition.h"

void setTextColour(float r, float g, float b, float a)
{
    // Rounded, so that a part given as n / 255 arrives as the byte n.
    if (isGlide())
        font.setColour(r * 255.0f + 0.5f, g * 255.0f + 0.5f, b * 255.0f + 0.5f);
    else
        font.setColour(r, g, b, a);
}
