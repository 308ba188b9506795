#pragma once

// The eight-pixel loops of texel_span.h. Included by one file per instruction
// set; everything here has internal linkage so that no helper built for one
// set can stand in for the other's.

#include "glide2/texel_span.h"

#include <cstddef>
#include <cstring>

#ifdef __AVX2__
#include <immintrin.h>
#endif

namespace {

typedef float F8 __attribute__((vector_size(32)));
typedef std::int32_t I8 __attribute__((vector_size(32)));
typedef std::uint16_t U16x16 __attribute__((vector_size(32)));
typedef std::int16_t S16x8 __attribute__((vector_size(16)));
typedef std::uint64_t U64x4 __attribute__((vector_size(32)));

constexpr I8 laneIndex = {0, 1, 2, 3, 4, 5, 6, 7};
constexpr F8 laneOffset = {0.0f, 1.0f, 2.0f, 3.0f, 4.0f, 5.0f, 6.0f, 7.0f};

[[gnu::always_inline]] inline I8 splat(std::int32_t v) { return I8{} + v; }
[[gnu::always_inline]] inline F8 splatF(float v) { return F8{} + v; }

[[gnu::always_inline]] inline I8 bitsOf(F8 f) { return reinterpret_cast<I8>(f); }

// mask is -1 or 0 in every lane.
[[gnu::always_inline]] inline I8 select(I8 mask, I8 a, I8 b)
{
#ifdef __AVX2__
    return reinterpret_cast<I8>(_mm256_blendv_epi8(reinterpret_cast<__m256i>(b), reinterpret_cast<__m256i>(a),
                                                   reinterpret_cast<__m256i>(mask)));
#else
    return (mask & a) | (~mask & b);
#endif
}

[[gnu::always_inline]] inline F8 selectF(I8 mask, F8 a, F8 b)
{
    return reinterpret_cast<F8>(select(mask, bitsOf(a), bitsOf(b)));
}

// The lanes of pattern at index (0 to 7) in every lane.
[[gnu::always_inline]] inline I8 permute(I8 pattern, I8 index)
{
#ifdef __AVX2__
    return reinterpret_cast<I8>(
        _mm256_permutevar8x32_epi32(reinterpret_cast<__m256i>(pattern), reinterpret_cast<__m256i>(index)));
#else
    I8 out;
    for (int k = 0; k < 8; ++k)
        out[k] = pattern[index[k] & 7];
    return out;
#endif
}

[[gnu::always_inline]] inline I8 clamp(I8 v, I8 lo, I8 hi)
{
#ifdef __AVX2__
    return reinterpret_cast<I8>(
        _mm256_min_epi32(_mm256_max_epi32(reinterpret_cast<__m256i>(v), reinterpret_cast<__m256i>(lo)),
                         reinterpret_cast<__m256i>(hi)));
#else
    v = select(v < lo, lo, v);
    return select(v > hi, hi, v);
#endif
}

// Floor of v after limiting it to +-2^30 (not-a-number to the low end), as
// the one-pixel pipeline converts texture coordinates.
[[gnu::always_inline]] inline I8 floorCoordinate(F8 v)
{
    const F8 lo = splatF(-1073741824.0f), hi = splatF(1073741824.0f);
#ifdef __AVX2__
    // As the selects below: max and min take the second operand when either
    // is not a number. Whole numbers of this size convert exactly.
    return __builtin_convertvector(_mm256_floor_ps(_mm256_min_ps(_mm256_max_ps(v, lo), hi)), I8);
#else
    v = selectF(v > lo, v, lo);
    v = selectF(v < hi, v, hi);
    I8 t = __builtin_convertvector(v, I8);
    F8 back = __builtin_convertvector(t, F8);
    return t + (v < back); // the mask is -1 where truncation went up
#endif
}

[[gnu::always_inline]] inline I8 gather(const std::uint32_t* base, I8 index)
{
    // Separate loads: faster than the gather instruction where we measured.
    return I8{static_cast<std::int32_t>(base[index[0]]), static_cast<std::int32_t>(base[index[1]]),
              static_cast<std::int32_t>(base[index[2]]), static_cast<std::int32_t>(base[index[3]]),
              static_cast<std::int32_t>(base[index[4]]), static_cast<std::int32_t>(base[index[5]]),
              static_cast<std::int32_t>(base[index[6]]), static_cast<std::int32_t>(base[index[7]])};
}

[[gnu::always_inline]] inline bool anySet(I8 mask)
{
#ifdef __AVX2__
    return !_mm256_testz_si256(reinterpret_cast<__m256i>(mask), reinterpret_cast<__m256i>(mask));
#else
    S16x8 m = __builtin_convertvector(mask, S16x8);
    std::uint64_t a, b;
    std::memcpy(&a, &m, 8);
    std::memcpy(&b, reinterpret_cast<const char*>(&m) + 8, 8);
    return (a | b) != 0;
#endif
}

[[gnu::always_inline]] inline bool allSet(I8 mask) { return !anySet(~mask); }

// The texels at index and index + 1 for every lane.
[[gnu::always_inline]] inline void gatherPairs(const std::uint32_t* base, I8 index, I8& first, I8& second)
{
    std::uint64_t p[8];
    for (int k = 0; k < 8; ++k)
        std::memcpy(&p[k], base + index[k], sizeof p[k]);
    U64x4 low = {p[0], p[1], p[2], p[3]}, high = {p[4], p[5], p[6], p[7]};
    first = __builtin_shufflevector(reinterpret_cast<I8>(low), reinterpret_cast<I8>(high), 0, 2, 4, 6, 8, 10, 12, 14);
    second = __builtin_shufflevector(reinterpret_cast<I8>(low), reinterpret_cast<I8>(high), 1, 3, 5, 7, 9, 11, 13, 15);
}

[[gnu::always_inline]] inline I8 wrapOrClamp(I8 i, bool wrap, I8 mask)
{
    return wrap ? (i & mask) : clamp(i, I8{}, mask);
}

// Channels c (0xAARRGGBB) times w (at most 256) per channel, w in both halves
// of each lane: every product and sum fits 16 bits.
[[gnu::always_inline]] inline U16x16 weigh(I8 c, I8 w)
{
    return reinterpret_cast<U16x16>(c) * reinterpret_cast<U16x16>(w);
}

// The bilinear or nearest texel at 1/16-texel coordinates si, ti.
[[gnu::always_inline]] inline I8 fetch(const TexelSpanLevel& v, bool sWrap, bool tWrap, I8 si, I8 ti)
{
    const I8 wm = splat(v.widthMask), hm = splat(v.heightMask);
    if (!v.bilinear) {
        I8 i = wrapOrClamp(si >> 4, sWrap, wm), j = wrapOrClamp(ti >> 4, tWrap, hm);
        return gather(v.base, (j << v.shift) + i);
    }
    // Texel centres sit half a texel in; 4 bits of fraction.
    si -= 8;
    ti -= 8;
    I8 i0 = si >> 4, j0 = ti >> 4;
    I8 fi = si & 15, fj = ti & 15;
    I8 i1 = wrapOrClamp(i0 + 1, sWrap, wm), j1 = wrapOrClamp(j0 + 1, tWrap, hm);
    i0 = wrapOrClamp(i0, sWrap, wm);
    j0 = wrapOrClamp(j0, tWrap, hm);
    I8 row0 = j0 << v.shift, row1 = j1 << v.shift;
    I8 c00, c10, c01, c11;
    if (allSet(i1 == i0 + 1)) {
        // Each texel's right neighbour follows it in memory: one load for both.
        gatherPairs(v.base, row0 + i0, c00, c10);
        gatherPairs(v.base, row1 + i0, c01, c11);
    } else {
        c00 = gather(v.base, row0 + i0), c10 = gather(v.base, row0 + i1);
        c01 = gather(v.base, row1 + i0), c11 = gather(v.base, row1 + i1);
    }
    const I8 sixteen = splat(16);
    I8 w00 = (sixteen - fi) * (sixteen - fj), w10 = fi * (sixteen - fj), w01 = (sixteen - fi) * fj, w11 = fi * fj;
    w00 |= w00 << 16;
    w10 |= w10 << 16;
    w01 |= w01 << 16;
    w11 |= w11 << 16;
    const I8 low = splat(0x00FF00FF);
    U16x16 rb = weigh(c00 & low, w00) + weigh(c10 & low, w10) + weigh(c01 & low, w01) + weigh(c11 & low, w11);
    U16x16 ag = weigh((c00 >> 8) & low, w00) + weigh((c10 >> 8) & low, w10) + weigh((c01 >> 8) & low, w01) +
                weigh((c11 >> 8) & low, w11);
    return reinterpret_cast<I8>(rb >> 8) | (reinterpret_cast<I8>(ag) & splat(static_cast<std::int32_t>(0xFF00FF00)));
}

// One channel through table fog with weight f1 (1 + the table's blend).
[[gnu::always_inline]] inline I8 fogChannel(int kind, I8 c, I8 fog, I8 f1)
{
    const I8 zero{}, top = splat(255);
    if (kind == 0)
        return clamp(c + (((fog - c) * f1) >> 8), zero, top);
    if (kind == 1)
        return clamp((fog * f1) >> 8, zero, top);
    return clamp(c - ((c * f1) >> 8), zero, top);
}

// Eight pixels from row + start: the lanes below count; the rest read 0.
[[gnu::always_inline]] inline I8 load8(const std::uint16_t* row, int start, int count, bool whole)
{
    std::uint16_t v[8] = {};
    if (whole)
        std::memcpy(v, row + start, sizeof v);
    else
        for (int k = 0; k < count; ++k)
            v[k] = row[start + k];
    return I8{v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7]};
}

