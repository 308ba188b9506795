#include "glide2/card.h"
#include "glide2/draw_queue.h"
#include "glide2/swap_pacing.h"

#include <algorithm>
#include <cmath>
#include <cstring>

Card card;

void glide2SetPresenter(Glide2Presenter presenter, void* userData)
{
    card.presenter = presenter;
    card.presenterData = userData;
}

void grGlideInit(void) { card.initialised = true; }

FxBool grSstQueryHardware(GrHwConfiguration* hwconfig)
{
    if (!hwconfig || !card.presenter)
        return FXFALSE;
    std::memset(hwconfig, 0, sizeof *hwconfig);
    hwconfig->num_sst = 1;
    GrSstConfig_t& sst = hwconfig->SSTs[0];
    sst.type = GR_SSTTYPE_VOODOO;
    sst.voodooConfig.fbRam = 2;
    sst.voodooConfig.fbiRev = 2;
    sst.voodooConfig.nTexelfx = 1;
    sst.voodooConfig.sliDetect = FXFALSE;
    sst.voodooConfig.tmuConfig[0].tmuRev = 1;
    sst.voodooConfig.tmuConfig[0].tmuRam = 2;
    return FXTRUE;
}

void grSstSelect(int) {}

FxBool grSstWinOpen(FxU32, GrScreenResolution_t resolution, GrScreenRefresh_t refresh, GrColorFormat_t format,
                    GrOriginLocation_t origin, int nColBuffers, int nAuxBuffers)
{
    // One card, one mode: 640 x 480, double-buffered, with or without the
    // 16-bit aux (depth) buffer.
    if (!card.presenter || resolution != GR_RESOLUTION_640x480 || nColBuffers != 2 || nAuxBuffers < 0 ||
        nAuxBuffers > 1 || format < GR_COLORFORMAT_ARGB || format > GR_COLORFORMAT_BGRA ||
        (origin != GR_ORIGIN_UPPER_LEFT && origin != GR_ORIGIN_LOWER_LEFT))
        return FXFALSE;
    stopDrawThreads();
    for (auto& buffer : card.colorBuffer)
        buffer.assign(static_cast<std::size_t>(screenWidth) * screenHeight, 0);
    card.depthBuffer.assign(static_cast<std::size_t>(screenWidth) * screenHeight, 0);
    card.hasDepthBuffer = nAuxBuffers == 1;
    card.frontIndex = 0;
    card.presentBuffer.assign(static_cast<std::size_t>(screenWidth) * screenHeight, 0);
    card.readLock = LfbLock{};
    card.writeLock = LfbLock{};
    cardResetState(format, origin);
    guTexMemReset();
    grGammaCorrectionValue(1.7f);
    displayClockStart(refresh);
    card.open = true;
    startDrawThreads();
    return FXTRUE;
}

void grGlideShutdown(void)
{
    stopDrawThreads();
    card.open = false;
    card.initialised = false;
    for (auto& buffer : card.colorBuffer)
        std::vector<std::uint16_t>().swap(buffer);
    std::vector<std::uint16_t>().swap(card.depthBuffer);
    std::vector<std::uint32_t>().swap(card.presentBuffer);
    std::vector<std::uint8_t>().swap(card.lfbStaging);
    std::vector<std::uint8_t>().swap(card.lfbHandedOut);
    std::vector<std::uint8_t>().swap(card.lfbReadStaging);
    std::vector<Mipmap>().swap(card.mipmaps);
    card.tmuMemoryUsed = 0;
}

FxBool grSstControl(GrControl_t)
{
    // Switching the video output between the card and the desktop has no
    // meaning for a card whose only output is the presenter.
    return FXTRUE;
}

FxU32 grSstScreenWidth(void) { return screenWidth; }
FxU32 grSstScreenHeight(void) { return screenHeight; }

void grGlideGetState(GrState* state)
{
    if (!state)
        return;
    std::memset(state, 0, sizeof *state);
    std::memcpy(state->pad, &card.state, sizeof card.state);
}

void grGlideSetState(const GrState* state)
{
    if (!state)
        return;
    std::memcpy(&card.state, state->pad, sizeof card.state);
    // A record that did not come from grGlideGetState must not send the
    // rasterizer outside the screen.
    RenderState& s = card.state;
    auto clampTo = [](std::int16_t& v, int lo, int hi) {
        v = static_cast<std::int16_t>(v < lo ? lo : (v > hi ? hi : v));
    };
    clampTo(s.clipMaxX, 0, screenWidth);
    clampTo(s.clipMaxY, 0, screenHeight);
    clampTo(s.clipMinX, 0, s.clipMaxX);
    clampTo(s.clipMinY, 0, s.clipMaxY);
    if (s.origin != GR_ORIGIN_LOWER_LEFT)
        s.origin = GR_ORIGIN_UPPER_LEFT;
    card.pipelineDirty = true;
}

void grHints(GrHint_t hintType, FxU32 hintMask)
{
    // Stored and saved with the state; no hint changes what our card draws
    // (s/t/w always come from the vertex's own oow and TMU0 fields).
    if (hintType < 4)
        card.state.hints[hintType] = hintMask;
}

