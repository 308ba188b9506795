#include "render/gles2/gles2_renderer.h"

#include "levels/level_map.h"
#include "render/arrow_shape.h"
#include "render/gl/gl_coords.h"

#include <GLES2/gl2.h>

#include <cstdio>
#include <vector>

namespace {

// Fog runs linearly on the depth key: clear at w = 400, full at w = 1800,
// the desktop back end's fog start and end.
constexpr const char* kVertexShader = R"(
attribute vec3 place;
attribute vec4 colour;
attribute vec2 texel;
varying vec4 vColour;
varying vec2 vTexel;
varying float vKey;
void main() {
    vColour = colour;
    vTexel = texel;
    vKey = place.z;
    gl_Position = vec4(place, 1.0);
}
)";

constexpr const char* kFragmentShader = R"(
precision highp float;
varying vec4 vColour;
varying vec2 vTexel;
varying float vKey;
uniform int shade;
uniform bool fog;
uniform vec3 fogColour;
uniform sampler2D image;
const float fogStart = 0.0025;
const float fogEnd = 0.00055555557;
void main() {
    vec4 c = vColour;
    if (shade == 1)
        c = vec4(texture2D(image, vTexel).rgb, vColour.a);
    else if (shade == 2)
        c = vColour * texture2D(image, vTexel).r;
    else if (shade == 3)
        c = vec4(texture2D(image, vTexel).rgb, 1.0);
    if (fog) {
        float f = clamp((fogEnd - abs(vKey)) / (fogEnd - fogStart), 0.0, 1.0);
        c.rgb = mix(fogColour, c.rgb, f);
    }
    gl_FragColor = c;
}
)";

// The arrow head sits this much nearer than its tip so that it wins against the shaft.
constexpr float kArrowHeadLift = 0.0001f;

constexpr Colour kWhite{1.0f, 1.0f, 1.0f, 1.0f};
constexpr Colour kYellow{1.0f, 1.0f, 0.0f, 1.0f};

GLuint compile(GLenum kind, const char* source)
{
    GLuint shader = glCreateShader(kind);
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    GLint ok = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (ok)
        return shader;
    char log[512] = {};
    glGetShaderInfoLog(shader, sizeof log, nullptr, log);
    std::fprintf(stderr, "Orbivale: a WebGL shader did not compile: %s\n", log);
    glDeleteShader(shader);
    return 0;
}

GLuint linkProgram()
{
    GLuint vertex = compile(GL_VERTEX_SHADER, kVertexShader);
    GLuint fragment = compile(GL_FRAGMENT_SHADER, kFragmentShader);
    if (!vertex || !fragment)
        return 0;
    GLuint program = glCreateProgram();
    glAttachShader(program, vertex);
    glAttachShader(program, fragment);
    glBindAttribLocation(program, 0, "place");
    glBindAttribLocation(program, 1, "colour");
    glBindAttribLocation(program, 2, "texel");
    glLinkProgram(program);
    glDeleteShader(vertex);
    glDeleteShader(fragment);
    GLint ok = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &ok);
    if (ok)
        return program;
    std::fprintf(stderr, "Orbivale: the WebGL shaders did not link\n");
    glDeleteProgram(program);
    return 0;
}

GLuint newTexture(GLint wrap, GLint magnify, GLint minify)
{
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, wrap);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, wrap);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, magnify);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, minify);
    return name;
}

} // namespace

