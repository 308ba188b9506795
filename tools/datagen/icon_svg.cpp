#include "tools/datagen/icon_svg.h"

#include "tools/datagen/icon_shading.h"
#include "tools/datagen/png_writer.h"
#include "tools/datagen/textures.h"

#include <cmath>
#include <cstdio>
#include <vector>

namespace {

constexpr float kSide = 256; // user units across the picture

std::string number(float value, int decimals = 2)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

std::string hex(Colour c)
{
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", static_cast<unsigned>(std::lround(clamp01(c.r) * 255)),
                  static_cast<unsigned>(std::lround(clamp01(c.g) * 255)),
                  static_cast<unsigned>(std::lround(clamp01(c.b) * 255)));
    return text;
}

std::string base64(const std::vector<uint8_t>& bytes)
{
    static const char digits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string text;
    for (size_t i = 0; i < bytes.size(); i += 3) {
        const uint32_t n = bytes[i] << 16 | (i + 1 < bytes.size() ? bytes[i + 1] << 8 : 0) |
                           (i + 2 < bytes.size() ? bytes[i + 2] : 0);
        text += digits[n >> 18 & 63];
        text += digits[n >> 12 & 63];
        text += i + 1 < bytes.size() ? digits[n >> 6 & 63] : '=';
        text += i + 2 < bytes.size() ? digits[n & 63] : '=';
    }
    return text;
}

std::string stop(float offset, const std::string& colour, float opacity)
{
    return "      <stop offset=\"" + number(offset, 3) + "\" stop-color=\"" + colour + "\" stop-opacity=\"" +
           number(clamp01(opacity), 3) + "\"/>\n";
}

// A light factor k as an overlay: black darkens by 1 - k, white brightens.
std::string lightStop(float offset, float k)
{
    return k < 1 ? stop(offset, "#000000", 1 - k) : stop(offset, "#ffffff", k - 1);
}

// The tile's outline moved `inside` towards its middle, as a rounded square.
std::string tileRect(float inside, const std::string& attributes)
{
    const float half = kTileHalf - inside;
    return "<rect x=\"" + number((0.5f - half) * kSide) + "\" y=\"" + number((0.5f - half) * kSide) + "\" width=\"" +
           number(2 * half * kSide) + "\" height=\"" + number(2 * half * kSide) + "\" rx=\"" +
           number((kTileCorner - inside) * kSide) + "\" " + attributes + "/>";
}

std::string textureImage(Surface surface)
{
    const Image texture = makeSurfaceTexture(surface);
    std::vector<uint8_t> rgba;
    for (size_t i = 0; i < texture.rgb.size(); i += 3)
        rgba.insert(rgba.end(), {texture.rgb[i], texture.rgb[i + 1], texture.rgb[i + 2], 255});
    return "data:image/png;base64," + base64(encodePng(texture.width, texture.height, rgba));
}

// The ground's light falls off from the upper left corner: one gradient
// along its slope, from the corner to the tile's far corner.
std::string groundGradient()
{
    const float gu = groundLight(1, 0) - groundLight(0, 0), gv = groundLight(0, 1) - groundLight(0, 0);
    const float far = 0.5f + kTileHalf, top = groundLight(0, 0), bottom = groundLight(far, far);
    const float length = (top - bottom) / std::hypot(gu, gv);
    const float du = -gu / std::hypot(gu, gv) * length, dv = -gv / std::hypot(gu, gv) * length;
    std::string text = "    <linearGradient id=\"light\" gradientUnits=\"userSpaceOnUse\" x1=\"0\" y1=\"0\" x2=\"" +
                       number(du * kSide) + "\" y2=\"" + number(dv * kSide) + "\">\n";
    const float unity = (top - 1) / (top - bottom);
    for (int i = 0; i <= 8; ++i) {
        const float t = i / 8.0f;
        if (unity > 0 && unity < 1 && t > unity && t - 1 / 8.0f < unity)
            text += stop(unity, "#ffffff", 0) + stop(unity, "#000000", 0);
        text += lightStop(t, top + (bottom - top) * t);
    }
    return text + "    </linearGradient>\n";
}

// The rim: nested strokes on the tile's edge, each reaching a band further
// in, with opacities whose product in each band is that band's rim light.
std::string rimStrokes()
{
    constexpr int kBands = 5;
    constexpr float kBand = 0.01f;
    std::string text;
    for (int band = kBands - 1; band >= 0; --band) {
        const float light = rimLight((band + 0.5f) * kBand);
        const float inner = band + 1 < kBands ? rimLight((band + 1.5f) * kBand) : 1.0f;
        text += "    " +
                tileRect(0, "fill=\"none\" stroke=\"#000000\" stroke-width=\"" +
                                number(2 * (band + 1) * kBand * kSide) + "\" stroke-opacity=\"" +
                                number(1 - light / inner, 3) + "\"") +
                "\n";
    }
    return text;
}

std::string shadowGradient()
{
    const float reach = kMarbleRadius * 1.15f;
    std::string text = "    <radialGradient id=\"shadow\">\n";
    for (float t : {0.0f, 0.75f / 1.15f, 0.7f, 0.75f, 0.8f, 0.85f, 0.9f, 0.95f, 1.0f})
        text += stop(t, "#000000", 1 - shadowLight(t * reach));
    return text + "    </radialGradient>\n";
}

