#pragma once

// The eight-pixel loops of texel_span.h. Included by one file per instruction
// set; everything here has internal linkage so that no helper built for one
// set can stand in for the other's.

#include "glide2/texel_span.h"

#include <cstring>

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

[[gnu::always_inline]] inline I8 select(I8 mask, I8 a, I8 b) { return (mask & a) | (~mask & b); }

[[gnu::always_inline]] inline F8 selectF(I8 mask, F8 a, F8 b)
{
    return reinterpret_cast<F8>(select(mask, bitsOf(a), bitsOf(b)));
}

[[gnu::always_inline]] inline I8 clamp(I8 v, I8 lo, I8 hi)
{
    v = select(v < lo, lo, v);
    return select(v > hi, hi, v);
}

// Floor of v after limiting it to +-2^30 (not-a-number to the low end), as
// the one-pixel pipeline converts texture coordinates.
[[gnu::always_inline]] inline I8 floorCoordinate(F8 v)
{
    const F8 lo = splatF(-1073741824.0f), hi = splatF(1073741824.0f);
    v = selectF(v > lo, v, lo);
    v = selectF(v < hi, v, hi);
    I8 t = __builtin_convertvector(v, I8);
    F8 back = __builtin_convertvector(t, F8);
    return t + (v < back); // the mask is -1 where truncation went up
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
    S16x8 m = __builtin_convertvector(mask, S16x8);
    std::uint64_t a, b;
    std::memcpy(&a, &m, 8);
    std::memcpy(&b, reinterpret_cast<const char*>(&m) + 8, 8);
    return (a | b) != 0;
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
        I8 entry = gather(modes.fogEntries, wv >> 10);
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

template <bool Fog, bool Depth>
void texelSpan(const TexelSpanModes& modes, const TexelSpanLevel& level, const TexelSpanRun& run)
{
    const GroupConstants k = groupConstants(modes, level);
    const I8 dither = {run.ditherRow[(run.from + 0) & 3], run.ditherRow[(run.from + 1) & 3],
                       run.ditherRow[(run.from + 2) & 3], run.ditherRow[(run.from + 3) & 3],
                       run.ditherRow[(run.from + 4) & 3], run.ditherRow[(run.from + 5) & 3],
                       run.ditherRow[(run.from + 6) & 3], run.ditherRow[(run.from + 7) & 3]};

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
    const I8 used = laneIndex < lanes.count;
    const I8 pixel = loadI(lanes.pixel) & used, dither = loadI(lanes.dither);
    const F8 fi = loadF(lanes.step), oow = loadF(lanes.oow), sow = loadF(lanes.sow), tow = loadF(lanes.tow);
    const F8 doow = loadF(lanes.doow), dsow = loadF(lanes.dsow), dtow = loadF(lanes.dtow);
    const int count = lanes.count;
    const GroupConstants k = groupConstants(modes, level);
    I8 active = used;
    F8 o = oow + doow * fi;
    I8 stored{};
    if constexpr (Depth) // lanes past count read pixel 0: no branch per lane
        stored = I8{depth[pixel[0]], depth[pixel[1]], depth[pixel[2]], depth[pixel[3]],
                    depth[pixel[4]], depth[pixel[5]], depth[pixel[6]], depth[pixel[7]]};
    I8 packed{}, depthValue{};
    if (!shadeGroup<Fog, Depth>(modes, level, k, o, sow + dsow * fi, tow + dtow * fi, stored, dither, active, packed,
                                depthValue))
        return;
    for (int lane = 0; lane < count; ++lane) {
        if (!active[lane])
            continue;
        if (modes.colorWrite)
            color[pixel[lane]] = static_cast<std::uint16_t>(packed[lane]);
        if constexpr (Depth) {
            if (modes.depthWrite)
                depth[pixel[lane]] = static_cast<std::uint16_t>(depthValue[lane]);
        }
    }
}

TexelSpanFunction texelSpanFor(bool fog, bool depth)
{
    if (fog)
        return depth ? &texelSpan<true, true> : &texelSpan<true, false>;
    return depth ? &texelSpan<false, true> : &texelSpan<false, false>;
}

TexelLanesFunction texelLanesFor(bool fog, bool depth)
{
    if (fog)
        return depth ? &texelLanes<true, true> : &texelLanes<true, false>;
    return depth ? &texelLanes<false, true> : &texelLanes<false, false>;
}

} // namespace
