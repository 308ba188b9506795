#include "glide2/card.h"
#include "glide2/pixel_format.h"
#include "glide2/pixel_pipeline.h"
#include "glide2/raster.h"
#include "glide2/draw_queue.h"
#include "glide2/texel_span.h"
#include "glide2/triangle_setup.h"

#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <utility>

namespace {

// One edge's column boundary on successive rows, exactly: the first column
// whose centre lies at or right of the edge, ceil((x(yc) - 8) / 16) in 1/16
// pixel units, kept as quotient and remainder.
struct EdgeWalk {
    std::int64_t q = 0, rem = 0, denominator = 1, stepQ = 0, stepRem = 0;

    static std::int64_t floorDiv(std::int64_t a, std::int64_t b)
    {
        std::int64_t q = a / b;
        return (a % b != 0 && (a < 0)) ? q - 1 : q;
    }

    void start(std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1, int row)
    {
        std::int64_t dy = y1 - y0, dx = x1 - x0;
        std::int64_t yc = 16 * static_cast<std::int64_t>(row) + 8;
        std::int64_t n = (static_cast<std::int64_t>(x0) - 8) * dy + (yc - y0) * dx;
        denominator = 16 * dy;
        q = floorDiv(n, denominator);
        rem = n - q * denominator;
        std::int64_t step = 16 * dx;
        stepQ = floorDiv(step, denominator);
        stepRem = step - stepQ * denominator;
    }
    int column() const { return static_cast<int>(q + (rem > 0 ? 1 : 0)); }
    void next()
    {
        // Without a branch: whether the remainder wraps follows the edge's
        // slope, which a predictor guesses badly.
        rem += stepRem;
        std::int64_t wrap = rem >= denominator ? 1 : 0;
        q += stepQ + wrap;
        rem -= denominator & -wrap;
    }
};

int ceilDiv16(std::int64_t v) { return static_cast<int>(EdgeWalk::floorDiv(v + 15, 16)); }

// The mip level and filter one pixel of a span reads, keyed so that two
// pixels read alike exactly when their keys are equal.
struct SpanLevel {
    LevelView view;
    bool operator==(const SpanLevel& o) const { return view.base == o.view.base && view.bilinear == o.view.bilinear; }
};

SpanLevel spanLevelAt(const TextureView& t, int baseLod256, float oow)
{
    int fraction;
    return {levelViewFor(t, levelOfDetail(t, baseLod256, oow), fraction)};
}

TexelSpanLevel texelSpanLevel(const SpanLevel& l)
{
    return {l.view.base, l.view.scale, l.view.shift, l.view.widthMask, l.view.heightMask, l.view.bilinear};
}

template <bool Tex, bool Fog, bool Depth, bool Blend, bool TexelColor>
void drawSpan(const Pipeline& p, const TriangleSetup& s, const Target& target, int row, int x0, int x1)
{
    int physicalRow = target.lowerLeft ? screenHeight - 1 - row : row;
    std::size_t rowStart = static_cast<std::size_t>(physicalRow) * screenWidth;
    std::uint16_t* color = target.color + rowStart;
    std::uint16_t* depth = target.depth + rowStart;
    const std::uint8_t* ditherRow = p.dither[physicalRow & 3];

    double px = x0 + 0.5 - s.originX, py = row + 0.5 - s.originY;
    auto at = [&](int k) { return static_cast<float>(s.start[k] + s.dx[k] * px + s.dy[k] * py); };
    constexpr bool needIterated = !TexelColor || Blend;
    float r = 0, g = 0, b = 0, a = 0, drdx = 0, dgdx = 0, dbdx = 0, dadx = 0;
    if constexpr (needIterated) {
        r = at(paramR), g = at(paramG), b = at(paramB), a = at(paramA);
        drdx = static_cast<float>(s.dx[paramR]), dgdx = static_cast<float>(s.dx[paramG]);
        dbdx = static_cast<float>(s.dx[paramB]), dadx = static_cast<float>(s.dx[paramA]);
    }
    float oow = at(paramOow), doow = static_cast<float>(s.dx[paramOow]);
    float sow = 0, tow = 0, dsow = 0, dtow = 0;
    if constexpr (Tex) {
        sow = at(paramSow), tow = at(paramTow);
        dsow = static_cast<float>(s.dx[paramSow]), dtow = static_cast<float>(s.dx[paramTow]);
    }
    float ooz = at(paramOoz), dooz = static_cast<float>(s.dx[paramOoz]);
    const bool wBuffer = p.depthMode == GR_DEPTHBUFFER_WBUFFER;

    auto run = [&](auto fetch) {
        for (int x = x0; x < x1; ++x) {
            float fi = static_cast<float>(x - x0);
            float oowHere = oow + doow * fi;
            std::uint16_t wv = 0;
            if constexpr (Fog || Depth)
                wv = wValueFromOow(oowHere);
            int depthValue = 0;
            if constexpr (Depth) {
                int base;
                if (wBuffer) {
                    base = wv;
                } else {
                    float z = ooz + dooz * fi;
                    base = z > 0.0f ? (z < 65535.0f ? static_cast<int>(z) : 65535) : 0;
                }
                depthValue = clampInt(base + p.depthBias, 0, 0xFFFF);
                if (!depthPasses(p.depthFunction, depthValue, depth[x]))
                    continue;
            }
            std::uint32_t texel = 0;
            int lodFraction = 0;
            if constexpr (Tex)
                texel = fetch(oowHere, sow + dsow * fi, tow + dtow * fi, lodFraction);
            PixelColor c;
            PixelColor iter{0, 0, 0, 0};
            if constexpr (needIterated) {
                auto clampColor = [](float v) { return v > 0.0f ? (v < 255.0f ? static_cast<int>(v) : 255) : 0; };
                iter = {clampColor(r + drdx * fi), clampColor(g + dgdx * fi), clampColor(b + dbdx * fi),
                        clampColor(a + dadx * fi)};
            }
            if constexpr (TexelColor) {
                c.r = static_cast<int>((texel >> 16) & 0xFF);
                c.g = static_cast<int>((texel >> 8) & 0xFF);
                c.b = static_cast<int>(texel & 0xFF);
                c.a = 255;
                if constexpr (Blend) {
                    PixelColor full;
                    float z = ooz + dooz * fi;
                    int depthAlpha = z > 0.0f ? (z < 65535.0f ? static_cast<int>(z) >> 8 : 255) : 0;
                    combinePixel(p, iter, depthAlpha, texel, lodFraction, full);
                    c.a = full.a;
                }
            } else {
                float z = ooz + dooz * fi;
                int depthAlpha = z > 0.0f ? (z < 65535.0f ? static_cast<int>(z) >> 8 : 255) : 0;
                combinePixel(p, iter, depthAlpha, texel, lodFraction, c);
            }
            PixelColor prefog = c;
            if constexpr (Fog)
                applyFog(p, wv, c);
            if constexpr (Blend)
                blendPixel(p, color[x], prefog, c);
            if (p.colorWrite)
                color[x] = packDithered(ditherRow[x & 3], c.r, c.g, c.b);
            if constexpr (Depth) {
                if (p.depthWrite)
                    depth[x] = static_cast<std::uint16_t>(depthValue);
            }
        }
    };

    if constexpr (Tex) {
        // 1/w is linear along the span, so the level of detail only rises or
        // only falls: when both ends use the same level, every pixel does.
        const TextureView& t = p.texture;
        int firstFraction, lastFraction;
        float oowLast = oow + doow * static_cast<float>(x1 - 1 - x0);
        LevelView first = levelViewFor(t, levelOfDetail(t, s.baseLod256, oow), firstFraction);
        LevelView last = levelViewFor(t, levelOfDetail(t, s.baseLod256, oowLast), lastFraction);
        if (TexelColor && first.base == last.base && first.bilinear == last.bilinear) {
            run([&](float o, float sw, float tw, int&) { return sampleLevel(first, o, sw, tw); });
            return;
        }
        run([&](float o, float sw, float tw, int& fraction) {
            return sampleTexture(t, s.baseLod256, o, sw, tw, fraction);
        });
    } else {
        run([](float, float, float, int&) { return 0u; });
    }
}

typedef void (*SpanFunction)(const Pipeline&, const TriangleSetup&, const Target&, int, int, int);

template <int Index>
constexpr SpanFunction spanFor()
{
    return &drawSpan<(Index & 1) != 0, (Index & 2) != 0, (Index & 4) != 0, (Index & 8) != 0, (Index & 16) != 0>;
}

template <int... I>
constexpr auto buildSpanTable(std::integer_sequence<int, I...>)
{
    return std::array<SpanFunction, sizeof...(I)>{spanFor<I>()...};
}

constexpr auto spanTable = buildSpanTable(std::make_integer_sequence<int, 32>{});

TexelSpanModes texelSpanModesFor(const Pipeline& p)
{
    TexelSpanModes modes;
    modes.fogEntries = card.fogEntries;
    modes.fogKind = (p.fogMode & GR_FOG_MULT2) ? 1 : ((p.fogMode & GR_FOG_ADD2) ? 2 : 0);
    modes.fogR = p.fogR, modes.fogG = p.fogG, modes.fogB = p.fogB;
    modes.depthBias = p.depthBias;
    modes.depthFunction = p.depthFunction;
    modes.depthWrite = p.depthWrite;
    modes.colorWrite = p.colorWrite;
    modes.sWrap = p.texture.sWrap;
    modes.tWrap = p.texture.tWrap;
    modes.dithered = p.dither[0][0] < 16;
    return modes;
}

// The modes of the pipeline build this thread drew with last: a build's
// number is never reused, and a copy changed by hand (0) is never kept.
struct LastModes {
    std::uint64_t generation = 0;
    TexelSpanModes modes{};
};

thread_local LastModes lastModes;

const TexelSpanModes& texelSpanModesOf(const Pipeline& p)
{
    if (p.generation == 0 || p.generation != lastModes.generation) {
        lastModes.modes = texelSpanModesFor(p);
        lastModes.generation = p.generation;
    }
    return lastModes.modes;
}

// Whether every pixel of the triangle reads one level, and which. The level
// follows 1/w monotonically and 1/w at a pixel lies between the corners'
// values, give or take rounding far below the margin taken here.
bool singleLevel(const TextureView& t, const TriangleSetup& s, TexelSpanLevel& level)
{
    double lo = s.oowMin, hi = s.oowMax;
    double margin = 1e-5 * (std::fabs(lo) > std::fabs(hi) ? std::fabs(lo) : std::fabs(hi));
    lo -= margin;
    hi += margin;
    if (!(lo > 0.0) || !(hi < 3.0e38))
        return false;
    // Two levels of detail read alike when they pick the same map and filter.
    int nearLod = levelOfDetail(t, s.baseLod256, static_cast<float>(hi));
    int farLod = levelOfDetail(t, s.baseLod256, static_cast<float>(lo));
    auto map = [&](int lod) { return t.offset[clampInt(lod, t.minLod256, t.maxLod256) >> 8]; };
    auto bilinear = [&](int lod) { return lod <= t.minLod256 ? t.magBilinear : t.minBilinear; };
    if (map(nearLod) != map(farLod) || bilinear(nearLod) != bilinear(farLod))
        return false;
    int fraction;
    level = texelSpanLevel({levelViewFor(t, nearLod, fraction)});
    return true;
}

// Pixels waiting for a full group of lanes, on this drawing thread: the
// rows of one triangle and of those after it drawn alike (same pipeline
// build, buffers and level), up to the next drawing of any other kind or the
// end of a batch. A pixel an earlier triangle's piece holds is never drawn
// before that piece is.
struct GatheredLanes {
    TexelLanes lanes;
    TexelSpanModes modes{};
    TexelSpanLevel level{};
    TexelLanesFunction function = nullptr;
    std::uint16_t* color = nullptr;
    std::uint16_t* depth = nullptr;
    std::uint64_t generation = 0; // the pipeline build; 0 joins nothing

