#pragma once

// The .3df texture file, described once for the reader in glide2/ and the
// writer in tools/: format names, texel sizes, aspect ratios and mip levels.
//
// A file is four LF-terminated text lines
//   3df v1.1 / <format name> / lod range: <small> <large> / aspect ratio: <w> <h>
// then a colour table for the table formats, then every level from the largest
// to the smallest, row-major, top row first, 16-bit texels most significant
// byte first.

#include "glide2/glide.h"

#include <cctype>
#include <cstdint>
#include <string>
#include <string_view>

struct TdfFormat {
    const char* name;  // as written in the file (lower case)
    int code;          // GR_TEXFMT_*
    int bytesPerTexel; // 1 or 2
    int tableBytes;    // colour table between header and texels
    bool decoded;      // whether our card can sample it
};

inline constexpr TdfFormat tdfFormats[] = {
    {"rgb332", GR_TEXFMT_RGB_332, 1, 0, true},
    {"yiq", GR_TEXFMT_YIQ_422, 1, 80, false},
    {"a8", GR_TEXFMT_ALPHA_8, 1, 0, true},
    {"i8", GR_TEXFMT_INTENSITY_8, 1, 0, true},
    {"ai44", GR_TEXFMT_ALPHA_INTENSITY_44, 1, 0, true},
    {"p8", GR_TEXFMT_P_8, 1, 1024, false},
    {"argb8332", GR_TEXFMT_ARGB_8332, 2, 0, true},
    {"ayiq8422", GR_TEXFMT_AYIQ_8422, 2, 80, false},
    {"rgb565", GR_TEXFMT_RGB_565, 2, 0, true},
    {"argb1555", GR_TEXFMT_ARGB_1555, 2, 0, true},
    {"argb4444", GR_TEXFMT_ARGB_4444, 2, 0, true},
    {"ai88", GR_TEXFMT_ALPHA_INTENSITY_88, 2, 0, true},
    {"ap88", GR_TEXFMT_AP_88, 2, 1024, false},
};

// Case-insensitive, as the card's loader upper-cases the name before comparing.
inline const TdfFormat* tdfFindFormat(std::string_view name)
{
    for (const TdfFormat& f : tdfFormats) {
        std::string_view n(f.name);
        if (n.size() != name.size())
            continue;
        bool same = true;
        for (std::size_t i = 0; i < n.size() && same; ++i)
            same = std::tolower(static_cast<unsigned char>(name[i])) == n[i];
        if (same)
            return &f;
    }
    return nullptr;
}

inline const TdfFormat* tdfFormatByCode(int code)
{
    for (const TdfFormat& f : tdfFormats)
        if (f.code == code)
            return &f;
    return nullptr;
}

// Aspect ratio code (GR_ASPECT_*) = index; width : height.
struct TdfAspect {
    int w;
    int h;
};
inline constexpr TdfAspect tdfAspects[7] = {{8, 1}, {4, 1}, {2, 1}, {1, 1}, {1, 2}, {1, 4}, {1, 8}};

inline int tdfAspectCode(int w, int h)
{
    for (int i = 0; i < 7; ++i)
        if (tdfAspects[i].w == w && tdfAspects[i].h == h)
            return i;
    return -1;
}

// A long-side size 1..256 (power of two) to its GR_LOD code; -1 otherwise.
inline int tdfLodForSize(int size)
{
    for (int lod = GR_LOD_256; lod <= GR_LOD_1; ++lod)
        if ((256 >> lod) == size)
            return lod;
    return -1;
}

inline int tdfSizeForLod(int lod) { return 256 >> lod; }

// Texel dimensions of the map whose long side is 256 >> lod.
inline void tdfLevelSize(int lod, int aspect, int& width, int& height)
{
    int longSide = 256 >> lod;
    const TdfAspect& a = tdfAspects[aspect];
    int ratio = a.w > a.h ? a.w : a.h;
    int shortSide = longSide / ratio;
    if (shortSide < 1)
        shortSide = 1;
    width = a.w >= a.h ? longSide : shortSide;
    height = a.w >= a.h ? shortSide : longSide;
}

// Texels of all levels from largeLod down to smallLod (GR_LOD codes, large <= small).
inline std::uint32_t tdfTexelCount(int smallLod, int largeLod, int aspect)
{
    std::uint32_t total = 0;
    for (int lod = largeLod; lod <= smallLod; ++lod) {
        int w, h;
        tdfLevelSize(lod, aspect, w, h);
        total += static_cast<std::uint32_t>(w * h);
    }
    return total;
}

inline std::string tdfHeaderText(const TdfFormat& format, int smallSize, int largeSize, int aspect)
{
    return "3df v1.1\n" + std::string(format.name) + "\nlod range: " + std::to_string(smallSize) + " " +
           std::to_string(largeSize) + "\naspect ratio: " + std::to_string(tdfAspects[aspect].w) + " " +
           std::to_string(tdfAspects[aspect].h) + "\n";
}
