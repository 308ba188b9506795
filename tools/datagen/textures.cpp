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

Image paint(const std::function<Colour(float, float)>& shader) {
    Image image(kSize, kSize);
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            Colour c = shader((x + 0.5f) / kSize, (y + 0.5f) / kSize);
            image.set(x, y, c.r, c.g, c.b);
        }
    }
    return image;
}

// The terrain is drawn without lighting, so pits and mounds show only as the
// texture squeezes and stretches over them: every surface carries a regular
// pattern of squares (n per tile, light and dark by `amount`) for the eye to
// read the ground's shape from. Edges are softened over a few texels.
float squares(float u, float v, int n, float amount) {
    float gx = u * n, gy = v * n;
    float fx = gx - std::floor(gx), fy = gy - std::floor(gy);
    bool light = ((static_cast<int>(std::floor(gx)) + static_cast<int>(std::floor(gy))) & 1) != 0;
    float edge = std::min(std::min(fx, 1.0f - fx), std::min(fy, 1.0f - fy)) * 128.0f / n;
    float soft = smoothstep(0.0f, 1.5f, edge);
    return 1.0f + (light ? amount : -amount) * soft;
}

// Cobbles: rounded grey stones of slightly different tints in dark mortar.
Colour stone(float u, float v) {
    CellSample cell = tiledCells(u, v, 5, 11);
    float edge = cell.second - cell.nearest;
    float tint = hashUnit(cell.cellId, 3, 12);
    Colour rock = mix(Colour{0.50f, 0.49f, 0.46f}, Colour{0.62f, 0.58f, 0.52f}, tint);
    float grain = tiledFbm(u, v, 8, 4, 0.55f, 13);
    rock = scaled(rock, 0.80f + 0.40f * grain);
    float bevel = smoothstep(0.05f, 0.35f, edge);
    rock = scaled(rock, 0.72f + 0.28f * bevel);
    Colour mortar = scaled(Colour{0.27f, 0.25f, 0.23f}, 0.85f + 0.3f * grain);
    return mix(mortar, rock, smoothstep(0.04f, 0.09f, edge));
}

// Meadow: a lawn mown in squares, mottled, with short blades running along
// the course.
Colour grass(float u, float v) {
    float patches = tiledFbm(u, v, 4, 4, 0.5f, 21);
    float blades = tiledNoise2(u * 48.0f, v * 12.0f, 48, 12, 22);
    float fine = tiledNoise(u * 64.0f, v * 64.0f, 64, 23);
    Colour dark{0.16f, 0.36f, 0.10f}, light{0.38f, 0.60f, 0.18f};
    Colour c = mix(dark, light, clamp01(0.35f + 0.5f * patches * patches + 0.3f * (blades - 0.5f)));
    return scaled(c, (0.88f + 0.24f * fine) * squares(u, v, 4, 0.2f));
}

// Desert: warm sand with wind ripples across the course.
Colour sand(float u, float v) {
    float warp = tiledFbm(u, v, 3, 3, 0.5f, 31);
    float ripple = 0.5f + 0.5f * std::sin(2.0f * kPi * (6.0f * v + 1.0f * u + 1.6f * warp));
    float grain = tiledNoise(u * 64.0f, v * 64.0f, 64, 32);
    float dunes = tiledFbm(u, v, 2, 3, 0.5f, 33);
    Colour c = mix(Colour{0.66f, 0.52f, 0.31f}, Colour{0.92f, 0.80f, 0.55f}, 0.2f + 0.65f * ripple + 0.25f * (dunes - 0.5f));
    return scaled(c, (0.92f + 0.16f * grain) * squares(u, v, 4, 0.13f));
}

// Frozen lake: pale blue clouds with fine white cracks.
Colour ice(float u, float v) {
    float cloud = tiledFbm(u, v, 3, 5, 0.55f, 41);
    CellSample cell = tiledCells(u, v, 4, 42);
    float crack = 1.0f - smoothstep(0.0f, 0.05f, cell.second - cell.nearest);
    CellSample fineCell = tiledCells(u, v, 9, 43);
    float fineCrack = 1.0f - smoothstep(0.0f, 0.04f, fineCell.second - fineCell.nearest);
    Colour c = mix(Colour{0.55f, 0.72f, 0.86f}, Colour{0.86f, 0.94f, 0.99f}, cloud);
    c = scaled(c, squares(u, v, 4, 0.1f));
    c = mix(c, Colour{0.97f, 0.99f, 1.0f}, 0.75f * crack + 0.25f * fineCrack);
    return c;
}