Gles2Renderer::Gles2Renderer(GlWindow& window) : window_(window)
{
    program_ = linkProgram();
    if (!program_)
        return;
    glUseProgram(program_);
    shadeUniform_ = glGetUniformLocation(program_, "shade");
    fogUniform_ = glGetUniformLocation(program_, "fog");
    fogColourUniform_ = glGetUniformLocation(program_, "fogColour");
    glUniform1i(glGetUniformLocation(program_, "image"), 0);
    glGenBuffers(1, &buffer_);
    glBindBuffer(GL_ARRAY_BUFFER, buffer_);
    glEnableVertexAttribArray(0);
    glEnableVertexAttribArray(1);
    glEnableVertexAttribArray(2);
    batch_.reserve(3 * 2 * 49 * 399);

    // Image rows arrive packed, as the BMP reader leaves them.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    levelTexture_ = newTexture(GL_REPEAT, GL_LINEAR, GL_LINEAR_MIPMAP_LINEAR);
    fontTexture_ = newTexture(GL_CLAMP_TO_EDGE, GL_NEAREST, GL_NEAREST_MIPMAP_NEAREST);
    pictureTexture_ = newTexture(GL_CLAMP_TO_EDGE, GL_NEAREST, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, kScreenWidth, kScreenHeight, 0, GL_RGB, GL_UNSIGNED_BYTE, nullptr);

    // Walk-order terrain triangles turn clockwise on the screen seen from above.
    glFrontFace(GL_CW);
    glCullFace(GL_BACK);
    glDepthFunc(GL_GREATER);
    glClearDepthf(0.0f);
    glViewport(0, 0, kScreenWidth, kScreenHeight);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    batchState_.primitive = GL_TRIANGLES;
    apply(batchState_);
}

void Gles2Renderer::apply(const State& state)
{
    if (state.depthTest)
        glEnable(GL_DEPTH_TEST);
    else
        glDisable(GL_DEPTH_TEST);
    if (state.cull)
        glEnable(GL_CULL_FACE);
    else
        glDisable(GL_CULL_FACE);
    if (state.blend == Blend::None) {
        glDisable(GL_BLEND);
    } else {
        glEnable(GL_BLEND);
        glBlendFunc(state.blend == Blend::Over ? GL_SRC_ALPHA : GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
    }
    glUniform1i(shadeUniform_, int(state.shade));
    glUniform1i(fogUniform_, state.fog ? 1 : 0);
    glUniform3fv(fogColourUniform_, 1, fogColour_);
    GLuint texture = state.shade == Shade::Decal       ? levelTexture_
                     : state.shade == Shade::Intensity ? fontTexture_
                     : state.shade == Shade::Picture   ? pictureTexture_
                                                       : 0;
    if (texture)
        glBindTexture(GL_TEXTURE_2D, texture);
}

void Gles2Renderer::flush()
{
    if (batch_.empty() || !program_)
        return;
    apply(batchState_);
    glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(batch_.size() * sizeof(Vertex)), batch_.data(), GL_STREAM_DRAW);
    glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, sizeof(Vertex), reinterpret_cast<void*>(offsetof(Vertex, x)));
    glVertexAttribPointer(1, 4, GL_FLOAT, GL_FALSE, sizeof(Vertex), reinterpret_cast<void*>(offsetof(Vertex, r)));
    glVertexAttribPointer(2, 2, GL_FLOAT, GL_FALSE, sizeof(Vertex), reinterpret_cast<void*>(offsetof(Vertex, s)));
    glDrawArrays(batchState_.primitive, 0, GLsizei(batch_.size()));
    batch_.clear();
}

void Gles2Renderer::use(const State& state)
{
    if (state == batchState_)
        return;
    flush();
    batchState_ = state;
}

void Gles2Renderer::vertex(float x, float y, float z, const Colour& colour, float s, float t)
{
    batch_.push_back({x, y, z, colour.r, colour.g, colour.b, colour.a, s, t});
}

void Gles2Renderer::projected(const ScreenVertex& v, const Colour& colour)
{
    vertex(projectedToDeviceX(v.x), projectedToDeviceY(v.y), v.oow, colour, v.s, v.t);
}

void Gles2Renderer::projected(float x, float y, float oow, const Colour& colour)
{
    vertex(projectedToDeviceX(x), projectedToDeviceY(y), oow, colour);
}

void Gles2Renderer::overlay(const OverlayPoint& p, const Colour& colour)
{
    vertex(overlayToDeviceX(p.x), overlayToDeviceY(p.y), 0.0f, colour);
}

