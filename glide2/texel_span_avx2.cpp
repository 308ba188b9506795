// The eight-pixel loops built for AVX2, where a lane group is one register.
#include "glide2/texel_span_kernel.h"

const TexelLoops* texelLoopsAvx2() { return loopsOfThisBuild; }
