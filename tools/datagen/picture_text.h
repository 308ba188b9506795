#pragma once

#include <string>

// A line of lettering on a picture: centred on centreX, its top at `top`.
struct PictureText {
    std::string text;
    bool bold;
    int pixelSize;
    int centreX, top;
};

// The line on each edition's title that says what to press, filled white.
PictureText titlePrompt(bool glide);
