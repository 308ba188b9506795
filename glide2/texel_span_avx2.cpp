// The eight-pixel loops built for AVX2, where a lane group is one register.
#include "glide2/texel_span_kernel.h"

void drawTexelSpanAvx2(bool fog, bool depth, const TexelSpanModes& modes, const TexelSpanLevel& level,
                       const TexelSpanRun& run)
{
    drawTexelSpanWith(fog, depth, modes, level, run);
}
