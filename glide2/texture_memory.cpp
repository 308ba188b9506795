#include "glide2/card.h"
#include "glide2/draw_queue.h"
#include "glide2/tdf_format.h"
#include "glide2/texel_decode.h"

#include <cstring>

namespace {

// The card rounds every level up to at least 4 texels and every mipmap to 8 bytes.
std::uint32_t bytesOnCard(const Mipmap& m)
{
    std::uint32_t bytesPerTexel = m.format >= GR_TEXFMT_16BIT ? 2 : 1;
    std::uint32_t total = 0;
    for (int lod = m.largeLod; lod <= m.smallLod; ++lod) {
        int w, h;
        tdfLevelSize(lod, m.aspect, w, h);
        std::uint32_t texels = static_cast<std::uint32_t>(w * h);
        total += (texels < 4 ? 4 : texels) * bytesPerTexel;
    }
    return (total + 7) & ~7u;
}

int quartersFromBias(float bias)
{
    if (bias < -8.0f)
        bias = -8.0f;
    if (bias > 7.75f)
        bias = 7.75f;
    return static_cast<int>((bias + 0.125f) / 0.25f);
}

void applyMipmapToTmu(const Mipmap& m, GrMipMapId_t id)
{
    TmuState& t = card.state.tmu;
    t.mipmap = id;
    t.format = static_cast<std::int8_t>(m.format);
    t.largeLod = static_cast<std::int8_t>(m.largeLod);
    t.smallLod = static_cast<std::int8_t>(m.smallLod);
    t.aspect = static_cast<std::int8_t>(m.aspect);
    t.sClamp = static_cast<std::uint8_t>(m.sClamp);
    t.tClamp = static_cast<std::uint8_t>(m.tClamp);
    t.minFilter = static_cast<std::uint8_t>(m.minFilter);
    t.magFilter = static_cast<std::uint8_t>(m.magFilter);
    t.mipmapMode = static_cast<std::uint8_t>(m.mipmapMode);
    t.lodBiasQuarters = static_cast<std::int8_t>(m.lodBiasQuarters);
    card.pipelineDirty = true;
}

} // namespace

void guTexMemReset(void)
{
    finishDrawing();
    card.mipmaps.clear();
    card.tmuMemoryUsed = 0;
    card.state.tmu.mipmap = GR_NULL_MIPMAP_HANDLE;
    card.pipelineDirty = true;
}

GrMipMapId_t guTexAllocateMemory(GrChipID_t tmu, FxU8 oddEvenMask, int, int, GrTextureFormat_t format,
                                 GrMipMapMode_t mmMode, GrLOD_t smallLod, GrLOD_t largeLod, GrAspectRatio_t aspect,
                                 GrTextureClampMode_t sClamp, GrTextureClampMode_t tClamp,
                                 GrTextureFilterMode_t minFilter, GrTextureFilterMode_t magFilter, float lodBias,
                                 FxBool)
{
    // One texture unit with 2 MB; only formats the unit decodes (no colour
    // tables); both mip levels of the odd/even mask.
    if (!card.open || tmu != GR_TMU0 || !textureFormatDecoded(format) || (oddEvenMask & 3) == 0 ||
        largeLod < GR_LOD_256 || smallLod > GR_LOD_1 || smallLod < largeLod || aspect < GR_ASPECT_8x1 ||
        aspect > GR_ASPECT_1x8 || mmMode < GR_MIPMAP_DISABLE || mmMode > GR_MIPMAP_NEAREST_DITHER || sClamp < 0 ||
        sClamp > 1 || tClamp < 0 || tClamp > 1 || minFilter < 0 || minFilter > 1 || magFilter < 0 || magFilter > 1 ||
        card.mipmaps.size() >= MAX_MIPMAPS_PER_SST)
        return GR_NULL_MIPMAP_HANDLE;
    finishDrawing(); // the list of mipmaps may move
    Mipmap m;
    m.format = format;
    m.smallLod = smallLod;
    m.largeLod = largeLod;
    m.aspect = aspect;
    m.mipmapMode = mmMode;
    m.sClamp = sClamp;
    m.tClamp = tClamp;
    m.minFilter = minFilter;
    m.magFilter = magFilter;
    m.lodBiasQuarters = quartersFromBias(lodBias);
    std::uint32_t bytes = bytesOnCard(m);
    if (bytes > tmuMemoryBytes - card.tmuMemoryUsed)
        return GR_NULL_MIPMAP_HANDLE;
    card.tmuMemoryUsed += bytes;
    int offset = 0;
    for (int lod = largeLod; lod <= smallLod; ++lod) {
        int w, h;
        tdfLevelSize(lod, aspect, w, h);
        m.levelOffset[lod] = offset;
        m.levelWidth[lod] = w;
        m.levelHeight[lod] = h;
        offset += w * h;
    }
    m.texels.assign(static_cast<std::size_t>(offset), 0);
    card.mipmaps.push_back(std::move(m));
    return static_cast<GrMipMapId_t>(card.mipmaps.size() - 1);
}

