// The eight-pixel loops for any processor, and the choice of the widest build
// this one runs.
#include "glide2/texel_span_kernel.h"

#ifdef ORBIVALE_GLIDE2_AVX2
const TexelLoops* texelLoopsAvx2();
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

const TexelLoops& texelLoops(bool fog, bool depth)
{
    int index = (fog ? 2 : 0) + (depth ? 1 : 0);
#ifdef ORBIVALE_GLIDE2_AVX2
    if (useAvx2)
        return texelLoopsAvx2()[index];
#endif
    return loopsOfThisBuild[index];
}

void glide2UsePortablePixelLoops(bool portable) { useAvx2 = !portable && widestAvailable(); }