// An SVG radial gradient with a focus gives each point the colour of how far
// it lies from the focus (the brightest point) towards the edge: each stop
// is the mean shade of its ring, over every direction from the focus,
// weighted by the area each direction covers.
std::string marbleGradient(Colour marble)
{
    constexpr int kDirections = 64;
    std::string text = "    <radialGradient id=\"marble\" gradientUnits=\"userSpaceOnUse\" cx=\"" +
                       number(kMarbleU * kSide) + "\" cy=\"" + number(kMarbleV * kSide) + "\" r=\"" +
                       number(kMarbleRadius * kSide) + "\" fx=\"" +
                       number((kMarbleU + kLightX * kMarbleRadius) * kSide) + "\" fy=\"" +
                       number((kMarbleV + kLightY * kMarbleRadius) * kSide) + "\">\n";
    for (int i = 0; i <= 10; ++i) {
        const float t = i / 10.0f;
        Colour sum{0, 0, 0};
        float weight = 0;
        for (int k = 0; k < kDirections; ++k) {
            // Where the ray from the focus in this direction leaves the unit circle.
            const float a = 6.2831853f * (k + 0.5f) / kDirections, cu = std::cos(a), cv = std::sin(a);
            const float along = kLightX * cu + kLightY * cv;
            const float reach = -along + std::sqrt(along * along + 1 - kLightX * kLightX - kLightY * kLightY);
            const float du = kLightX + cu * reach * t * 0.999f, dv = kLightY + cv * reach * t * 0.999f;
            const Colour c = marbleShade(marble, du, dv);
            const float w = reach * reach;
            sum = {sum.r + c.r * w, sum.g + c.g * w, sum.b + c.b * w};
            weight += w;
        }
        text += stop(t, hex(scaled(sum, 1 / weight)), 1);
    }
    return text + "    </radialGradient>\n";
}

// The highlight sits where the light is reflected towards the viewer; its
// reach, in radii, is where it fades below one step of a byte.
struct Highlight {
    float u, v, reach;
};

Highlight findHighlight()
{
    const float length = std::hypot(kLightX, kLightY, kLightZ + 1);
    Highlight h{kLightX / length, kLightY / length, 0};
    while (h.reach < 1 && marbleHighlight(h.u + h.reach, h.v) > 1 / 255.0f)
        h.reach += 0.005f;
    return h;
}

std::string highlightGradient(Highlight h)
{
    std::string text = "    <radialGradient id=\"highlight\">\n";
    for (int i = 0; i <= 6; ++i)
        text += stop(i / 6.0f, "#ffffff", marbleHighlight(h.u + h.reach * i / 6.0f, h.v));
    return text + "    </radialGradient>\n";
}

std::string circle(float u, float v, float radius, const std::string& fill)
{
    return "  <circle cx=\"" + number(u * kSide) + "\" cy=\"" + number(v * kSide) + "\" r=\"" +
           number(radius * kSide) + "\" fill=\"url(#" + fill + ")\"/>\n";
}

} // namespace

std::string makeIconSvg(const LevelDesign& level)
{
    const Colour marble = hexToColour(level.marbleColour);
    const Highlight shine = findHighlight();
    const float shadowReach = kMarbleRadius * 1.15f;
    const std::string side = number(kSide, 0);
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<!-- Written by orbivale-datagen: " +
           level.title +
           ", its marble on its ground. -->\n"
           "<svg xmlns=\"http://www.w3.org/2000/svg\" xmlns:xlink=\"http://www.w3.org/1999/xlink\" width=\"" +
           side + "\" height=\"" + side + "\" viewBox=\"0 0 " + side + " " + side +
           "\">\n"
           "  <defs>\n    <clipPath id=\"tile\">" +
           tileRect(0, "") + "</clipPath>\n" + groundGradient() + shadowGradient() + marbleGradient(marble) +
           highlightGradient(shine) +
           "  </defs>\n"
           "  <g clip-path=\"url(#tile)\">\n"
           "    <image width=\"" +
           side + "\" height=\"" + side + "\" preserveAspectRatio=\"none\" xlink:href=\"" +
           textureImage(level.surface) +
           "\"/>\n"
           "    <rect width=\"" +
           side + "\" height=\"" + side + "\" fill=\"url(#light)\"/>\n" + rimStrokes() + "    <ellipse cx=\"" +
           number(kShadowU * kSide) + "\" cy=\"" + number(kShadowV * kSide) + "\" rx=\"" +
           number(shadowReach * kShadowStretchU * kSide) + "\" ry=\"" + number(shadowReach * kShadowStretchV * kSide) +
           "\" fill=\"url(#shadow)\"/>\n  </g>\n" + circle(kMarbleU, kMarbleV, kMarbleRadius, "marble") +
           circle(kMarbleU + shine.u * kMarbleRadius, kMarbleV + shine.v * kMarbleRadius, shine.reach * kMarbleRadius,
                  "highlight") +
           "</svg>\n";
}
