#pragma once

// The card's 16-bit w: 4 bits of exponent and 12 of mantissa taken from 1/w,
// growing with w. Used by the w-buffer and to index the fog table.
//
// With O = 1/w as unsigned fixed point with 32 fraction bits, the value is
// (leading zeros of O) * 4096 + (the 12 bits below O's leading one, inverted)
// + 1, clamped to 0..0xFFFF; 1/w >= 1 gives 0 and 1/w < 2^-16 gives 0xFFFF.
// Those are exactly the float's exponent and top mantissa bits, so the value
// is 0x7F000 minus the float's bits shifted right by 11 (negative 1/w and
// not-a-number land below 0 and clamp to 0).

#include <bit>
#include <cstdint>

inline std::uint16_t wValueFromOow(float oow)
{
    std::int32_t v = 0x7F000 - static_cast<std::int32_t>(__builtin_bit_cast(std::uint32_t, oow) >> 11);
    v = v < 0 ? 0 : v;
    v = v > 0xFFFF ? 0xFFFF : v;
    return static_cast<std::uint16_t>(v);
}
