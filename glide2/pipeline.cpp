#include "glide2/pipeline.h"

#include "glide2/pixel_format.h"

#include <bit>

namespace {

Pipeline pipeline;
std::uint64_t builds = 0;

void buildTexture(TextureView& view, const TmuState& t)
{
    view = TextureView{};
    if (t.mipmap >= card.mipmaps.size())
        return;
    const Mipmap& m = card.mipmaps[t.mipmap];
    if (!m.downloaded)
        return;
    view.valid = true;
    view.texels = m.texels.data();
    for (int lod = m.largeLod; lod <= m.smallLod; ++lod) {
        view.offset[lod] = m.levelOffset[lod];
        view.widthShift[lod] = std::countr_zero(static_cast<unsigned>(m.levelWidth[lod]));
        view.widthMask[lod] = m.levelWidth[lod] - 1;
        view.heightMask[lod] = m.levelHeight[lod] - 1;
        view.scale16[lod] = 16.0f / static_cast<float>(1 << lod);
    }
    // The register's LOD range is clamped to the levels the mipmap holds.
    int large = t.largeLod < m.largeLod ? m.largeLod : (t.largeLod > m.smallLod ? m.smallLod : t.largeLod);
    int small = t.mipmapMode == GR_MIPMAP_DISABLE ? large : t.smallLod;
    if (small > m.smallLod)
        small = m.smallLod;
    if (small < large)
        small = large;
    view.minLod256 = large * 256;
    view.maxLod256 = small * 256;
    view.bias256 = t.lodBiasQuarters * 64;
    view.sWrap = t.sClamp == GR_TEXTURECLAMP_WRAP;
    view.tWrap = t.tClamp == GR_TEXTURECLAMP_WRAP;
    view.minBilinear = t.minFilter == GR_TEXTUREFILTER_BILINEAR;
    view.magBilinear = t.magFilter == GR_TEXTUREFILTER_BILINEAR;
}

int blendNeedsBlending(int src, int dst) { return !(src == GR_BLEND_ONE && dst == GR_BLEND_ZERO); }

void build()
{
    const RenderState& s = card.state;
    Pipeline& p = pipeline;
    p.color = combineOpsFor(s.color.function, s.color.factor, s.color.invert);
    p.alpha = combineOpsFor(s.alpha.function, s.alpha.factor, s.alpha.invert);
    p.tmuRgb = combineOpsFor(s.tmu.rgbFunction, s.tmu.rgbFactor, s.tmu.rgbInvert);
    p.tmuAlpha = combineOpsFor(s.tmu.alphaFunction, s.tmu.alphaFactor, s.tmu.alphaInvert);
    p.colorOther = s.color.other;
    p.colorLocal = s.color.local;
    p.alphaOther = s.alpha.other;
    p.alphaLocal = s.alpha.local;
    std::uint32_t c = cardColorToArgb(s.constantColor);
    p.constA = static_cast<int>(c >> 24);
    p.constR = static_cast<int>((c >> 16) & 0xFF);
    p.constG = static_cast<int>((c >> 8) & 0xFF);
    p.constB = static_cast<int>(c & 0xFF);

    bool colorUsesTexture = (p.color.useOther && p.colorOther == GR_COMBINE_OTHER_TEXTURE) || p.color.factor == 4;
    bool alphaUsesTexture = (p.alpha.useOther && p.alphaOther == GR_COMBINE_OTHER_TEXTURE) || p.alpha.factor == 4;
    p.texturing = colorUsesTexture || alphaUsesTexture;
    buildTexture(p.texture, s.tmu);
    p.colorIsTexel = s.color.function == GR_COMBINE_FUNCTION_SCALE_OTHER && s.color.factor == GR_COMBINE_FACTOR_ONE &&
                     s.color.other == GR_COMBINE_OTHER_TEXTURE && !s.color.invert;
    p.tmuIsTexel = s.tmu.rgbFunction == GR_COMBINE_FUNCTION_LOCAL &&
                   s.tmu.alphaFunction == GR_COMBINE_FUNCTION_LOCAL && !s.tmu.rgbInvert && !s.tmu.alphaInvert;
    p.alphaIsIterated = !s.alpha.invert &&
                        ((s.alpha.function == GR_COMBINE_FUNCTION_LOCAL &&
                          s.alpha.local == GR_COMBINE_LOCAL_ITERATED) ||
                         (s.alpha.function == GR_COMBINE_FUNCTION_SCALE_OTHER &&
                          s.alpha.factor == GR_COMBINE_FACTOR_ONE && s.alpha.other == GR_COMBINE_OTHER_ITERATED));

    p.fogMode = s.fogMode;
    p.fog = (s.fogMode & 0xFF) == GR_FOG_WITH_TABLE;
    std::uint32_t f = cardColorToArgb(s.fogColor);
    p.fogR = static_cast<int>((f >> 16) & 0xFF);
    p.fogG = static_cast<int>((f >> 8) & 0xFF);
    p.fogB = static_cast<int>(f & 0xFF);

    p.depthMode = card.hasDepthBuffer ? s.depthMode : GR_DEPTHBUFFER_DISABLE;
    p.depthFunction = s.depthFunction;
    p.depthWrite = p.depthMode != GR_DEPTHBUFFER_DISABLE && s.depthMask;
    p.depthBias = s.depthBias;

    p.blendSrc = s.blend[0];
    p.blendDst = s.blend[1];
    p.blend = blendNeedsBlending(p.blendSrc, p.blendDst);
    p.colorWrite = s.colorMask != 0;
    p.dither = ditherMatrixFor(s.ditherMode);
    p.generation = ++builds;
}

} // namespace