// Tread plate: raised diamonds on brushed steel.
Colour metal(float u, float v) {
    float brushed = tiledNoise2(u * 128.0f, v * 4.0f, 128, 4, 51);
    float stain = tiledFbm(u, v, 2, 3, 0.5f, 52);
    Colour c = scaled(Colour{0.55f, 0.58f, 0.62f}, (0.80f + 0.15f * brushed + 0.15f * stain) * squares(u, v, 2, 0.14f));
    // Diamond studs on an 8 x 8 grid, alternating orientation.
    float gx = u * 8.0f, gy = v * 8.0f;
    int ix = static_cast<int>(std::floor(gx)), iy = static_cast<int>(std::floor(gy));
    float fx = gx - ix - 0.5f, fy = gy - iy - 0.5f;
    bool flip = ((ix + iy) & 1) != 0;
    float along = flip ? (fx + fy) : (fx - fy);
    float across = flip ? (fx - fy) : (fx + fy);
    float stud = std::fabs(along) / 0.46f + std::fabs(across) / 0.17f;
    if (stud < 1.0f) {
        // Lit from the upper left: the near flank bright, the far flank dark.
        float light = (across > 0.0f) == flip ? 1.45f : 0.65f;
        c = scaled(c, 1.0f + (light - 1.0f) * smoothstep(0.95f, 0.35f, stud));
    } else {
        c = scaled(c, 1.0f - 0.25f * smoothstep(1.35f, 1.0f, stud));
    }
    // Dark seams where the plates meet.
    float px = u * 2.0f - std::floor(u * 2.0f), py = v * 2.0f - std::floor(v * 2.0f);
    float seam = std::min(std::min(px, 1.0f - px), std::min(py, 1.0f - py)) * 64.0f;
    return scaled(c, 0.45f + 0.55f * smoothstep(0.5f, 2.0f, seam));
}

// Volcanic: black crust plates over glowing cracks.
Colour lava(float u, float v) {
    CellSample cell = tiledCells(u, v, 4, 61);
    float edge = cell.second - cell.nearest;
    float crust = tiledFbm(u, v, 6, 4, 0.55f, 62);
    float heat = tiledFbm(u, v, 2, 3, 0.5f, 63);
    Colour rock = scaled(Colour{0.20f, 0.14f, 0.12f}, 0.6f + 0.8f * crust);
    float glow = 1.0f - smoothstep(0.02f, 0.16f + 0.08f * heat, edge);
    Colour hot = mix(Colour{0.75f, 0.12f, 0.02f}, Colour{1.0f, 0.78f, 0.20f}, glow * glow);
    Colour c = mix(rock, hot, glow);
    // Embers of warmth in the middle of the plates.
    float ember = smoothstep(0.55f, 0.9f, heat) * 0.25f;
    return mix(c, Colour{0.6f, 0.12f, 0.03f}, ember * (1.0f - glow));
}

}  // namespace

std::string surfaceName(Surface surface) {
    switch (surface) {
        case Surface::Stone: return "stone";
        case Surface::Grass: return "grass";
        case Surface::Sand: return "sand";
        case Surface::Ice: return "ice";
        case Surface::Metal: return "metal";
        case Surface::Lava: return "lava";
    }
    return "stone";
}

Image makeSurfaceTexture(Surface surface) {
    switch (surface) {
        case Surface::Stone: return paint(stone);
        case Surface::Grass: return paint(grass);
        case Surface::Sand: return paint(sand);
        case Surface::Ice: return paint(ice);
        case Surface::Metal: return paint(metal);
        case Surface::Lava: return paint(lava);
    }
    return paint(stone);
}

bool writeGlSurfaceTexture(const std::string& root, Surface surface) {
    std::vector<Image> chain = mipChain(makeSurfaceTexture(surface));
    for (size_t level = 0; level < chain.size(); ++level) {
        std::string name = "maps/" + surfaceName(surface) + "_" + std::to_string(level) + ".bmp";
        if (!writeFile(root, name, encodeBmp(chain[level]))) return false;
    }
    return true;
}

bool writeGlideSurfaceTexture(const std::string& root, Surface surface) {
    Image image = makeSurfaceTexture(surface);
    TdfImage top{image.width, image.height, {}};
    top.rgba.reserve(static_cast<size_t>(image.width) * image.height * 4);
    for (size_t i = 0; i < image.rgb.size(); i += 3) {
        top.rgba.insert(top.rgba.end(), {image.rgb[i], image.rgb[i + 1], image.rgb[i + 2], 255});
    }
    std::vector<TdfImage> levels;
    std::vector<uint8_t> file;
    if (!tdfMakeMipChain(top, 1, levels) || !tdfEncode("rgb565", levels, file)) return false;
    return writeFile(root, "maps/" + surfaceName(surface) + ".3df", file);
}
