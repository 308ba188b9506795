#pragma once

// Four-lane arithmetic through the compiler's vector extension (GCC and
// Clang), for the per-pixel stages that have no branches.

#include <cstdint>
#include <cstring>

typedef float Float4 __attribute__((vector_size(16)));
typedef std::int32_t Int4 __attribute__((vector_size(16)));

inline Float4 selectFloat4(Int4 mask, Float4 a, Float4 b)
{
    return reinterpret_cast<Float4>((mask & reinterpret_cast<Int4>(a)) | (~mask & reinterpret_cast<Int4>(b)));
}

inline Int4 selectInt4(Int4 mask, Int4 a, Int4 b) { return (mask & a) | (~mask & b); }

inline Int4 floorToInt4(Float4 f)
{
    Int4 t = __builtin_convertvector(f, Int4);
    Float4 back = __builtin_convertvector(t, Float4);
    return t + static_cast<Int4>(f < back); // the mask is -1 where truncation went up
}

inline Float4 clampFloat4(Float4 v, float lo, float hi)
{
    Float4 l = {lo, lo, lo, lo}, h = {hi, hi, hi, hi};
    v = selectFloat4(v > l, v, l); // not-a-number goes to lo
    return selectFloat4(v < h, v, h);
}

inline Int4 clampInt4(Int4 v, std::int32_t lo, std::int32_t hi)
{
    Int4 l = {lo, lo, lo, lo}, h = {hi, hi, hi, hi};
    v = selectInt4(v < l, l, v);
    return selectInt4(v > h, h, v);
}