    void flush()
    {
        if (lanes.count > 0)
            function(modes, level, color, depth, lanes);
        lanes.count = 0;
        lanes.pieces = 0;
        lanes.earlierPieces = 0;
    }
};

thread_local GatheredLanes gathered;

// The rows of a triangle whose colour is the texel. A row reads one mip level
// unless its ends read different ones (1/w is linear along the row, so the
// level only rises or only falls); whole groups of eight go to the run loop,
// and the rest of each row, with the short rows, is gathered into lanes of
// eight pixels from several rows.
class TexelRows {
public:
    TexelRows(const Pipeline& p, const TriangleSetup& s, const Target& target)
        : p_(p), s_(s), target_(target), modes_(texelSpanModesOf(p)),
          loops_(texelLoops(p.fog, p.depthMode != GR_DEPTHBUFFER_DISABLE)), doow_(static_cast<float>(s.dx[paramOow])),
          dsow_(static_cast<float>(s.dx[paramSow])), dtow_(static_cast<float>(s.dx[paramTow]))
    {
        single_ = singleLevel(p.texture, s, level_);
        gathered.lanes.earlierPieces = gathered.lanes.pieces;
        if (single_)
            claim();
        triangle_ = {target.color,
                     target.depth,
                     p.dither,
                     target.lowerLeft,
                     screenWidth,
                     screenHeight,
                     s.originX,
                     s.originY,
                     {s.start[paramOow], s.start[paramSow], s.start[paramTow]},
                     {s.dx[paramOow], s.dx[paramSow], s.dx[paramTow]},
                     {s.dy[paramOow], s.dy[paramSow], s.dy[paramTow]},
                     doow_,
                     dsow_,
                     dtow_};
    }
    ~TexelRows()
    {
        if (p_.generation == 0)
            gathered.flush();
    }

