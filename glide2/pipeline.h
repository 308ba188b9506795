#pragma once

// The card's registers decoded once per state change into what the pixel
// loop reads: which inputs each combine unit takes, the texture in use, fog,
// depth and blend settings.

#include "glide2/card.h"

#include <cstdint>

// One combine unit: y = ((other? - local?) * (factor + 1)) >> 8 (+ add), clamped, inverted.
struct CombineOps {
    bool useOther = false;
    bool subtractLocal = false;
    std::uint8_t add = 0;    // 0 nothing, 1 local, 2 local alpha
    std::uint8_t factor = 0; // 0 zero, 1 local, 2 other alpha, 3 local alpha, 4 texture alpha, 5 LOD fraction
    bool oneMinus = false;
    bool invert = false;
};

CombineOps combineOpsFor(int function, int factor, bool invert);

struct TextureView {
    bool valid = false;
    const std::uint32_t* texels = nullptr;
    int offset[9] = {};
    int widthShift[9] = {};
    int widthMask[9] = {};
    int heightMask[9] = {};
    float scale16[9] = {}; // texture-space units to 1/16 texels at each level
    int minLod256 = 0;     // largest map allowed, in 1/256 LOD steps
    int maxLod256 = 0;     // smallest map allowed
    int bias256 = 0;
    bool sWrap = true, tWrap = true;
    bool minBilinear = false, magBilinear = false;
};

struct Pipeline {
    std::uint64_t generation = 0; // counts rebuilds from 1; 0 for a copy changed by hand
    CombineOps color, alpha, tmuRgb, tmuAlpha;
    int colorOther = 0; // GR_COMBINE_OTHER_*
    int colorLocal = 0; // GR_COMBINE_LOCAL_*
    int alphaOther = 0;
    int alphaLocal = 0; // the shared alpha-local select
    int constR = 0, constG = 0, constB = 0, constA = 0;
    bool texturing = false;
    bool colorIsTexel = false; // colour = TMU output RGB exactly
    bool tmuIsTexel = false;   // TMU output = texel exactly
    bool alphaIsIterated = false;
    TextureView texture;

    bool fog = false;
    int fogMode = 0;
    int fogR = 0, fogG = 0, fogB = 0;

    int depthMode = 0; // 0 off, GR_DEPTHBUFFER_ZBUFFER or _WBUFFER
    int depthFunction = 0;
    bool depthWrite = false;
    int depthBias = 0;

    bool blend = false;
    int blendSrc = 0, blendDst = 0;
    bool colorWrite = true;
    const std::uint8_t (*dither)[4] = nullptr;
};

// Rebuilds the pipeline when a state call has changed a register since.
const Pipeline& currentPipeline();
