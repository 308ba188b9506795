#include "render/font.h"

#include "files/bmp.h"
#include "game/edition.h"
#include "game/edition_rules.h"
#include "levels/text_reader.h"
#include "platform/platform.h"
#include "render/renderer.h"

#include <cmath>
#include <cstdio>
#include <vector>

Font font;

namespace {

constexpr int kGlyphImageLevels = kFontMipLevels;
constexpr float kUnknownCharAdvance = 10.0f;

std::string wholeNumberText(double value)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.0f", std::trunc(value));
    std::string text = buffer;
    return text == "-0" ? "0" : text;
}

} // namespace

std::string formatNumber(float value, int decimals)
{
    // Anything that is not a number is shown as nothing rather than garbage.
    if (!std::isfinite(value))
        return "0";
    if (decimals <= 0)
        return wholeNumberText(value);
    // Every step in single precision, as the times themselves are kept: a
    // stored 10.165 is 10.1649999 but 1016.5 once scaled, so it shows 10.17.
    // Negative values are formatted as their size with a minus sign in front.
    std::string sign = value < 0.0f ? "-" : "";
    float magnitude = std::fabs(value);
    float p = std::pow(10.0f, static_cast<float>(decimals));
    float scaled = magnitude * p + 0.5f;
    // Beyond the float range once scaled, the value has no fraction to round.
    float rounded = std::isfinite(scaled) ? std::trunc(scaled) / p : magnitude;
    float whole = std::trunc(rounded);
    float frac = std::trunc((rounded - whole) * p + 0.5f);
    if (frac >= p) { // rounding carried into the whole part
        whole += 1.0f;
        frac -= p;
    }
    std::string fracText = wholeNumberText(frac);
    std::string zeros(fracText.size() < static_cast<size_t>(decimals) ? decimals - fracText.size() : 0, '0');
    if (sign == "-" && whole == 0.0f && frac == 0.0f)
        sign.clear();
    return sign + wholeNumberText(whole) + "." + zeros + fracText;
}

bool Font::loadGlyphImages(const std::string& imageBase)
{
    if (isGlide())
        return renderer->loadFontTexture(imageBase);
    std::vector<uint8_t> images(kGlyphImageLevels * kFontMipSlotBytes);
    for (int level = 0; level < kGlyphImageLevels; ++level) {
        std::string name = imageBase + "_" + std::to_string(level) + ".bmp";
        if (!readBmp(name, images.data() + level * kFontMipSlotBytes, kFontMipSlotBytes)) {
            platform->messageBox(name, "error");
            return false;
        }
    }
    renderer->uploadFontTexture(images.data());
    return true;
}

bool Font::readDescription(const std::string& path)
{
    TextReader in;
    if (!in.open(path, kFontTableLimit))
        return false;
    int32_t first, last;
    if (!in.readInt(first) || !in.readInt(last))
        return false;
    char c;
    if (!in.readChar(c))
        return false;
    for (;;) {
        unsigned char index = static_cast<unsigned char>(c);
        float box[4];
        // A box too large for a float has no place in the glyph texture.
        for (float& value : box)
            if (!in.readFloat(value) || !std::isfinite(value))
                return false;
        left[index] = box[0];
        top[index] = box[1];
        right[index] = box[2];
        bottom[index] = box[3];
        // A line end after the last record is as good as none.
        if (in.atEnd() || !in.readChar(c))
            break;
    }
    firstChar = first;
    lastChar = last;
    return true;
}

bool Font::load(const std::string& imageBase, const std::string& descriptionPath)
{
    if (!loadGlyphImages(imageBase) || !readDescription(descriptionPath))
        return false;
    loaded = true;
    return true;
}

void Font::setPosition(float x, float y)
{
    penX = lineStartX = x;
    penY = lineStartY = y;
}

void Font::setColour(float r, float g, float b, float a)
{
    colour[0] = r;
    colour[1] = g;
    colour[2] = b;
    colour[3] = a;
}

void Font::setColour(float r, float g, float b)
{
    auto part = [](float v) { return static_cast<unsigned>(static_cast<int>(v)) & 0xFFu; };
    packedColour = (part(r) << 16) | (part(g) << 8) | part(b);
}

float Font::advance(int c) const
{
    if (!hasGlyph(c))
        return kUnknownCharAdvance * textScale;
    return (right[c] - left[c]) * textScale;
}

float Font::lineHeight() const { return (bottom[int('!')] - top[int('!')]) * textScale; }

void Font::drawText(const char* text)
{
    if (!loaded)
        return;
    Colour textColour;
    if (rules().textColourInBytes)
        textColour = Colour{((packedColour >> 16) & 0xFF) / 255.0f, ((packedColour >> 8) & 0xFF) / 255.0f,
                            (packedColour & 0xFF) / 255.0f, 1.0f};
    else
        textColour = Colour{colour[0], colour[1], colour[2], colour[3]};

    renderer->beginText();
    for (const char* p = text; *p; ++p) {
        int c = static_cast<signed char>(*p); // bytes above 127 have no glyph
        if (c == '\n') {
            penX = lineStartX;
            penY += lineHeight();
            continue;
        }
        if (hasGlyph(c)) {
            float w = (right[c] - left[c]) * textScale;
            float h = (bottom[c] - top[c]) * textScale;
            renderer->drawGlyph(OverlayRect{penX, penY, penX + w, penY + h},
                                GlyphBox{left[c], top[c], right[c], bottom[c]}, textColour);
        }
        penX += advance(c);
    }
    renderer->endText();
}

void Font::drawNumber(float value, int decimals) { drawText(formatNumber(value, decimals).c_str()); }

float Font::textWidth(const char* text) const
{
    float width = 0.0f;
    for (const char* p = text; *p; ++p)
        width += advance(static_cast<signed char>(*p));
    return width;
}