// Writes the lanes of value where mask is set.
[[gnu::always_inline]] inline void store8(std::uint16_t* row, int start, int count, bool whole, I8 value, I8 mask)
{
    S16x8 v = __builtin_convertvector(value, S16x8);
    S16x8 m = __builtin_convertvector(mask, S16x8);
    if (whole) {
        S16x8 old;
        std::memcpy(&old, row + start, sizeof old);
        S16x8 merged = (m & v) | (~m & old);
        std::memcpy(row + start, &merged, sizeof merged);
        return;
    }
    for (int k = 0; k < count; ++k)
        if (m[k])
            row[start + k] = static_cast<std::uint16_t>(v[k]);
}

// What every group of a run or of lanes shares.
struct GroupConstants {
    I8 lessMask, equalMask, greaterMask, depthBias, fogR, fogG, fogB;
    F8 scale;
};

[[gnu::always_inline]] inline GroupConstants groupConstants(const TexelSpanModes& modes, const TexelSpanLevel& level)
{
    const int function = modes.depthFunction;
    return {splat((function & 1) ? -1 : 0),
            splat((function & 2) ? -1 : 0),
            splat((function & 4) ? -1 : 0),
            splat(modes.depthBias),
            splat(modes.fogR),
            splat(modes.fogG),
            splat(modes.fogB),
            splatF(level.scale)};
}