    // Whether every pixel reads one level: then rows() draws them.
    bool single() const { return single_; }

    void rows(int firstRow, int count, const int* left, const int* right)
    {
        loops_.rows(modes_, level_, triangle_, firstRow, count, left, right, gathered.lanes);
    }

    // One row of a triangle whose rows read more than one level.
    void row(int row, int x0, int x1)
    {
        int physicalRow = target_.lowerLeft ? screenHeight - 1 - row : row;
        std::size_t rowStart = static_cast<std::size_t>(physicalRow) * screenWidth;
        double px = x0 + 0.5 - s_.originX, py = row + 0.5 - s_.originY;
        auto at = [&](int k) { return static_cast<float>(s_.start[k] + s_.dx[k] * px + s_.dy[k] * py); };
        const float oow = at(paramOow);
        const TextureView& t = p_.texture;
        auto levelAt = [&](int x) { return spanLevelAt(t, s_.baseLod256, oow + doow_ * static_cast<float>(x - x0)); };
        SpanLevel first = levelAt(x0);
        if (levelAt(x1 - 1) == first) {
            if (!(lanesLevel_ == first)) {
                lanesLevel_ = first;
                level_ = texelSpanLevel(first);
                claim();
            }
            const int left[4] = {x0}, right[4] = {x1};
            loops_.rows(modes_, level_, triangle_, row, 1, left, right, gathered.lanes);
            return;
        }
        TexelSpanRun run{target_.color + rowStart,
                         target_.depth + rowStart,
                         p_.dither[physicalRow & 3],
                         x0,
                         x0,
                         x1,
                         screenWidth,
                         oow,
                         doow_,
                         at(paramSow),
                         dsow_,
                         at(paramTow),
                         dtow_};
        // Colour and depth are read first thing at every pixel: ask for the
        // lines of the next row (which covers about the same columns) while
        // this one is drawn, rather than wait at each group.
        int nextRow = target_.lowerLeft ? physicalRow - 1 : physicalRow + 1;
        if (x1 - x0 >= 32 && nextRow >= 0 && nextRow < screenHeight) {
            std::ptrdiff_t next = (nextRow - physicalRow) * screenWidth;
            for (int x = x0 & ~31; x < x1; x += 32) {
                __builtin_prefetch(run.color + next + x, 1);
                __builtin_prefetch(run.depth + next + x, 1);
            }
        }
        while (run.from < x1) {
            first = levelAt(run.from);
            int end = x1;
            if (!(levelAt(x1 - 1) == first)) {
                // The first pixel past from that reads another level.
                int lo = run.from, hi = x1 - 1;
                while (hi - lo > 1) {
                    int mid = lo + (hi - lo) / 2;
                    (levelAt(mid) == first ? lo : hi) = mid;
                }
                end = hi;
            }
            run.to = end;
            drawRun(texelSpanLevel(first), run, static_cast<int>(rowStart));
            run.from = end;
        }
    }

private:
    // Makes the gathered lanes this triangle's at level_: those drawn
    // otherwise go first.
    void claim()
    {
        GatheredLanes& g = gathered;
        if (g.lanes.count > 0 &&
            !(p_.generation != 0 && g.generation == p_.generation && g.color == target_.color &&
              g.depth == target_.depth && g.level.base == level_.base && g.level.bilinear == level_.bilinear))
            g.flush();
        if (g.lanes.count == 0) {
            g.modes = modes_;
            g.level = level_;
            g.function = loops_.lanes;
            g.color = target_.color;
            g.depth = target_.depth;
            g.generation = p_.generation;
        }
    }

