#include "tools/datagen/textures.h"

#include "tools/datagen/bmp_writer.h"
#include "tools/datagen/noise.h"
#include "tools/datagen/output.h"
#include "tools/tdf/tdf_writer.h"

#include <algorithm>
#include <cmath>
#include <functional>

namespace {

constexpr int kSize = 128;
constexpr float kPi = 3.14159265358979f;

Image paint(const std::function<Colour(float, float)>& shader)
{
    Image image(kSize, kSize);
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            Colour c = shader((x + 0.5f) / kSize, (y + 0.5f) / kSize);
            image.set(x, y, c.r, c.g, c.b);
        }
    }
    return image;
}

// The terrain is drawn without lighting and under fog, so pits and mounds
// show only as the texture bends over them: every surface is a regular
// pattern of n x n squares per tile, dark and light far apart in brightness,
// whose edges are straight lines on flat ground and curves over a pit. The
// surface's own detail stays faint so that it never hides the pattern.

// 0 on a dark square, 1 on a light one, softened over a texel at the edges.
float checker(float u, float v, int n)
{
    float gx = u * n, gy = v * n;
    float fx = gx - std::floor(gx), fy = gy - std::floor(gy);
    bool light = ((static_cast<int>(std::floor(gx)) + static_cast<int>(std::floor(gy))) & 1) != 0;
    float edge = std::min(std::min(fx, 1.0f - fx), std::min(fy, 1.0f - fy)) * 128.0f / n;
    float soft = smoothstep(0.0f, 1.0f, edge);
    return light ? 0.5f + 0.5f * soft : 0.5f - 0.5f * soft;
}

// 1 on the lines between the n x n squares of a tile (`width` texels wide), 0 elsewhere.
float gridLines(float u, float v, int n, float width)
{
    float gx = u * n, gy = v * n;
    float fx = gx - std::floor(gx), fy = gy - std::floor(gy);
    float texels = std::min(std::min(fx, 1.0f - fx), std::min(fy, 1.0f - fy)) * 128.0f / n;
    return 1.0f - smoothstep(0.5f * width - 0.5f, 0.5f * width + 0.5f, texels);
}

// Setts: square stones laid in a grid, light and dark in turn, in dark mortar.
Colour stone(float u, float v)
{
    float grain = tiledFbm(u, v, 8, 4, 0.55f, 13);
    int ix = static_cast<int>(std::floor(u * 4.0f)), iy = static_cast<int>(std::floor(v * 4.0f));
    float tint = hashUnit(static_cast<uint32_t>(ix + 4 * iy), 3, 12);
    Colour dark = mix(Colour{0.30f, 0.29f, 0.27f}, Colour{0.36f, 0.33f, 0.30f}, tint);
    Colour light = mix(Colour{0.82f, 0.80f, 0.74f}, Colour{0.90f, 0.85f, 0.76f}, tint);
    Colour rock = scaled(mix(dark, light, checker(u, v, 4)), 0.92f + 0.16f * grain);
    return mix(rock, Colour{0.10f, 0.09f, 0.08f}, gridLines(u, v, 4, 3.0f));
}

// Meadow: a lawn mown in squares, dark and bright, with faint blades.
Colour grass(float u, float v)
{
    float blades = tiledNoise2(u * 48.0f, v * 12.0f, 48, 12, 22);
    float fine = tiledNoise(u * 64.0f, v * 64.0f, 64, 23);
    Colour dark{0.08f, 0.24f, 0.05f}, light{0.56f, 0.86f, 0.30f};
    Colour c = mix(dark, light, checker(u, v, 4));
    return scaled(c, 0.90f + 0.1f * fine + 0.1f * (blades - 0.5f));
}

// Desert: sand raked into squares, shaded and sunlit, with fine ripples.
Colour sand(float u, float v)
{
    float ripple = 0.5f + 0.5f * std::sin(2.0f * kPi * 16.0f * v);
    float grain = tiledNoise(u * 64.0f, v * 64.0f, 64, 32);
    Colour c = mix(Colour{0.42f, 0.29f, 0.14f}, Colour{1.0f, 0.90f, 0.66f}, checker(u, v, 4));
    return scaled(c, (0.93f + 0.07f * ripple) * (0.95f + 0.1f * grain));
}