// Eight pixels at 1/w = o with s/w, t/w = sw, tw, over the stored depths:
// narrows active to the lanes that pass the depth test and gives their colour
// and depth. False when no lane is left.
template <bool Fog, bool Depth>
[[gnu::always_inline]] inline bool shadeGroup(const TexelSpanModes& modes, const TexelSpanLevel& level,
                                              const GroupConstants& k, F8 o, F8 sw, F8 tw, I8 stored, I8 dither,
                                              I8& active, I8& packed, I8& depthValue)
{
    const I8 zero{}, maxDepth = splat(0xFFFF);
    // The w value (see w_value.h), clamped to 0..0xFFFF.
    I8 wv{};
    if constexpr (Fog || Depth) {
        wv = clamp(0x7F000 - ((bitsOf(o) >> 11) & 0x1FFFFF), zero, maxDepth);
        wv = select(bitsOf(o) < 0, zero, wv);
    }
    if constexpr (Depth) {
        depthValue = clamp(wv + k.depthBias, zero, maxDepth);
        I8 passes = ((depthValue < stored) & k.lessMask) | ((depthValue == stored) & k.equalMask) |
                    ((depthValue > stored) & k.greaterMask);
        active &= passes;
        if (!anySet(active))
            return false;
    }

    // A negative 1/w reads s = t = 0: dividing by infinity gives w = 0.
    F8 w = k.scale / selectF(o > 0.0f, o, splatF(__builtin_inff()));
    I8 si = floorCoordinate(sw * w);
    I8 ti = floorCoordinate(tw * w);
    I8 texel = fetch(level, modes.sWrap, modes.tWrap, si, ti);

    I8 r = (texel >> 16) & 0xFF, g = (texel >> 8) & 0xFF, b = texel & 0xFF;
    if constexpr (Fog) {
        // Neighbouring pixels' w values are close: most groups read one entry.
        const I8 index = wv >> 10;
        const I8 entry = allSet(index == index[0]) ? splat(static_cast<std::int32_t>(modes.fogEntries[index[0]]))
                                                   : gather(modes.fogEntries, index);
        I8 f1 = (entry & 0xFF) + ((((entry >> 8) & 0xFF) * ((wv >> 2) & 0xFF)) >> 10) + 1;
        r = fogChannel(modes.fogKind, r, k.fogR, f1);
        g = fogChannel(modes.fogKind, g, k.fogG, f1);
        b = fogChannel(modes.fogKind, b, k.fogB, f1);
    }
    if (modes.colorWrite) {
        if (modes.dithered) {
            I8 r5 = (2 * r - (r >> 4) + (r >> 7) + dither) >> 4;
            I8 g6 = (4 * g - (g >> 4) + (g >> 6) + dither) >> 4;
            I8 b5 = (2 * b - (b >> 4) + (b >> 7) + dither) >> 4;
            packed = r5 << 11 | g6 << 5 | b5;
        } else {
            packed = (r >> 3) << 11 | (g >> 2) << 5 | (b >> 3);
        }
    }
    return true;
}