    // A run drawn at once, after any earlier triangle's waiting pixel in it.
    void drawRun(const TexelSpanLevel& level, const TexelSpanRun& run, int rowStart)
    {
        if (gathered.lanes.earlierPieces > 0 && gathered.lanes.meetsEarlier(rowStart + run.from, rowStart + run.to))
            gathered.flush();
        loops_.span(modes_, level, run);
    }

    const Pipeline& p_;
    const TriangleSetup& s_;
    const Target& target_;
    const TexelSpanModes& modes_;
    const TexelLoops& loops_;
    float doow_, dsow_, dtow_;
    TexelTriangle triangle_;
    TexelSpanLevel level_{};
    SpanLevel lanesLevel_{};
    bool single_;
};

} // namespace

void triangleRows(const TriangleSetup& s, int& first, int& end)
{
    first = ceilDiv16(s.y[0] - 8);
    end = ceilDiv16(s.y[2] - 8);
}

namespace {

// Calls rows(firstRow, count, left, right) for the triangle's rows inside the
// clip rectangle, up to 32 at a time, row i covering [left[i], right[i]) (no
// pixels where left >= right). The arrays hold 32 entries.
template <typename Rows>
void walkRowBatches(const TriangleSetup& s, const Target& target, Rows&& rows)
{
    const std::int32_t* x = s.x;
    const std::int32_t* y = s.y;
    int rowFirst, rowEnd;
    triangleRows(s, rowFirst, rowEnd);
    if (rowFirst < target.clipMinY)
        rowFirst = target.clipMinY;
    if (rowEnd > target.clipMaxY)
        rowEnd = target.clipMaxY;
    if (rowFirst >= rowEnd)
        return;
    // Is the middle corner right of the long edge (then the long edge is the left one)?
    std::int64_t side = static_cast<std::int64_t>(x[1] - x[0]) * (y[2] - y[0]) -
                        static_cast<std::int64_t>(y[1] - y[0]) * (x[2] - x[0]);
    bool longIsLeft = side > 0;
    EdgeWalk longEdge, shortEdge;
    longEdge.start(x[0], y[0], x[2], y[2], rowFirst);
    int rowMiddle = ceilDiv16(y[1] - 8); // first row on the lower short edge
    bool onUpper = rowFirst < rowMiddle;
    if (onUpper)
        shortEdge.start(x[0], y[0], x[1], y[1], rowFirst);
    else
        shortEdge.start(x[1], y[1], x[2], y[2], rowFirst);
    // The edges are walked a batch of rows at a time, apart from the drawing,
    // so that their state stays in registers.
    constexpr int batch = 32;
    int left[batch], right[batch];
    for (int r0 = rowFirst; r0 < rowEnd; r0 += batch) {
        int count = rowEnd - r0 < batch ? rowEnd - r0 : batch;
        for (int i = 0; i < count; ++i) {
            if (onUpper && r0 + i >= rowMiddle) {
                onUpper = false;
                shortEdge.start(x[1], y[1], x[2], y[2], r0 + i);
            }
            int a = longEdge.column(), b = shortEdge.column();
            int l = longIsLeft ? a : b, rt = longIsLeft ? b : a;
            left[i] = l > target.clipMinX ? l : target.clipMinX;
            right[i] = rt < target.clipMaxX ? rt : target.clipMaxX;
            longEdge.next();
            shortEdge.next();
        }
        for (int i = count; i % 4 != 0; ++i)
            left[i] = right[i] = 0; // read four rows at a time, never drawn
        rows(r0, count, left, right);
    }
}

// Calls row(row, left, right) for every row of the triangle inside the clip
// rectangle that has pixels.
template <typename Row>
void walkRows(const TriangleSetup& s, const Target& target, Row&& row)
{
    walkRowBatches(s, target, [&](int firstRow, int count, const int* left, const int* right) {
        for (int i = 0; i < count; ++i)
            if (left[i] < right[i])
                row(firstRow + i, left[i], right[i]);
    });
}

} // namespace

