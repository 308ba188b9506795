#pragma once

#include "tools/datagen/image.h"
#include "tools/datagen/picture_text.h"

#include <string>

constexpr int kPictureWidth = 640;
constexpr int kPictureHeight = 480;

// The title: a view down a course with pits and the marble, the name, and the prompt.
Image makeTitlePicture(bool glide);
// A calm backdrop for the best-times table and the credits, drawn darkened under text.
Image makeBackPicture();
// orbivale-glide's closing picture: thanks, and how to get the game.
Image makeClosingPicture();

// graphics/title.bmp and graphics/back.bmp into both folders, and
// graphics/nag.bmp into orbivale-glide's.
bool writePictures(const std::string& glRoot, const std::string& glideRoot);
