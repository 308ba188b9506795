#pragma once

#include <memory>
#include <string>

// The game's one proportional bitmap font: glyph boxes from a description
// file, glyph images in a texture the renderer holds, and a small drawing
// state (pen, line start, scale, colour) that callers set before each string.
class Font {
public:
    // orbivale-gl: imageBase names nine BMP levels (base_0.bmp to base_8.bmp);
    // orbivale-glide: a .3df file. False after a failure, which is reported
    // where the game has a message for it.
    bool load(const std::string& imageBase, const std::string& descriptionPath);

    void setScale(float scale) { textScale = scale; }
    float scale() const { return textScale; }
    void setPosition(float x, float y);
    // orbivale-gl: 0 to 1 with alpha.
    void setColour(float r, float g, float b, float a);
    // orbivale-glide: 0 to 255, kept packed as the card takes it.
    void setColour(float r, float g, float b);

    // Draws from the pen and leaves the pen after the last character; "\n"
    // goes back to the line start one line lower.
    void drawText(const char* text);
    void drawNumber(float value, int decimals);
    // Width drawText would advance over a one-line string at the current scale.
    float textWidth(const char* text) const;
    // The height of one line at the current scale (the height of "!").
    float lineHeight() const;

    bool isLoaded() const { return loaded; }
    float penX = 0.0f, penY = 0.0f;

    // Glyph boxes in texels of the 256 x 256 image, by character byte.
    float left[256] = {}, right[256] = {}, top[256] = {}, bottom[256] = {};
    int firstChar = -1;
    int lastChar = -1;

private:
    bool loadGlyphImages(const std::string& imageBase);
    bool readDescription(const std::string& path);
    // A table may claim any range: only real character bytes have a box.
    bool hasGlyph(int c) const { return c >= 0 && c < 256 && c >= firstChar && c <= lastChar; }
    float advance(int c) const;

    bool loaded = false;
    float lineStartX = 0.0f, lineStartY = 0.0f;
    float textScale = 1.0f;
    float colour[4] = {1.0f, 1.0f, 1.0f, 1.0f}; // orbivale-gl
    unsigned packedColour = 0xff0000;           // orbivale-glide: 0x00RRGGBB
};

// The standard text size: 13-pixel lines from a 33-texel "!".
constexpr float kSmallTextScale = 13.0f / 33.0f;

// The decimal form drawNumber draws: truncated for 0 decimals, rounded to
// the given decimals otherwise.
std::string formatNumber(float value, int decimals);

extern Font font;