namespace {

bool onePixelLoop = false;

} // namespace

void flushGatheredLanes() { gathered.flush(); }

void glide2UseOnePixelLoop(bool onePixel) { onePixelLoop = onePixel; }

bool texelOnly(const Pipeline& p, const Target& target, bool textured)
{
    return textured && p.colorIsTexel && p.tmuIsTexel && !target.blend &&
           (p.depthMode == GR_DEPTHBUFFER_DISABLE || p.depthMode == GR_DEPTHBUFFER_WBUFFER) && !onePixelLoop;
}

void rasterize(const Pipeline& p, const TriangleSetup& s, const Target& target, bool textured)
{
    bool texelColor = textured && p.colorIsTexel && p.tmuIsTexel;
    bool depth = p.depthMode != GR_DEPTHBUFFER_DISABLE;
    if (texelOnly(p, target, textured)) {
        TexelRows rows(p, s, target);
        if (rows.single())
            walkRowBatches(s, target, [&](int firstRow, int count, const int* left, const int* right) {
                rows.rows(firstRow, count, left, right);
            });
        else
            walkRows(s, target, [&](int row, int left, int right) { rows.row(row, left, right); });
        return;
    }
    flushGatheredLanes(); // drawn before this triangle's pixels
    int index = (textured ? 1 : 0) | (p.fog ? 2 : 0) | (depth ? 4 : 0) | (target.blend ? 8 : 0) |
                (texelColor ? 16 : 0);
    SpanFunction span = spanTable[static_cast<std::size_t>(index)];
    walkRows(s, target, [&](int row, int left, int right) { span(p, s, target, row, left, right); });
}