void Gles2Renderer::clearFrame(float r, float g, float b)
{
    flush();
    glClearColor(r, g, b, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void Gles2Renderer::present()
{
    flush();
    window_.glDrawableSize(presentedWidth_, presentedHeight_);
    window_.swapGlBuffers();
}

double Gles2Renderer::secondsToNextRefresh() { return window_.secondsToNextRefresh(); }

bool Gles2Renderer::showsLastPicture()
{
    int width = 0;
    int height = 0;
    window_.glDrawableSize(width, height);
    return width == presentedWidth_ && height == presentedHeight_;
}

void Gles2Renderer::setFog(bool on) { fogOn_ = on; }

void Gles2Renderer::setFogColour(uint32_t colour)
{
    flush();
    constexpr float kByte = 1.0f / 255.0f;
    fogColour_[0] = float((colour >> 16) & 0xff) * kByte;
    fogColour_[1] = float((colour >> 8) & 0xff) * kByte;
    fogColour_[2] = float(colour & 0xff) * kByte;
}

void Gles2Renderer::uploadLevelTexture(const uint8_t* mipImages)
{
    flush();
    glBindTexture(GL_TEXTURE_2D, levelTexture_);
    for (int level = 0; level < kLevelMipLevels; ++level) {
        int size = 128 >> level;
        glTexImage2D(GL_TEXTURE_2D, level, GL_RGB, size, size, 0, GL_RGB, GL_UNSIGNED_BYTE,
                     mipImages + size_t(level) * kLevelMipSlotBytes);
    }
}

// Each texel's red is both its brightness and its coverage (OpenGL 1.1's
// intensity texture), so white-on-black glyph images become a glyph mask.
void Gles2Renderer::uploadFontTexture(const uint8_t* glyphImages)
{
    flush();
    glBindTexture(GL_TEXTURE_2D, fontTexture_);
    std::vector<uint8_t> reds(256 * 256);
    for (int level = 0; level < kFontMipLevels; ++level) {
        int size = 256 >> level;
        const uint8_t* rgb = glyphImages + size_t(level) * kFontMipSlotBytes;
        for (int i = 0; i < size * size; ++i)
            reds[size_t(i)] = rgb[size_t(i) * 3];
        glTexImage2D(GL_TEXTURE_2D, level, GL_LUMINANCE, size, size, 0, GL_LUMINANCE, GL_UNSIGNED_BYTE, reds.data());
    }
}

void Gles2Renderer::beginTerrain() { flush(); }

void Gles2Renderer::endTerrain() { flush(); }

void Gles2Renderer::beginText() { flush(); }

void Gles2Renderer::endText() {}

void Gles2Renderer::drawTerrainTriangle(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c)
{
    use({GL_TRIANGLES, Shade::Decal, Blend::None, true, true, fogOn_});
    for (const ScreenVertex* v : {&a, &b, &c})
        projected(*v, kWhite);
}

// Fog is left as the terrain set it, so the disc is fogged with the ground.
void Gles2Renderer::drawMarbleTriangle(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c)
{
    use({GL_TRIANGLES, Shade::Colour, Blend::None, true, false, fogOn_});
    for (const ScreenVertex* v : {&a, &b, &c})
        projected(*v, Colour{v->r, v->g, v->b, 1.0f});
}

void Gles2Renderer::drawGhostTriangle(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c,
                                      float opacity)
{
    use({GL_TRIANGLES, Shade::Colour, Blend::Over, false, false, fogOn_});
    for (const ScreenVertex* v : {&a, &b, &c})
        projected(*v, Colour{v->r, v->g, v->b, opacity});
}

// WebGL has no smoothed lines: the rim is a plain one-pixel line.
void Gles2Renderer::drawRimLine(const ProjectedPoint& from, const ProjectedPoint& to, const Colour& colour)
{
    use({GL_LINES, Shade::Colour, Blend::Over, false, false, fogOn_});
    projected(from.x, from.y, 1.0f / from.w, colour);
    projected(to.x, to.y, 1.0f / to.w, colour);
}

void Gles2Renderer::drawArrow(const ProjectedPoint& tail, const ProjectedPoint& tip)
{
    ArrowShape shape = arrowShape(tail, tip);
    float headKey = 1.0f / tip.w + kArrowHeadLift;
    fogOn_ = false;

    use({GL_LINES, Shade::Colour, Blend::Over, true, false, false});
    projected(tail.x, tail.y, 1.0f / tail.w, kYellow);
    projected(tip.x, tip.y, 1.0f / tip.w, kYellow);

    use({GL_TRIANGLES, Shade::Colour, Blend::None, true, false, false});
    projected(tip.x, tip.y, headKey, kYellow);
    projected(shape.headRightX, shape.headRightY, headKey, kYellow);
    projected(shape.headLeftX, shape.headLeftY, headKey, kYellow);

    use({GL_LINES, Shade::Colour, Blend::Over, true, false, false});
    projected(tip.x, tip.y, headKey, kYellow);
    projected(shape.headRightX, shape.headRightY, headKey, kYellow);
    projected(shape.headLeftX, shape.headLeftY, headKey, kYellow);
    projected(tip.x, tip.y, headKey, kYellow);
}

// The glyph's texels map to texture units by 1/255 and flip, as the font
// images are stored with their bottom row first.
void Gles2Renderer::drawGlyph(const OverlayRect& quad, const GlyphBox& box, const Colour& colour)
{
    fogOn_ = false;
    use({GL_TRIANGLES, Shade::Intensity, Blend::Premultiplied, false, false, false});
    const struct {
        float x, y, texelX, texelY;
    } corners[4] = {
        {quad.left, quad.top, box.left, box.top},
        {quad.right, quad.top, box.right, box.top},
        {quad.right, quad.bottom, box.right, box.bottom},
        {quad.left, quad.bottom, box.left, box.bottom},
    };
    for (int i : {0, 1, 2, 0, 2, 3}) {
        const auto& corner = corners[i];
        vertex(overlayToDeviceX(corner.x), overlayToDeviceY(corner.y), 0.0f, colour, corner.texelX / 255.0f,
               1.0f - corner.texelY / 255.0f);
    }
}

// Fog is not touched: overlay quads always follow a group that switched it off.
void Gles2Renderer::drawOverlayQuad(const OverlayQuad& corners, const Colour& colour)
{
    use({GL_TRIANGLES, Shade::Colour, colour.a < 1.0f ? Blend::Over : Blend::None, false, false, fogOn_});
    for (int i : {0, 1, 2, 0, 2, 3})
        overlay(corners[size_t(i)], colour);
}

// A crisp one-pixel outline: the loop as four separate lines.
void Gles2Renderer::drawOverlayFrame(const OverlayQuad& corners, const Colour& colour)
{
    fogOn_ = false;
    use({GL_LINES, Shade::Colour, Blend::None, false, false, false});
    Colour opaque{colour.r, colour.g, colour.b, 1.0f};
    for (size_t i = 0; i < corners.size(); ++i) {
        overlay(corners[i], opaque);
        overlay(corners[(i + 1) % corners.size()], opaque);
    }
}

void Gles2Renderer::blitPicture(const uint8_t* pixels)
{
    fogOn_ = false;
    flush();
    glBindTexture(GL_TEXTURE_2D, pictureTexture_);
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, kScreenWidth, kScreenHeight, GL_RGB, GL_UNSIGNED_BYTE, pixels);
    use({GL_TRIANGLES, Shade::Picture, Blend::None, false, false, false});
    const float corners[4][4] = {{-1, -1, 0, 0}, {1, -1, 1, 0}, {1, 1, 1, 1}, {-1, 1, 0, 1}};
    for (int i : {0, 1, 2, 0, 2, 3})
        vertex(corners[i][0], corners[i][1], 0.0f, kWhite, corners[i][2], corners[i][3]);
    flush();
}
