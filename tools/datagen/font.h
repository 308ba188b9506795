#pragma once

#include "tools/datagen/glyph_raster.h"

#include <string>
#include <vector>

// Box of one character in the 256 x 256 glyph image, in texels from its
// top-left corner; the box includes the character's own spacing.
struct GlyphBox {
    char c;
    int left, top, right, bottom;
};

constexpr int kFontImageSize = 256;
constexpr int kGlyphBoxHeight = 33; // the line height: the standard scale 13/33 gives 13-pixel lines

struct FontAtlas {
    Coverage image; // white-on-black coverage, 256 x 256
    int firstChar = '!';
    int lastChar = '~';
    std::vector<GlyphBox> boxes;
};

// Renders every printable character from '!' to '~' into one image.
bool buildFontAtlas(FontAtlas& atlas);

// The glyph table: first and last character, then "c left top right bottom"
// per character; the text ends right after the last number.
std::string fontDescriptionText(const FontAtlas& atlas);

// orbivale-gl: graphics/font/font_0.bmp (256 x 256) .. font_8.bmp (1 x 1) and graphics/font/font.dat.
bool writeGlFont(const std::string& root, const FontAtlas& atlas);
// orbivale-glide: graphics/newFont.3df (coverage in alpha) and misc/newFont.dat.
bool writeGlideFont(const std::string& root, const FontAtlas& atlas);