namespace {

bool vertexAlphaOpaque(const GrVertex* a, const GrVertex* b, const GrVertex* c)
{
    return a->a >= 255.0f && a->a == b->a && a->a == c->a;
}

void drawTriangle(const GrVertex* a, const GrVertex* b, const GrVertex* c, bool cull)
{
    if (!card.open || !a || !b || !c)
        return;
    const RenderState& st = card.state;
    FixedCorners corners = fixedCorners(a, b, c);
    if (cull && st.cullMode != GR_CULL_DISABLE) {
        std::int64_t area = signedArea(corners);
        if ((st.cullMode == GR_CULL_POSITIVE && area > 0) || (st.cullMode == GR_CULL_NEGATIVE && area < 0))
            return;
    }
    const Pipeline& p = currentPipeline();
    Target target;
    target.color = cardColorBuffer(st.renderBuffer);
    target.depth = card.depthBuffer.data();
    target.lowerLeft = st.origin == GR_ORIGIN_LOWER_LEFT;
    target.clipMinX = st.clipMinX;
    target.clipMaxX = st.clipMaxX;
    target.clipMinY = st.clipMinY;
    target.clipMaxY = st.clipMaxY;
    // Source-alpha blending with a constant alpha of 255 leaves the source
    // exactly; skipping the read changes no pixel.
    target.blend = p.blend && !(p.blendSrc == GR_BLEND_SRC_ALPHA && p.blendDst == GR_BLEND_ONE_MINUS_SRC_ALPHA &&
                                p.alphaIsIterated && vertexAlphaOpaque(a, b, c));
    if (!target.color)
        return;
    bool textured = p.texturing && p.texture.valid;
    TriangleSetup s;
    if (!setupTriangle(a, b, c, corners, s, !texelOnly(p, target, textured)))
        return;
    if (p.texturing && !p.texture.valid) {
        // No texture downloaded: the unit reads black, transparent texels.
        static const std::uint32_t black = 0;
        static TextureView empty = [] {
            TextureView v;
            v.valid = true;
            v.texels = &black;
            return v;
        }();
        Pipeline copy = p;
        copy.texture = empty;
        copy.generation = 0;
        queueTriangle(copy, s, target, true);
        return;
    }
    queueTriangle(p, s, target, textured);
}

// The fringe outside one edge: a one-pixel quad fading from the edge's alpha to 0.
void drawFringe(const GrVertex* p, const GrVertex* q, const GrVertex* third)
{
    float dx = q->x - p->x, dy = q->y - p->y;
    double cross = static_cast<double>(dx) * (third->y - p->y) - static_cast<double>(dy) * (third->x - p->x);
    float ox = 0.0f, oy = 0.0f;
    if (std::fabs(dx) >= std::fabs(dy)) {
        bool thirdBelow = (cross > 0) == (dx > 0); // third vertex at larger y
        oy = thirdBelow ? -1.0f : 1.0f;
    } else {
        bool thirdRight = (cross > 0) != (dy > 0); // third vertex at larger x
        ox = thirdRight ? -1.0f : 1.0f;
    }
    GrVertex p2 = *p, q2 = *q;
    p2.x += ox;
    p2.y += oy;
    q2.x += ox;
    q2.y += oy;
    p2.a = 0.0f;
    q2.a = 0.0f;
    drawTriangle(p, q, &q2, false);
    drawTriangle(p, &q2, &p2, false);
}

} // namespace

