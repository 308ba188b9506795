// The eight-pixel loops for any processor, and the choice of the widest build
// this one runs.
#include "glide2/texel_span_kernel.h"

#ifdef ORBIVALE_GLIDE2_AVX2
TexelSpanFunction texelSpanAvx2(bool fog, bool depth);
TexelLanesFunction texelLanesAvx2(bool fog, bool depth);
TexelRowsFunction texelRowsAvx2(bool fog, bool depth);
#endif

namespace {

bool widestAvailable()
{
#ifdef ORBIVALE_GLIDE2_AVX2
    return __builtin_cpu_supports("avx2");
#else
    return false;
#endif
}

bool useAvx2 = widestAvailable();

} // namespace

TexelSpanFunction texelSpanFunction(bool fog, bool depth)
{
#ifdef ORBIVALE_GLIDE2_AVX2
    if (useAvx2)
        return texelSpanAvx2(fog, depth);
#endif
    return texelSpanFor(fog, depth);
}

TexelLanesFunction texelLanesFunction(bool fog, bool depth)
{
#ifdef ORBIVALE_GLIDE2_AVX2
    if (useAvx2)
        return texelLanesAvx2(fog, depth);
#endif
    return texelLanesFor(fog, depth);
}

TexelRowsFunction texelRowsFunction(bool fog, bool depth)
{
#ifdef ORBIVALE_GLIDE2_AVX2
    if (useAvx2)
        return texelRowsAvx2(fog, depth);
#endif
    return texelRowsFor(fog, depth);
}

void glide2UsePortablePixelLoops(bool portable) { useAvx2 = !portable && widestAvailable(); }