// The groups of a run, with the constants and the run's dither lanes given.
template <bool Fog, bool Depth>
[[gnu::always_inline]] inline void runGroups(const TexelSpanModes& modes, const TexelSpanLevel& level,
                                             const GroupConstants& k, I8 dither, const TexelSpanRun& run)
{
    for (int start = run.from; start < run.to; start += 8) {
        const int count = run.to - start;
        const bool whole = start + 8 <= run.rowWidth;
        I8 active = laneIndex < count;
        F8 fi = laneOffset + static_cast<float>(start - run.x0);
        F8 o = run.oow + run.doow * fi;
        I8 stored{};
        if constexpr (Depth)
            stored = load8(run.depth, start, count, whole);
        I8 packed{}, depthValue{};
        if (!shadeGroup<Fog, Depth>(modes, level, k, o, run.sow + run.dsow * fi, run.tow + run.dtow * fi, stored,
                                    dither, active, packed, depthValue))
            continue;
        if (modes.colorWrite)
            store8(run.color, start, count, whole, packed, active);
        if constexpr (Depth) {
            if (modes.depthWrite)
                store8(run.depth, start, count, whole, depthValue, active);
        }
    }
}

template <bool Fog, bool Depth>
void texelSpan(const TexelSpanModes& modes, const TexelSpanLevel& level, const TexelSpanRun& run)
{
    const I8 dither = {run.ditherRow[(run.from + 0) & 3], run.ditherRow[(run.from + 1) & 3],
                       run.ditherRow[(run.from + 2) & 3], run.ditherRow[(run.from + 3) & 3],
                       run.ditherRow[(run.from + 4) & 3], run.ditherRow[(run.from + 5) & 3],
                       run.ditherRow[(run.from + 6) & 3], run.ditherRow[(run.from + 7) & 3]};
    runGroups<Fog, Depth>(modes, level, groupConstants(modes, level), dither, run);
}

// The lanes' pixels set in mask, one bit each.
[[gnu::always_inline]] inline unsigned laneBits(I8 mask)
{
#ifdef __AVX2__
    return static_cast<unsigned>(__builtin_ia32_movmskps256(reinterpret_cast<F8>(mask)));
#else
    unsigned bits = 0;
    for (int k = 0; k < 8; ++k)
        bits |= (mask[k] != 0 ? 1u : 0u) << k;
    return bits;
#endif
}

// The first count lanes of a gathered group, each at its own pixel.
template <bool Fog, bool Depth>
[[gnu::always_inline]] inline void drawLaneVectors(const TexelSpanModes& modes, const TexelSpanLevel& level,
                                                   const GroupConstants& k, std::uint16_t* color, std::uint16_t* depth,
                                                   int count, I8 pixel, I8 dither, F8 o, F8 sw, F8 tw)
{
    const I8 used = laneIndex < count;
    pixel &= used;
    I8 active = used;
    I8 stored{};
    if constexpr (Depth) // lanes past count read pixel 0: no branch per lane
        stored = I8{depth[pixel[0]], depth[pixel[1]], depth[pixel[2]], depth[pixel[3]],
                    depth[pixel[4]], depth[pixel[5]], depth[pixel[6]], depth[pixel[7]]};
    I8 packed{}, depthValue{};
    if (!shadeGroup<Fog, Depth>(modes, level, k, o, sw, tw, stored, dither, active, packed, depthValue))
        return;
    for (unsigned bits = laneBits(active); bits; bits &= bits - 1) {
        int lane = __builtin_ctz(bits);
        if (modes.colorWrite)
            color[pixel[lane]] = static_cast<std::uint16_t>(packed[lane]);
        if constexpr (Depth) {
            if (modes.depthWrite)
                depth[pixel[lane]] = static_cast<std::uint16_t>(depthValue[lane]);
        }
    }
}