void guTexDownloadMipMap(GrMipMapId_t mmid, const void* src, const GuNccTable*)
{
    if (mmid >= card.mipmaps.size() || !src)
        return;
    finishDrawing();
    Mipmap& m = card.mipmaps[mmid];
    std::size_t count = m.texels.size();
    if (m.format >= GR_TEXFMT_16BIT) {
        const auto* p = static_cast<const std::uint8_t*>(src);
        for (std::size_t i = 0; i < count; ++i) {
            std::uint16_t v;
            std::memcpy(&v, p + 2 * i, 2);
            m.texels[i] = decodeTexel(m.format, v);
        }
    } else {
        const auto* p = static_cast<const std::uint8_t*>(src);
        for (std::size_t i = 0; i < count; ++i)
            m.texels[i] = decodeTexel(m.format, p[i]);
    }
    m.downloaded = true;
    card.pipelineDirty = true;
}

void guTexSource(GrMipMapId_t mmid)
{
    if (mmid >= card.mipmaps.size())
        return;
    applyMipmapToTmu(card.mipmaps[mmid], mmid);
}

void grTexFilterMode(GrChipID_t tmu, GrTextureFilterMode_t minFilter, GrTextureFilterMode_t magFilter)
{
    if (tmu != GR_TMU0 || minFilter < 0 || minFilter > 1 || magFilter < 0 || magFilter > 1)
        return;
    card.state.tmu.minFilter = static_cast<std::uint8_t>(minFilter);
    card.state.tmu.magFilter = static_cast<std::uint8_t>(magFilter);
    card.pipelineDirty = true;
}

void grTexClampMode(GrChipID_t tmu, GrTextureClampMode_t sClamp, GrTextureClampMode_t tClamp)
{
    if (tmu != GR_TMU0 || sClamp < 0 || sClamp > 1 || tClamp < 0 || tClamp > 1)
        return;
    card.state.tmu.sClamp = static_cast<std::uint8_t>(sClamp);
    card.state.tmu.tClamp = static_cast<std::uint8_t>(tClamp);
    card.pipelineDirty = true;
}

void grTexMipMapMode(GrChipID_t tmu, GrMipMapMode_t mode, FxBool)
{
    if (tmu != GR_TMU0 || mode < GR_MIPMAP_DISABLE || mode > GR_MIPMAP_NEAREST_DITHER)
        return;
    card.state.tmu.mipmapMode = static_cast<std::uint8_t>(mode);
    card.pipelineDirty = true;
}

void grTexLodBiasValue(GrChipID_t tmu, float bias)
{
    if (tmu != GR_TMU0)
        return;
    card.state.tmu.lodBiasQuarters = static_cast<std::int8_t>(quartersFromBias(bias));
    card.pipelineDirty = true;
}
