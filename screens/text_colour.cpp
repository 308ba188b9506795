#include "screens/text_colour.h"

#include "game/edition_rules.h"

void setGreyTextColour()
{
    float part = rules().greyTextPart;
    setTextColour(part, part, part);
}

void setTextColour(float r, float g, float b, float a)
{
    // The font truncates each part; n / 255 times 255 gives n back exactly
    // in float for every byte n.
    if (rules().textColourInBytes)
        font.setColour(r * 255.0f, g * 255.0f, b * 255.0f);
    else
        font.setColour(r, g, b, a);
}
