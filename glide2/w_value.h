#pragma once

// The card's 16-bit w: 4 bits of exponent and 12 of mantissa taken from 1/w,
// growing with w. Used by the w-buffer and to index the fog table.

#include <bit>
#include <cstdint>

inline std::uint16_t wValueFromOow(float oow)
{
    // 1/w as unsigned fixed point with 32 fraction bits; 1/w >= 1 (and any
    // negative or not-a-number value) is the nearest depth.
    if (!(oow < 1.0f) || !(oow >= 0.0f))
        return 0;
    std::uint32_t o = static_cast<std::uint32_t>(static_cast<std::int64_t>(oow * 4294967296.0f));
    if (o < 0x10000u)
        return 0xFFFF;
    int e = std::countl_zero(o);
    std::uint32_t mantissa = (~o >> (19 - e)) & 0xFFF;
    std::uint32_t value = static_cast<std::uint32_t>(e) * 4096u + mantissa + 1u;
    return static_cast<std::uint16_t>(value > 0xFFFFu ? 0xFFFFu : value);
}
