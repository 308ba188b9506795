#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// An RGB picture held top row first, 3 bytes per pixel (red, green, blue).
struct Image {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;

    Image() = default;
    Image(int w, int h) : width(w), height(h), rgb(static_cast<size_t>(w) * h * 3, 0) {}

    uint8_t* at(int x, int y) { return &rgb[(static_cast<size_t>(y) * width + x) * 3]; }
    const uint8_t* at(int x, int y) const { return &rgb[(static_cast<size_t>(y) * width + x) * 3]; }
    void set(int x, int y, float r, float g, float b);
};

// Colour as floats 0..1, for the painting code.
struct Colour {
    float r, g, b;
};

// 0xRRGGBB, as the map files give colours.
Colour hexToColour(uint32_t rgb);
Colour mix(Colour a, Colour b, float t);
Colour scaled(Colour c, float k);
float clamp01(float v);
float smoothstep(float edge0, float edge1, float x);

// Half size in both directions: each pixel is the rounded mean of a 2x2 block.
Image boxDownsample(const Image& src);

// Full chain from the image itself down to 1x1 (square, power-of-two sizes).
std::vector<Image> mipChain(const Image& top);
