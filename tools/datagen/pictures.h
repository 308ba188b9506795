#pragma once

#include "tools/datagen/image.h"

#include <string>

constexpr int kPictureWidth = 640;
constexpr int kPictureHeight = 480;

// The title: a view down a course with pits and the marble, and the name.
Image makeTitlePicture();
// A calm backdrop for the best-times table and the credits, drawn darkened under text.
Image makeBackPicture();
// orbivale-glide's closing picture: thanks, and how to get the game.
Image makeClosingPicture();

// graphics/title.bmp and graphics/back.bmp, and for orbivale-glide graphics/nag.bmp.
bool writePictures(const std::string& root, bool closingPicture);
