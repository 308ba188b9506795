#pragma once

#include <cstdint>
#include <string>
#include <vector>

// An 8-bit coverage map, top row first.
struct Coverage {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> alpha;
    uint8_t at(int x, int y) const { return alpha[static_cast<size_t>(y) * width + x]; }
};

// One rendered character: its antialiased ink, where the ink sits relative
// to the pen on the baseline, and how far the pen advances (pixels).
struct RenderedGlyph {
    Coverage ink;
    int left = 0; // ink's left edge right of the pen
    int top = 0;  // ink's top edge above the baseline
    int advance = 0;
};

// A TrueType face opened through FreeType at one pixel size.
class GlyphRaster {
public:
    GlyphRaster(const std::string& fontFile, int pixelSize);
    ~GlyphRaster();
    GlyphRaster(const GlyphRaster&) = delete;
    GlyphRaster& operator=(const GlyphRaster&) = delete;

    bool ok() const { return face != nullptr; }
    int ascender() const;  // pixels above the baseline
    int descender() const; // pixels below the baseline (positive)
    bool render(char c, RenderedGlyph& glyph) const;

    // A whole line with kerning-free pen advances, cropped to the pen range;
    // `baseline` receives the baseline row.
    Coverage renderLine(const std::string& text, int& baseline) const;

private:
    void* library = nullptr;
    void* face = nullptr;
};

// Where the generator finds its typefaces (DejaVu Sans).
std::string fontFilePath(bool bold);