void grGammaCorrectionValue(float value)
{
    if (!(value > 0.0f))
        return;
    card.gamma = value;
    // The card's RAMDAC holds the curve at every eighth value only (0, 8, ...,
    // 256) and interpolates between them with the low three bits.
    int samples[33];
    for (int i = 0; i <= 32; ++i)
        samples[i] = static_cast<int>(std::lround(255.0 * std::pow(8.0 * i / 255.0, 1.0 / value)));
    std::uint8_t curve[256];
    for (int v = 0; v < 256; ++v) {
        int low = samples[v >> 3], high = samples[(v >> 3) + 1];
        curve[v] = static_cast<std::uint8_t>(std::min(255, low + (((high - low) * (v & 7)) >> 3)));
    }
    for (std::uint32_t p = 0; p < 65536; ++p) {
        std::uint32_t r5 = p >> 11, g6 = (p >> 5) & 0x3F, b5 = p & 0x1F;
        std::uint32_t r = (r5 << 3) | (r5 >> 2), g = (g6 << 2) | (g6 >> 4), b = (b5 << 3) | (b5 >> 2);
        card.presentTable[p] = (static_cast<std::uint32_t>(curve[r]) << 16) |
                               (static_cast<std::uint32_t>(curve[g]) << 8) | curve[b];
    }
    card.presentTableValid = true;
}

void grBufferSwap(int swapInterval)
{
    if (!card.open)
        return;
    // The drawing threads finish the frame while the caller sleeps to its retrace.
    bool paced = glide2SwapWait() && swapInterval > 0;
    double frameStart = card.swapReturned;
    double drawn = paced ? displayClockNow() : 0.0;
    displayClockWaitForSwap(swapInterval);
    finishDrawing();
    paceDrawThreads(paced && frameStart >= 0.0, drawn - frameStart, 1.0 / card.refreshHz);
    card.swapReturned = paced ? displayClockNow() : -1.0;
    card.frontIndex ^= 1;
    const std::uint16_t* front = card.colorBuffer[card.frontIndex].data();
    std::uint32_t* out = card.presentBuffer.data();
    const std::uint32_t* table = card.presentTable.data();
    for (int i = 0; i < screenWidth * screenHeight; ++i)
        out[i] = table[front[i]];
    if (card.presenter)
        card.presenter(card.presenterData, out, screenWidth, screenHeight);
}

std::uint16_t* cardColorBuffer(int buffer)
{
    if (!card.open)
        return nullptr;
    if (buffer == GR_BUFFER_FRONTBUFFER)
        return card.colorBuffer[card.frontIndex].data();
    if (buffer == GR_BUFFER_BACKBUFFER)
        return card.colorBuffer[card.frontIndex ^ 1].data();
    return nullptr;
}

std::uint32_t cardColorToArgb(std::uint32_t c)
{
    std::uint32_t a, r, g, b;
    switch (card.state.colorFormat) {
    case GR_COLORFORMAT_ABGR:
        a = c >> 24, b = (c >> 16) & 0xFF, g = (c >> 8) & 0xFF, r = c & 0xFF;
        break;
    case GR_COLORFORMAT_RGBA:
        r = c >> 24, g = (c >> 16) & 0xFF, b = (c >> 8) & 0xFF, a = c & 0xFF;
        break;
    case GR_COLORFORMAT_BGRA:
        b = c >> 24, g = (c >> 16) & 0xFF, r = (c >> 8) & 0xFF, a = c & 0xFF;
        break;
    default:
        a = c >> 24, r = (c >> 16) & 0xFF, g = (c >> 8) & 0xFF, b = c & 0xFF;
        break;
    }
    return (a << 24) | (r << 16) | (g << 8) | b;
}

void cardResetState(int colorFormat, int origin)
{
    RenderState& s = card.state;
    s = RenderState{};
    s.colorFormat = static_cast<std::uint8_t>(colorFormat);
    s.origin = static_cast<std::uint8_t>(origin);
    s.color = {GR_COMBINE_FUNCTION_SCALE_OTHER, GR_COMBINE_FACTOR_ONE, GR_COMBINE_LOCAL_ITERATED,
               GR_COMBINE_OTHER_ITERATED, 0};
    s.alpha = {GR_COMBINE_FUNCTION_SCALE_OTHER, GR_COMBINE_FACTOR_ONE, GR_COMBINE_LOCAL_NONE,
               GR_COMBINE_OTHER_CONSTANT, 0};
    s.tmu.mipmap = GR_NULL_MIPMAP_HANDLE;
    s.tmu.rgbFunction = GR_COMBINE_FUNCTION_ZERO;
    s.tmu.alphaFunction = GR_COMBINE_FUNCTION_ZERO;
    s.tmu.sClamp = s.tmu.tClamp = GR_TEXTURECLAMP_CLAMP;
    s.tmu.minFilter = s.tmu.magFilter = GR_TEXTUREFILTER_POINT_SAMPLED;
    s.tmu.mipmapMode = GR_MIPMAP_DISABLE;
    s.tmu.format = GR_TEXFMT_RGB_565;
    s.tmu.aspect = GR_ASPECT_1x1;
    s.blend[0] = GR_BLEND_ONE;
    s.blend[1] = GR_BLEND_ZERO;
    s.blend[2] = GR_BLEND_ONE;
    s.blend[3] = GR_BLEND_ZERO;
    s.constantColor = 0xFFFFFFFF;
    s.fogColor = 0;
    s.fogMode = GR_FOG_DISABLE;
    s.depthMode = GR_DEPTHBUFFER_DISABLE;
    s.depthFunction = GR_CMP_LESS;
    s.depthMask = 0;
    s.cullMode = GR_CULL_DISABLE;
    s.renderBuffer = GR_BUFFER_BACKBUFFER;
    s.colorMask = 1;
    s.ditherMode = GR_DITHER_4x4;
    s.clipMinX = 0;
    s.clipMinY = 0;
    s.clipMaxX = screenWidth;
    s.clipMaxY = screenHeight;
    s.lfbConstantAlpha = 0xFF;
    s.lfbConstantDepth = 0;
    card.pipelineDirty = true;
}