// Frozen lake: deep blue and frosted squares with fine white cracks.
Colour ice(float u, float v)
{
    float cloud = tiledFbm(u, v, 3, 5, 0.55f, 41);
    CellSample fineCell = tiledCells(u, v, 9, 43);
    float fineCrack = 1.0f - smoothstep(0.0f, 0.04f, fineCell.second - fineCell.nearest);
    Colour c = mix(Colour{0.16f, 0.34f, 0.60f}, Colour{0.88f, 0.95f, 1.0f}, checker(u, v, 4));
    c = scaled(c, 0.94f + 0.12f * cloud);
    return mix(c, Colour{0.97f, 0.99f, 1.0f}, 0.3f * fineCrack);
}

// Tread plate: dark and polished plates with raised diamond studs.
Colour metal(float u, float v)
{
    float brushed = tiledNoise2(u * 128.0f, v * 4.0f, 128, 4, 51);
    Colour c = mix(Colour{0.16f, 0.18f, 0.21f}, Colour{0.80f, 0.83f, 0.87f}, checker(u, v, 4));
    c = scaled(c, 0.92f + 0.12f * brushed);
    // Diamond studs on an 8 x 8 grid, alternating orientation.
    float gx = u * 8.0f, gy = v * 8.0f;
    int ix = static_cast<int>(std::floor(gx)), iy = static_cast<int>(std::floor(gy));
    float fx = gx - ix - 0.5f, fy = gy - iy - 0.5f;
    bool flip = ((ix + iy) & 1) != 0;
    float along = flip ? (fx + fy) : (fx - fy);
    float across = flip ? (fx - fy) : (fx + fy);
    float stud = std::fabs(along) / 0.46f + std::fabs(across) / 0.17f;
    if (stud < 1.0f) {
        float light = (across > 0.0f) == flip ? 1.2f : 0.8f;
        c = scaled(c, 1.0f + (light - 1.0f) * smoothstep(0.95f, 0.35f, stud));
    }
    return c;
}

// Volcanic: black crust and glowing plates in turn, split by dark cracks.
Colour lava(float u, float v)
{
    float crust = tiledFbm(u, v, 6, 4, 0.55f, 62);
    float heat = tiledFbm(u, v, 2, 3, 0.5f, 63);
    Colour rock = scaled(Colour{0.16f, 0.10f, 0.08f}, 0.7f + 0.6f * crust);
    Colour hot = mix(Colour{0.95f, 0.42f, 0.08f}, Colour{1.0f, 0.78f, 0.25f}, heat);
    Colour c = mix(rock, hot, checker(u, v, 4));
    return mix(c, Colour{0.08f, 0.04f, 0.03f}, 0.8f * gridLines(u, v, 4, 2.0f));
}

} // namespace

std::string surfaceName(Surface surface)
{
    switch (surface) {
    case Surface::Stone:
        return "stone";
    case Surface::Grass:
        return "grass";
    case Surface::Sand:
        return "sand";
    case Surface::Ice:
        return "ice";
    case Surface::Metal:
        return "metal";
    case Surface::Lava:
        return "lava";
    }
    return "stone";
}

Image makeSurfaceTexture(Surface surface)
{
    switch (surface) {
    case Surface::Stone:
        return paint(stone);
    case Surface::Grass:
        return paint(grass);
    case Surface::Sand:
        return paint(sand);
    case Surface::Ice:
        return paint(ice);
    case Surface::Metal:
        return paint(metal);
    case Surface::Lava:
        return paint(lava);
    }
    return paint(stone);
}

bool writeGlSurfaceTexture(const std::string& root, Surface surface)
{
    std::vector<Image> chain = mipChain(makeSurfaceTexture(surface));
    for (size_t level = 0; level < chain.size(); ++level) {
        std::string name = "maps/" + surfaceName(surface) + "_" + std::to_string(level) + ".bmp";
        if (!writeFile(root, name, encodeBmp(chain[level])))
            return false;
    }
    return true;
}

bool writeGlideSurfaceTexture(const std::string& root, Surface surface)
{
    Image image = makeSurfaceTexture(surface);
    TdfImage top{image.width, image.height, {}};
    top.rgba.reserve(static_cast<size_t>(image.width) * image.height * 4);
    for (size_t i = 0; i < image.rgb.size(); i += 3) {
        top.rgba.insert(top.rgba.end(), {image.rgb[i], image.rgb[i + 1], image.rgb[i + 2], 255});
    }
    std::vector<TdfImage> levels;
    std::vector<uint8_t> file;
    if (!tdfMakeMipChain(top, 1, levels) || !tdfEncode("rgb565", levels, file))
        return false;
    return writeFile(root, "maps/" + surfaceName(surface) + ".3df", file);
}