template <bool Fog, bool Depth>
void texelLanes(const TexelSpanModes& modes, const TexelSpanLevel& level, std::uint16_t* color, std::uint16_t* depth,
                const TexelLanes& lanes)
{
    auto loadF = [](const float* v) {
        F8 f;
        std::memcpy(&f, v, sizeof f);
        return f;
    };
    auto loadI = [](const std::int32_t* v) {
        I8 i;
        std::memcpy(&i, v, sizeof i);
        return i;
    };
    const F8 fi = loadF(lanes.step);
    drawLaneVectors<Fog, Depth>(modes, level, groupConstants(modes, level), color, depth, lanes.count,
                                loadI(lanes.pixel), loadI(lanes.dither), loadF(lanes.oow) + loadF(lanes.doow) * fi,
                                loadF(lanes.sow) + loadF(lanes.dsow) * fi, loadF(lanes.tow) + loadF(lanes.dtow) * fi);
}

typedef double D4 __attribute__((vector_size(32)));
typedef std::int32_t I4 __attribute__((vector_size(16)));
typedef float F4 __attribute__((vector_size(16)));

// The gathered lanes held in registers while a triangle's rows are drawn,
// each lane's 1/w, s/w and t/w already stepped to its pixel.
struct LaneRegisters {
    I8 pixel, dither, pieceFrom, pieceTo;
    F8 o, sw, tw;
    int count, pieces, earlierPieces;
};

template <typename V, typename T>
[[gnu::always_inline]] inline V loadVector(const T* v)
{
    V r;
    std::memcpy(&r, v, sizeof r);
    return r;
}

template <typename V, typename T>
[[gnu::always_inline]] inline void storeVector(T* out, V v)
{
    std::memcpy(out, &v, sizeof v);
}