std::uint8_t log2Fraction[256];

namespace {

const bool log2FractionFilled = [] {
    for (int m = 0; m < 256; ++m) {
        long v = std::lround(256.0 * std::log2(1.0 + m / 256.0));
        log2Fraction[m] = static_cast<std::uint8_t>(v > 255 ? 255 : v);
    }
    return true;
}();

} // namespace

void grDrawTriangle(const GrVertex* a, const GrVertex* b, const GrVertex* c) { drawTriangle(a, b, c, true); }

void grAADrawTriangle(const GrVertex* a, const GrVertex* b, const GrVertex* c, FxBool abAntialias, FxBool bcAntialias,
                      FxBool caAntialias)
{
    if (!card.open || !a || !b || !c)
        return;
    const RenderState& st = card.state;
    std::int64_t area = signedArea(a, b, c);
    if (area == 0)
        return;
    if ((st.cullMode == GR_CULL_POSITIVE && area > 0) || (st.cullMode == GR_CULL_NEGATIVE && area < 0))
        return;
    drawTriangle(a, b, c, false);
    // The fringes blend over the edge without claiming depth.
    std::uint8_t savedMask = card.state.depthMask;
    card.state.depthMask = 0;
    card.pipelineDirty = true;
    if (abAntialias)
        drawFringe(a, b, c);
    if (bcAntialias)
        drawFringe(b, c, a);
    if (caAntialias)
        drawFringe(c, a, b);
    card.state.depthMask = savedMask;
    card.pipelineDirty = true;
}
