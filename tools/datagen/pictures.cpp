#include "tools/datagen/pictures.h"

#include "tools/datagen/bmp_writer.h"
#include "tools/datagen/glyph_raster.h"
#include "tools/datagen/levels.h"
#include "tools/datagen/noise.h"
#include "tools/datagen/output.h"
#include "tools/datagen/textures.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

struct V3 {
    double x, y, z;
};
V3 operator+(V3 a, V3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
V3 operator-(V3 a, V3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
V3 operator*(V3 a, double k) { return {a.x * k, a.y * k, a.z * k}; }
double dot(V3 a, V3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
V3 unit(V3 a) { return a * (1.0 / std::sqrt(dot(a, a))); }

void blend(Image& image, int x, int y, Colour c, float alpha)
{
    if (x < 0 || y < 0 || x >= image.width || y >= image.height || alpha <= 0)
        return;
    uint8_t* p = image.at(x, y);
    Colour old{p[0] / 255.0f, p[1] / 255.0f, p[2] / 255.0f};
    Colour out = mix(old, c, std::min(1.0f, alpha));
    image.set(x, y, out.r, out.g, out.b);
}

// Text in DejaVu Sans, centred on cx with its top at y: a soft shadow, a dark
// rim, then the fill, whose colour may run from `top` to `bottom`.
void drawText(Image& image, const std::string& text, bool bold, int pixelSize, int cx, int y, Colour top,
              Colour bottom, float rim)
{
    GlyphRaster raster(fontFilePath(bold), pixelSize);
    if (!raster.ok())
        return;
    int baseline = 0;
    Coverage line = raster.renderLine(text, baseline);
    int x0 = cx - line.width / 2;
    const int shadowOffset = std::max(2, pixelSize / 24);
    const int rimSize = static_cast<int>(std::ceil(rim));
    auto coverageAt = [&](int x, int yy) -> float {
        if (x < 0 || yy < 0 || x >= line.width || yy >= line.height)
            return 0.0f;
        return line.at(x, yy) / 255.0f;
    };
    for (int yy = -rimSize - shadowOffset; yy < line.height + rimSize + shadowOffset; ++yy)
        for (int x = -rimSize - shadowOffset; x < line.width + rimSize + shadowOffset; ++x) {
            // Shadow: coverage spread by the rim, offset down-right.
            float shadow = 0, outline = 0;
            for (int dy = -rimSize; dy <= rimSize; ++dy)
                for (int dx = -rimSize; dx <= rimSize; ++dx) {
                    float fall = std::max(0.0f,
                                          1.0f - std::sqrt(static_cast<float>(dx * dx + dy * dy)) / (rim + 0.5f));
                    shadow = std::max(shadow, coverageAt(x + dx - shadowOffset, yy + dy - shadowOffset) * fall);
                    outline = std::max(outline, coverageAt(x + dx, yy + dy) * std::min(1.0f, fall * 2.0f));
                }
            blend(image, x0 + x, y + yy, Colour{0, 0, 0}, shadow * 0.45f);
            blend(image, x0 + x, y + yy, Colour{0.06f, 0.05f, 0.08f}, outline * (rim > 0 ? 0.9f : 0.0f));
            float t = static_cast<float>(yy) / std::max(1, line.height);
            blend(image, x0 + x, y + yy, mix(top, bottom, clamp01(t)), coverageAt(x, yy));
        }
}

// The course height as the game computes it, sampled once into a grid.
struct HeightGrid {
    double x0, y0, step;
    int columns, rows;
    std::vector<float> z;

    HeightGrid(const std::vector<Hole>& holes, double xMin, double xMax, double yMin, double yMax, double cell)
        : x0(xMin), y0(yMin), step(cell), columns(static_cast<int>((xMax - xMin) / cell) + 2),
          rows(static_cast<int>((yMax - yMin) / cell) + 2), z(static_cast<size_t>(columns) * rows)
    {
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < columns; ++c) {
                double x = x0 + c * step, y = y0 + r * step, sum = 0;
                for (const Hole& h : holes) {
                    double e = h.radius / 30.0, dx = (x - h.x) / 30.0, dy = (y - h.y) / 30.0;
                    sum += e * h.depth / std::sqrt(dx * dx + dy * dy + e * e);
                }
                z[static_cast<size_t>(r) * columns + c] = static_cast<float>(sum);
                highest = std::min(highest, sum);
            }
    }
    double highest = 1e9; // smallest z: the top of the highest mound
    double at(double x, double y) const
    {
        double fx = std::clamp((x - x0) / step, 0.0, columns - 1.001),
               fy = std::clamp((y - y0) / step, 0.0, rows - 1.001);
        int c = static_cast<int>(fx), r = static_cast<int>(fy);
        double tx = fx - c, ty = fy - r;
        auto v = [&](int cc, int rr) { return static_cast<double>(z[static_cast<size_t>(rr) * columns + cc]); };
        return (v(c, r) * (1 - tx) + v(c + 1, r) * tx) * (1 - ty) +
               (v(c, r + 1) * (1 - tx) + v(c + 1, r + 1) * tx) * ty;
    }
};

// Texture lookup with the mipmap level chosen by the footprint of a pixel.
Colour sampleTexture(const std::vector<Image>& chain, double x, double y, double footprint)
{
    // One texture tile covers 160 units across and 120 along, as the game maps it.
    double u = x / 160.0, v = y / 120.0;
    double texels = footprint / 160.0 * 128.0;
    int level = std::clamp(static_cast<int>(std::floor(std::log2(std::max(1.0, texels)))), 0,
                           static_cast<int>(chain.size()) - 1);
    const Image& img = chain[level];
    double fx = (u - std::floor(u)) * img.width - 0.5, fy = (v - std::floor(v)) * img.height - 0.5;
    int ix = static_cast<int>(std::floor(fx)), iy = static_cast<int>(std::floor(fy));
    double tx = fx - ix, ty = fy - iy;
    Colour sum{0, 0, 0};
    for (int dy = 0; dy < 2; ++dy)
        for (int dx = 0; dx < 2; ++dx) {
            const uint8_t* p = img.at(((ix + dx) % img.width + img.width) % img.width,
                                      ((iy + dy) % img.height + img.height) % img.height);
            double w = (dx ? tx : 1 - tx) * (dy ? ty : 1 - ty);
            sum.r += static_cast<float>(w * p[0] / 255.0);
            sum.g += static_cast<float>(w * p[1] / 255.0);
            sum.b += static_cast<float>(w * p[2] / 255.0);
        }
    return sum;
}

void drawLine(Image& image, const PictureText& line, Colour fill, float rim)
{
    drawText(image, line.text, line.bold, line.pixelSize, line.centreX, line.top, fill, fill, rim);
}

} // namespace

PictureText titlePrompt(bool glide)
{
    // Low on the near ground, under the marble and the pits: the first thing
    // a newcomer needs, where the eye falls after the name.
    if (glide)
        return {"Press Escape or a joystick button for the menu", true, 22, 320, 432};
    return {"Press Escape for the menu", true, 26, 320, 428};
}

namespace {

// The course, the marble and the name, shared by both editions' titles.
Image makeTitleScene()
{
    const LevelDesign level = glLevelDesigns().front();
    const std::vector<Image> chain = mipChain(makeSurfaceTexture(level.surface));
    // A stretch of course close to the camera, with pits of several sizes and a mound.
    const std::vector<Hole> scene = {{-260, -4880, 70, 70},  {300, -4700, 85, 80},  {20, -4420, 95, 90},
                                     {-430, -4150, 110, 90}, {380, -3900, 80, 70},  {-80, -3650, 90, 80},
                                     {180, -5020, 70, -35},  {-520, -4600, 60, 60}, {560, -4300, 70, 70}};
    const HeightGrid ground(scene, kCourseLeft, kCourseRight, -5800, 1000, 10);
    const Colour fog = hexToColour(level.fogColour);
    const Colour skyTop{0.20f, 0.42f, 0.78f};

    const V3 eye{0, -5300, ground.at(0, -5300) - 150};
    const double pitch = 0.17, focal = 430;
    const V3 forward{0, std::cos(pitch), std::sin(pitch)}, down{0, -std::sin(pitch), std::cos(pitch)}, right{1, 0, 0};
    const V3 light = unit(V3{-0.5, 0.35, -0.8}); // from upper left, slightly ahead (z is down)
    const V3 marbleCentre{-40, -4980, ground.at(-40, -4980) - 20};
    const double marbleRadius = 20;
    const Colour marbleColour = hexToColour(level.marbleColour);

    Image image(kPictureWidth, kPictureHeight);
    for (int py = 0; py < kPictureHeight; ++py) {
        for (int px = 0; px < kPictureWidth; ++px) {
            V3 dir = unit(right * (px + 0.5 - 320) + forward * focal + down * (py + 0.5 - 200));
            // Sky: a gradient into the fog colour at the horizon.
            float above = static_cast<float>(std::max(0.0, -dir.z));
            Colour colour = mix(fog, skyTop, clamp01(std::pow(above * 3.0f, 0.7f)));

            // The marble: a ray-sphere test, shaded with a highlight.
            V3 oc = eye - marbleCentre;
            double b = dot(oc, dir), c = dot(oc, oc) - marbleRadius * marbleRadius, disc = b * b - c;
            double marbleT = disc > 0 ? -b - std::sqrt(disc) : -1;

            // The ground: march until the ray passes below the surface, then refine.
            // Start where the ray first comes down to the highest ground; rays
            // that never do are sky.
            double t = 20, hitT = -1;
            if (dir.z <= 0)
                t = 1e9;
            else
                t = std::max(t, (ground.highest - eye.z) / dir.z);
            double prevT = t;
            while (t < 7000) {
                V3 p = eye + dir * t;
                if (p.y > 1000)
                    break;
                if (p.z >= ground.at(p.x, p.y)) {
                    double lo = prevT, hi = t;
                    for (int i = 0; i < 12; ++i) {
                        double mid = 0.5 * (lo + hi);
                        V3 q = eye + dir * mid;
                        (q.z >= ground.at(q.x, q.y) ? hi : lo) = mid;
                    }
                    hitT = hi;
                    break;
                }
                prevT = t;
                t += std::max(2.0, t * 0.008);
            }
            if (hitT > 0 && (marbleT < 0 || hitT < marbleT)) {
                V3 p = eye + dir * hitT;
                bool onCourse = p.x >= kCourseLeft && p.x <= kCourseRight;
                if (onCourse) {
                    double gx = ground.at(p.x + 2, p.y) - ground.at(p.x - 2, p.y);
                    double gy = ground.at(p.x, p.y + 2) - ground.at(p.x, p.y - 2);
                    V3 normal = unit(V3{gx / 4, gy / 4, -1});
                    double diffuse = std::max(0.0, dot(normal, light));
                    double footprint = hitT / focal / std::max(0.15, std::fabs(dot(dir, normal)));
                    Colour base = sampleTexture(chain, p.x, p.y, footprint);
                    float shade = static_cast<float>(0.35 + 0.75 * diffuse);
                    // Pits sit in their own shade: darker the deeper below their surroundings.
                    double around = 0.25 * (ground.at(p.x + 120, p.y) + ground.at(p.x - 120, p.y) +
                                            ground.at(p.x, p.y + 120) + ground.at(p.x, p.y - 120));
                    shade *= 1.0f - 0.55f * clamp01(static_cast<float>((ground.at(p.x, p.y) - around) / 35.0));
                    // The marble's soft shadow, cast along the light.
                    V3 toMarble = marbleCentre - p;
                    double along = -dot(toMarble, light);
                    V3 closest = p - light * along;
                    double miss = std::sqrt(dot(closest - marbleCentre, closest - marbleCentre));
                    if (along < 0)
                        shade *= static_cast<float>(0.55 + 0.45 * smoothstep(10.0f, 26.0f, static_cast<float>(miss)));
                    // The course border: a darker rim near the edges.
                    float edge = std::min(static_cast<float>(p.x - kCourseLeft),
                                          static_cast<float>(kCourseRight - p.x));
                    shade *= 0.6f + 0.4f * smoothstep(0.0f, 25.0f, edge);
                    Colour lit = scaled(base, shade);
                    float haze = clamp01(static_cast<float>((hitT - 600) / 5200));
                    colour = mix(lit, fog, haze * haze * 0.9f + 0.05f);
                }
            }
            if (marbleT > 0 && (hitT < 0 || marbleT <= hitT)) {
                V3 p = eye + dir * marbleT;
                V3 n = unit(p - marbleCentre);
                double diffuse = std::max(0.0, dot(n, light));
                V3 reflected = dir - n * (2 * dot(dir, n));
                double specular = std::pow(std::max(0.0, dot(reflected, light)), 40);
                double rimLight = std::pow(1.0 - std::fabs(dot(n, dir)), 3) * 0.25;
                Colour body = scaled(marbleColour, static_cast<float>(0.22 + 0.85 * diffuse + rimLight));
                colour = mix(body, Colour{1, 1, 1}, static_cast<float>(std::min(1.0, specular)));
            }
            image.set(px, py, colour.r, colour.g, colour.b);
        }
    }
    drawText(image, "Orbivale", true, 112, 320, 36, Colour{1.0f, 0.93f, 0.55f}, Colour{0.95f, 0.55f, 0.12f}, 3.0f);
    return image;
}

Image withPrompt(Image scene, bool glide)
{
    drawLine(scene, titlePrompt(glide), Colour{1.0f, 1.0f, 1.0f}, 2.5f);
    return scene;
}

} // namespace

Image makeTitlePicture(bool glide) { return withPrompt(makeTitleScene(), glide); }

Image makeBackPicture()
{
    Image image(kPictureWidth, kPictureHeight);
    for (int y = 0; y < kPictureHeight; ++y)
        for (int x = 0; x < kPictureWidth; ++x) {
            float u = x / 640.0f, v = y / 480.0f;
            Colour c = mix(Colour{0.16f, 0.30f, 0.46f}, Colour{0.07f, 0.12f, 0.22f}, v);
            // Slow clouds and a few large, blurred marbles far away.
            float cloud = tiledFbm(u, v * 0.75f, 3, 4, 0.5f, 71);
            c = mix(c, Colour{0.30f, 0.46f, 0.60f}, 0.35f * smoothstep(0.45f, 0.8f, cloud));
            const float orbs[][4] = {{0.18f, 0.30f, 0.16f, 0.0f},
                                     {0.80f, 0.22f, 0.10f, 1.0f},
                                     {0.66f, 0.78f, 0.20f, 2.0f},
                                     {0.35f, 0.85f, 0.08f, 3.0f}};
            const Colour tints[] = {{0.55f, 0.75f, 0.95f},
                                    {0.95f, 0.70f, 0.45f},
                                    {0.60f, 0.85f, 0.75f},
                                    {0.85f, 0.60f, 0.80f}};
            for (int i = 0; i < 4; ++i) {
                float dx = (u - orbs[i][0]) * 1.333f, dy = v - orbs[i][1];
                float d = std::sqrt(dx * dx + dy * dy) / orbs[i][2];
                float glow = (1.0f - smoothstep(0.6f, 1.0f, d)) * 0.16f + (1.0f - smoothstep(0.0f, 0.9f, d)) * 0.06f;
                c = mix(c, tints[i], glow);
            }
            // A gentle vignette keeps the middle, where the text sits, even.
            float vx = u - 0.5f, vy = v - 0.5f;
            c = scaled(c, 1.0f - 0.45f * (vx * vx + vy * vy));
            image.set(x, y, c.r, c.g, c.b);
        }
    return image;
}

Image makeClosingPicture()
{
    Image image = makeBackPicture();
    drawText(image, "Thanks for playing", true, 50, 320, 70, Colour{1, 1, 1}, Colour{0.85f, 0.90f, 1.0f}, 2.0f);
    drawText(image, "Orbivale", true, 96, 320, 130, Colour{1.0f, 0.93f, 0.55f}, Colour{0.95f, 0.55f, 0.12f}, 3.0f);
    drawText(image, "Free software: copy it and share it,", false, 24, 320, 285, Colour{0.92f, 0.95f, 1.0f},
             Colour{0.92f, 0.95f, 1.0f}, 1.5f);
    drawText(image, "and send a friend your best run to race", false, 24, 320, 322, Colour{0.92f, 0.95f, 1.0f},
             Colour{0.92f, 0.95f, 1.0f}, 1.5f);
    drawText(image, "orbivale-glide --ghost FILE", true, 30, 320, 362, Colour{1.0f, 0.85f, 0.45f},
             Colour{1.0f, 0.85f, 0.45f}, 1.5f);
    drawText(image, "press any key", false, 18, 320, 440, Colour{0.75f, 0.80f, 0.90f}, Colour{0.75f, 0.80f, 0.90f},
             1.0f);
    return image;
}

bool writePictures(const std::string& glRoot, const std::string& glideRoot)
{
    std::vector<uint8_t> back = encodeBmp(makeBackPicture());
    const Image scene = makeTitleScene();
    return writeFile(glRoot, "graphics/title.bmp", encodeBmp(withPrompt(scene, false))) &&
           writeFile(glRoot, "graphics/back.bmp", back) &&
           writeFile(glideRoot, "graphics/title.bmp", encodeBmp(withPrompt(scene, true))) &&
           writeFile(glideRoot, "graphics/back.bmp", back) &&
           writeFile(glideRoot, "graphics/nag.bmp", encodeBmp(makeClosingPicture()));
}
