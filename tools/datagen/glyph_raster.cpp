#include "tools/datagen/glyph_raster.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>

#ifndef ORBIVALE_FONT_DIR
#define ORBIVALE_FONT_DIR "/usr/share/fonts/truetype/dejavu"
#endif

std::string fontFilePath(bool bold)
{
    return std::string(ORBIVALE_FONT_DIR) + (bold ? "/DejaVuSans-Bold.ttf" : "/DejaVuSans.ttf");
}

GlyphRaster::GlyphRaster(const std::string& fontFile, int pixelSize)
{
    FT_Library lib = nullptr;
    if (FT_Init_FreeType(&lib) != 0)
        return;
    library = lib;
    FT_Face f = nullptr;
    if (FT_New_Face(lib, fontFile.c_str(), 0, &f) != 0)
        return;
    if (FT_Set_Pixel_Sizes(f, 0, static_cast<FT_UInt>(pixelSize)) != 0) {
        FT_Done_Face(f);
        return;
    }
    face = f;
}

GlyphRaster::~GlyphRaster()
{
    if (face)
        FT_Done_Face(static_cast<FT_Face>(face));
    if (library)
        FT_Done_FreeType(static_cast<FT_Library>(library));
}

int GlyphRaster::ascender() const
{
    return static_cast<int>((static_cast<FT_Face>(face)->size->metrics.ascender + 63) >> 6);
}

int GlyphRaster::descender() const
{
    return static_cast<int>((-static_cast<FT_Face>(face)->size->metrics.descender + 63) >> 6);
}

bool GlyphRaster::render(char c, RenderedGlyph& glyph) const
{
    FT_Face f = static_cast<FT_Face>(face);
    if (!f || FT_Load_Char(f, static_cast<unsigned char>(c), FT_LOAD_RENDER | FT_LOAD_TARGET_LIGHT) != 0)
        return false;
    const FT_Bitmap& bitmap = f->glyph->bitmap;
    glyph.ink.width = static_cast<int>(bitmap.width);
    glyph.ink.height = static_cast<int>(bitmap.rows);
    glyph.ink.alpha.assign(static_cast<size_t>(glyph.ink.width) * glyph.ink.height, 0);
    for (int y = 0; y < glyph.ink.height; ++y)
        for (int x = 0; x < glyph.ink.width; ++x)
            glyph.ink.alpha[static_cast<size_t>(y) * glyph.ink.width + x] = bitmap.buffer[y * bitmap.pitch + x];
    glyph.left = f->glyph->bitmap_left;
    glyph.top = f->glyph->bitmap_top;
    glyph.advance = static_cast<int>((f->glyph->advance.x + 32) >> 6);
    return true;
}

Coverage GlyphRaster::renderLine(const std::string& text, int& baseline) const
{
    std::vector<RenderedGlyph> glyphs(text.size());
    int width = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        render(text[i], glyphs[i]);
        width += glyphs[i].advance;
    }
    baseline = ascender();
    Coverage line;
    line.width = std::max(1, width);
    line.height = ascender() + descender();
    line.alpha.assign(static_cast<size_t>(line.width) * line.height, 0);
    int pen = 0;
    for (const RenderedGlyph& g : glyphs) {
        for (int y = 0; y < g.ink.height; ++y)
            for (int x = 0; x < g.ink.width; ++x) {
                int tx = pen + g.left + x, ty = baseline - g.top + y;
                if (tx < 0 || tx >= line.width || ty < 0 || ty >= line.height)
                    continue;
                uint8_t& dst = line.alpha[static_cast<size_t>(ty) * line.width + tx];
                dst = std::max(dst, g.ink.at(x, y));
            }
        pen += g.advance;
    }
    return line;
}