template <bool Fog, bool Depth>
void texelRows(const TexelSpanModes& modes, const TexelSpanLevel& level, const TexelTriangle& t, int firstRow,
               int count, const int* left, const int* right, TexelLanes& lanes)
{
    // Each row's values at its first pixel, four rows at a time in the same
    // double-precision steps a run's set-up takes.
    constexpr int most = 32;
    float rowOow[most], rowSow[most], rowTow[most];
    const D4 rowOffset = {0.5, 1.5, 2.5, 3.5};
    for (int i = 0; i < count; i += 4) {
        I4 l = loadVector<I4>(left + i);
        D4 px = __builtin_convertvector(l, D4) + 0.5 - t.originX;
        D4 py = (static_cast<double>(firstRow + i) + rowOffset) - t.originY;
        storeVector(rowOow + i, __builtin_convertvector(t.start[0] + t.dx[0] * px + t.dy[0] * py, F4));
        storeVector(rowSow + i, __builtin_convertvector(t.start[1] + t.dx[1] * px + t.dy[1] * py, F4));
        storeVector(rowTow + i, __builtin_convertvector(t.start[2] + t.dx[2] * px + t.dy[2] * py, F4));
    }

    const GroupConstants k = groupConstants(modes, level);
    const F8 heldStep = loadVector<F8>(lanes.step);
    LaneRegisters g{loadVector<I8>(lanes.pixel),
                    loadVector<I8>(lanes.dither),
                    loadVector<I8>(lanes.pieceFrom),
                    loadVector<I8>(lanes.pieceTo),
                    loadVector<F8>(lanes.oow) + loadVector<F8>(lanes.doow) * heldStep,
                    loadVector<F8>(lanes.sow) + loadVector<F8>(lanes.dsow) * heldStep,
                    loadVector<F8>(lanes.tow) + loadVector<F8>(lanes.dtow) * heldStep,
                    lanes.count,
                    lanes.pieces,
                    lanes.earlierPieces};
    auto flush = [&]() __attribute__((always_inline))
    {
        if (g.count > 0)
            drawLaneVectors<Fog, Depth>(modes, level, k, t.color, t.depth, g.count, g.pixel, g.dither, g.o, g.sw,
                                        g.tw);
        g.count = 0;
        g.pieces = 0;
        g.earlierPieces = 0;
    };
    auto meetsEarlier = [&](int from, int to) {
        I8 meets = (laneIndex < g.earlierPieces) & (g.pieceFrom < to) & (from < g.pieceTo);
        return anySet(meets);
    };
    const F8 doow = splatF(t.doow), dsow = splatF(t.dsow), dtow = splatF(t.dtow);

    for (int i = 0; i < count; ++i) {
        const int x0 = left[i], x1 = right[i];
        if (x0 >= x1)
            continue;
        const int row = firstRow + i;
        const int physicalRow = t.lowerLeft ? t.height - 1 - row : row;
        const int rowStart = physicalRow * t.width;
        const std::uint8_t* ditherRow = t.dither[physicalRow & 3];
        const I8 ditherPattern = {ditherRow[0], ditherRow[1], ditherRow[2], ditherRow[3],
                                  ditherRow[0], ditherRow[1], ditherRow[2], ditherRow[3]};
        const int whole = (x1 - x0) & ~7;
        if (whole > 0) {
            TexelSpanRun run{t.color + rowStart,
                             t.depth + rowStart,
                             ditherRow,
                             x0,
                             x0,
                             x0 + whole,
                             t.width,
                             rowOow[i],
                             t.doow,
                             rowSow[i],
                             t.dsow,
                             rowTow[i],
                             t.dtow};
            // Colour and depth are read first thing at every pixel: ask for
            // the lines of the next row (which covers about the same columns)
            // while this one is drawn. A short row's next row is mostly the
            // same lines.
            const int nextRow = t.lowerLeft ? physicalRow - 1 : physicalRow + 1;
            if (x1 - x0 >= 32 && nextRow >= 0 && nextRow < t.height) {
                std::ptrdiff_t next = static_cast<std::ptrdiff_t>(nextRow - physicalRow) * t.width;
                for (int x = x0 & ~31; x < x1; x += 32) {
                    __builtin_prefetch(run.color + next + x, 1);
                    __builtin_prefetch(run.depth + next + x, 1);
                }
            }
            if (g.earlierPieces > 0 && meetsEarlier(rowStart + x0, rowStart + run.to))
                flush();
            runGroups<Fog, Depth>(modes, level, k, permute(ditherPattern, (laneIndex + x0) & 3), run);
        }
        const F8 oow = splatF(rowOow[i]), sow = splatF(rowSow[i]), tow = splatF(rowTow[i]);
        for (int x = x0 + whole; x < x1;) {
            if (g.earlierPieces > 0 && meetsEarlier(rowStart + x, rowStart + x1)) {
                flush();
                continue;
            }
            const int length = x1 - x < 8 - g.count ? x1 - x : 8 - g.count;
            // Lanes [count, count + length) take pixels x, x + 1, ...
            const I8 offset = laneIndex - g.count;
            const I8 taken = (offset >= 0) & (offset < length);
            const int pixel = rowStart + x;
            const F8 step = __builtin_convertvector(offset + (x - x0), F8);
            g.pixel = select(taken, offset + pixel, g.pixel);
            g.dither = select(taken, permute(ditherPattern, (offset + x) & 3), g.dither);
            g.o = selectF(taken, oow + doow * step, g.o);
            g.sw = selectF(taken, sow + dsow * step, g.sw);
            g.tw = selectF(taken, tow + dtow * step, g.tw);
            const I8 piece = laneIndex == g.pieces;
            g.pieceFrom = select(piece, splat(pixel), g.pieceFrom);
            g.pieceTo = select(piece, splat(pixel + length), g.pieceTo);
            ++g.pieces;
            g.count += length;
            x += length;
            if (g.count == 8)
                flush();
        }
    }

    storeVector(lanes.pixel, g.pixel);
    storeVector(lanes.dither, g.dither);
    storeVector(lanes.pieceFrom, g.pieceFrom);
    storeVector(lanes.pieceTo, g.pieceTo);
    // Stepped values go back with a step of 0 times -0, which adds nothing
    // to any value, negative zero included.
    storeVector(lanes.step, F8{});
    storeVector(lanes.oow, g.o);
    storeVector(lanes.sow, g.sw);
    storeVector(lanes.tow, g.tw);
    const F8 nothing = splatF(-0.0f);
    storeVector(lanes.doow, nothing);
    storeVector(lanes.dsow, nothing);
    storeVector(lanes.dtow, nothing);
    lanes.count = g.count;
    lanes.pieces = g.pieces;
    lanes.earlierPieces = g.earlierPieces;
}

template <bool Fog, bool Depth>
constexpr TexelLoops loopsWith{&texelSpan<Fog, Depth>, &texelLanes<Fog, Depth>, &texelRows<Fog, Depth>};

// Indexed by fog * 2 + depth.
constexpr TexelLoops loopsOfThisBuild[4] = {loopsWith<false, false>, loopsWith<false, true>, loopsWith<true, false>,
                                            loopsWith<true, true>};

} // namespace