CombineOps combineOpsFor(int function, int factor, bool invert)
{
    CombineOps ops;
    switch (function) {
    case GR_COMBINE_FUNCTION_LOCAL:
        ops.add = 1;
        break;
    case GR_COMBINE_FUNCTION_LOCAL_ALPHA:
        ops.add = 2;
        break;
    case GR_COMBINE_FUNCTION_SCALE_OTHER:
        ops.useOther = true;
        break;
    case GR_COMBINE_FUNCTION_SCALE_OTHER_ADD_LOCAL:
        ops.useOther = true;
        ops.add = 1;
        break;
    case GR_COMBINE_FUNCTION_SCALE_OTHER_ADD_LOCAL_ALPHA:
        ops.useOther = true;
        ops.add = 2;
        break;
    case GR_COMBINE_FUNCTION_SCALE_OTHER_MINUS_LOCAL:
        ops.useOther = ops.subtractLocal = true;
        break;
    case GR_COMBINE_FUNCTION_SCALE_OTHER_MINUS_LOCAL_ADD_LOCAL:
        ops.useOther = ops.subtractLocal = true;
        ops.add = 1;
        break;
    case GR_COMBINE_FUNCTION_SCALE_OTHER_MINUS_LOCAL_ADD_LOCAL_ALPHA:
        ops.useOther = ops.subtractLocal = true;
        ops.add = 2;
        break;
    case GR_COMBINE_FUNCTION_SCALE_MINUS_LOCAL_ADD_LOCAL:
        ops.subtractLocal = true;
        ops.add = 1;
        break;
    case GR_COMBINE_FUNCTION_SCALE_MINUS_LOCAL_ADD_LOCAL_ALPHA:
        ops.subtractLocal = true;
        ops.add = 2;
        break;
    default:
        break;
    }
    ops.factor = static_cast<std::uint8_t>(factor & 7);
    ops.oneMinus = (factor & 8) != 0;
    ops.invert = invert;
    return ops;
}

const Pipeline& currentPipeline()
{
    if (card.pipelineDirty) {
        build();
        card.pipelineDirty = false;
    }
    return pipeline;
}
