// The eight-pixel loops for any processor, and the choice of the widest build
// this one runs.
#include "glide2/texel_span_kernel.h"

#ifdef ORBIVALE_GLIDE2_AVX2
void drawTexelSpanAvx2(bool fog, bool depth, const TexelSpanModes& modes, const TexelSpanLevel& level,
                       const TexelSpanRun& run);
#endif

namespace {

void drawTexelSpanPortable(bool fog, bool depth, const TexelSpanModes& modes, const TexelSpanLevel& level,
                           const TexelSpanRun& run)
{
    drawTexelSpanWith(fog, depth, modes, level, run);
}

typedef void (*TexelSpanFunction)(bool, bool, const TexelSpanModes&, const TexelSpanLevel&, const TexelSpanRun&);

TexelSpanFunction widestTexelSpan()
{
#ifdef ORBIVALE_GLIDE2_AVX2
    if (__builtin_cpu_supports("avx2"))
        return &drawTexelSpanAvx2;
#endif
    return &drawTexelSpanPortable;
}

TexelSpanFunction texelSpanFunction = widestTexelSpan();

} // namespace

void drawTexelSpan(bool fog, bool depth, const TexelSpanModes& modes, const TexelSpanLevel& level,
                   const TexelSpanRun& run)
{
    texelSpanFunction(fog, depth, modes, level, run);
}

void glide2UsePortablePixelLoops(bool portable)
{
    texelSpanFunction = portable ? &drawTexelSpanPortable : widestTexelSpan();
}
