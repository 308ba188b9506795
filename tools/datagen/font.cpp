#include "tools/datagen/font.h"

#include "tools/datagen/bmp_writer.h"
#include "tools/datagen/image.h"
#include "tools/datagen/output.h"
#include "tools/tdf/tdf_writer.h"

#include <algorithm>
#include <cstdio>

namespace {

constexpr int kRowPitch = 36; // box height plus a gap, so smaller mipmaps keep rows apart
constexpr int kColumnGap = 2;
constexpr int kFirstRowTop = 2;

bool packAtPixelSize(int pixelSize, FontAtlas& atlas)
{
    GlyphRaster raster(fontFilePath(false), pixelSize);
    if (!raster.ok())
        return false;
    int baselineOffset = 1 + raster.ascender();
    if (baselineOffset + raster.descender() > kGlyphBoxHeight)
        return false;

    atlas.image = Coverage{kFontImageSize, kFontImageSize, std::vector<uint8_t>(kFontImageSize * kFontImageSize, 0)};
    atlas.boxes.clear();
    int x = kColumnGap, rowTop = kFirstRowTop;
    for (int code = atlas.firstChar; code <= atlas.lastChar; ++code) {
        RenderedGlyph glyph;
        if (!raster.render(static_cast<char>(code), glyph))
            return false;
        int minX = std::min(0, glyph.left);
        int maxX = std::max(glyph.advance, glyph.left + glyph.ink.width);
        int width = maxX - minX;
        if (x + width > kFontImageSize - kColumnGap) {
            x = kColumnGap;
            rowTop += kRowPitch;
        }
        if (rowTop + kGlyphBoxHeight > kFontImageSize)
            return false;
        int inkX = x - minX + glyph.left, inkY = rowTop + baselineOffset - glyph.top;
        for (int gy = 0; gy < glyph.ink.height; ++gy)
            for (int gx = 0; gx < glyph.ink.width; ++gx) {
                int tx = inkX + gx, ty = inkY + gy;
                if (ty < rowTop || ty >= rowTop + kGlyphBoxHeight)
                    continue; // never outside its own box
                atlas.image.alpha[static_cast<size_t>(ty) * kFontImageSize + tx] = glyph.ink.at(gx, gy);
            }
        atlas.boxes.push_back({static_cast<char>(code), x, rowTop, x + width, rowTop + kGlyphBoxHeight});
        x += width + kColumnGap;
    }
    return true;
}

Image whiteOnBlack(const Coverage& coverage)
{
    Image image(coverage.width, coverage.height);
    for (size_t i = 0; i < coverage.alpha.size(); ++i)
        for (int c = 0; c < 3; ++c)
            image.rgb[i * 3 + c] = coverage.alpha[i];
    return image;
}

} // namespace

bool buildFontAtlas(FontAtlas& atlas)
{
    // The largest size whose lines fit the box and whose glyphs fit the image.
    for (int pixelSize = 28; pixelSize >= 16; --pixelSize)
        if (packAtPixelSize(pixelSize, atlas))
            return true;
    std::fprintf(stderr, "datagen: cannot render the font from %s\n", fontFilePath(false).c_str());
    return false;
}

std::string fontDescriptionText(const FontAtlas& atlas)
{
    std::string text = std::to_string(atlas.firstChar) + "\n" + std::to_string(atlas.lastChar);
    for (const GlyphBox& box : atlas.boxes) {
        text += "\n";
        text += box.c;
        text += " " + std::to_string(box.left) + " " + std::to_string(box.top) + " " + std::to_string(box.right) +
                " " + std::to_string(box.bottom);
    }
    return text;
}

bool writeGlFont(const std::string& root, const FontAtlas& atlas)
{
    std::vector<Image> chain = mipChain(whiteOnBlack(atlas.image));
    for (size_t level = 0; level < chain.size(); ++level)
        if (!writeFile(root, "graphics/font/font_" + std::to_string(level) + ".bmp", encodeBmp(chain[level])))
            return false;
    return writeText(root, "graphics/font/font.dat", fontDescriptionText(atlas));
}

bool writeGlideFont(const std::string& root, const FontAtlas& atlas)
{
    TdfImage top{atlas.image.width, atlas.image.height, {}};
    for (uint8_t a : atlas.image.alpha)
        top.rgba.insert(top.rgba.end(), {255, 255, 255, a});
    std::vector<TdfImage> levels;
    std::vector<uint8_t> file;
    if (!tdfMakeMipChain(top, 1, levels) || !tdfEncode("ai88", levels, file))
        return false;
    return writeFile(root, "graphics/newFont.3df", file) &&
           writeText(root, "misc/newFont.dat", fontDescriptionText(atlas));
}
