// The eight-pixel loops built for AVX2, where a lane group is one register.
#include "glide2/texel_span_kernel.h"

TexelSpanFunction texelSpanAvx2(bool fog, bool depth) { return texelSpanFor(fog, depth); }
TexelLanesFunction texelLanesAvx2(bool fog, bool depth) { return texelLanesFor(fog, depth); }
TexelRowsFunction texelRowsAvx2(bool fog, bool depth) { return texelRowsFor(fog, depth); }
