#include "glide2/card.h"
#include "glide2/draw_queue.h"
#include "glide2/pixel_format.h"

#include <algorithm>
#include <cstring>

namespace {

int physicalRow(int y, bool lowerLeft) { return lowerLeft ? screenHeight - 1 - y : y; }

std::uint32_t expandedPixel(std::uint16_t p)
{
    int r, g, b;
    expand565(p, r, g, b);
    return (static_cast<std::uint32_t>(r) << 16) | (static_cast<std::uint32_t>(g) << 8) |
           static_cast<std::uint32_t>(b);
}

std::uint16_t from555(std::uint16_t v, int d)
{
    int r5 = (v >> 10) & 0x1F, g5 = (v >> 5) & 0x1F, b5 = v & 0x1F;
    return packDithered(d, (r5 << 3) | (r5 >> 2), (g5 << 3) | (g5 >> 2), (b5 << 3) | (b5 >> 2));
}

std::uint16_t to555(std::uint16_t p)
{
    int r, g, b;
    expand565(p, r, g, b);
    return static_cast<std::uint16_t>(((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3));
}

bool isColorBuffer(int buffer) { return buffer == GR_BUFFER_FRONTBUFFER || buffer == GR_BUFFER_BACKBUFFER; }
bool isAuxBuffer(int buffer) { return buffer == GR_BUFFER_AUXBUFFER || buffer == GR_BUFFER_DEPTHBUFFER; }

std::uint16_t* bufferFor(int buffer)
{
    if (isColorBuffer(buffer))
        return cardColorBuffer(buffer);
    if (isAuxBuffer(buffer) && card.hasDepthBuffer && card.open)
        return card.depthBuffer.data();
    return nullptr;
}

int bytesPerPixel(int writeMode)
{
    return (writeMode == GR_LFBWRITEMODE_888 || writeMode == GR_LFBWRITEMODE_8888) ? 4 : 2;
}

// The top byte a write lock's 32-bit words carry until they are written; a
// program writing 0x00RRGGBB (or an opaque 8888 alpha) always changes it.
constexpr std::uint32_t kUnwrittenMark = 0x5A000000u;

// The word a write lock hands out for a stored pixel. Each carries a mark in
// bits the card ignores (or an alpha a program rarely writes), so that a word
// written with the colour already there still counts as written and goes
// through the conversion again.
std::uint32_t handedOutWord(int writeMode, std::uint16_t stored)
{
    switch (writeMode) {
    case GR_LFBWRITEMODE_888:
    case GR_LFBWRITEMODE_8888:
        return expandedPixel(stored) | kUnwrittenMark;
    case GR_LFBWRITEMODE_555:
        return to555(stored) | 0x8000u; // the bit 555 does not use
    case GR_LFBWRITEMODE_1555:
        return to555(stored); // transparent: programs write opaque pixels
    default:
        return stored;
    }
}

// At unlock: the words the program wrote under a write lock go into the buffer.
void storeWrittenWords(std::uint16_t* target, const LfbLock& lock);

} // namespace

void grBufferClear(GrColor_t color, GrAlpha_t, FxU16 depth)
{
    if (!card.open)
        return;
    finishDrawing();
    const RenderState& s = card.state;
    std::uint16_t* target = cardColorBuffer(s.renderBuffer);
    bool lowerLeft = s.origin == GR_ORIGIN_LOWER_LEFT;
    bool clearDepth = card.hasDepthBuffer && s.depthMode != GR_DEPTHBUFFER_DISABLE && s.depthMask;
    std::uint32_t argb = cardColorToArgb(color);
    int r = (argb >> 16) & 0xFF, g = (argb >> 8) & 0xFF, b = argb & 0xFF;
    const std::uint8_t(*matrix)[4] = ditherMatrixFor(s.ditherMode);
    // One row of each of the four dither rows (and of depth), copied into
    // every row in one call each: the library's copy is far wider than a loop
    // of pixels.
    std::uint16_t rowPatterns[4][screenWidth];
    if (s.colorMask && target)
        for (int phase = 0; phase < 4; ++phase)
            for (int x = 0; x < screenWidth; ++x)
                rowPatterns[phase][x] = packDithered(matrix[phase][x & 3], r, g, b);
    std::uint16_t depthRow[screenWidth];
    if (clearDepth)
        std::fill(depthRow, depthRow + screenWidth, depth);
    for (int y = s.clipMinY; y < s.clipMaxY; ++y) {
        int row = physicalRow(y, lowerLeft);
        std::size_t start = static_cast<std::size_t>(row) * screenWidth;
        if (s.colorMask && target && s.clipMinX < s.clipMaxX)
            std::memcpy(&target[start + s.clipMinX], &rowPatterns[row & 3][s.clipMinX],
                        static_cast<std::size_t>(s.clipMaxX - s.clipMinX) * sizeof(std::uint16_t));
        if (clearDepth && s.clipMinX < s.clipMaxX)
            std::memcpy(&card.depthBuffer[start + s.clipMinX], depthRow,
                        static_cast<std::size_t>(s.clipMaxX - s.clipMinX) * sizeof(std::uint16_t));
    }
}

FxBool grLfbLock(GrLock_t type, GrBuffer_t buffer, GrLfbWriteMode_t writeMode, GrOriginLocation_t origin,
                 FxBool pixelPipeline, GrLfbInfo_t* info)
{
    if (!card.open || !info)
        return FXFALSE;
    finishDrawing();
    bool write = (type & 1) == GR_LFB_WRITE_ONLY;
    LfbLock& lock = write ? card.writeLock : card.readLock;
    std::uint16_t* source = bufferFor(buffer);
    if (lock.held || !source)
        return FXFALSE;
    if (origin == GR_ORIGIN_ANY)
        origin = card.state.origin;
    if (origin != GR_ORIGIN_UPPER_LEFT && origin != GR_ORIGIN_LOWER_LEFT)
        return FXFALSE;
    int mode = GR_LFBWRITEMODE_565;
    if (isAuxBuffer(buffer)) {
        mode = GR_LFBWRITEMODE_ZA16;
        if (write && writeMode != GR_LFBWRITEMODE_ZA16 && writeMode != GR_LFBWRITEMODE_ANY)
            return FXFALSE;
    } else if (write) {
        // Writes through the pixel pipeline, and the modes that carry depth
        // with colour, are not built.
        if (pixelPipeline)
            return FXFALSE;
        mode = writeMode == GR_LFBWRITEMODE_ANY ? GR_LFBWRITEMODE_565 : writeMode;
        if (mode != GR_LFBWRITEMODE_565 && mode != GR_LFBWRITEMODE_555 && mode != GR_LFBWRITEMODE_1555 &&
            mode != GR_LFBWRITEMODE_888 && mode != GR_LFBWRITEMODE_8888)
            return FXFALSE;
    }
    // The caller sees a copy laid out as the card's memory is, 1024 pixels a
    // row; the copy goes back into the buffer at unlock.
    std::vector<std::uint8_t>& staging = write ? card.lfbStaging : card.lfbReadStaging;
    int bpp = bytesPerPixel(mode);
    std::size_t stride = static_cast<std::size_t>(lfbStridePixels) * bpp;
    staging.assign(stride * screenHeight, 0);
    bool lowerLeft = origin == GR_ORIGIN_LOWER_LEFT;
    for (int y = 0; y < screenHeight; ++y) {
        const std::uint16_t* src = source + static_cast<std::size_t>(physicalRow(y, lowerLeft)) * screenWidth;
        std::uint8_t* dst = staging.data() + stride * y;
        for (int x = 0; x < screenWidth; ++x) {
            if (bpp == 4) {
                std::uint32_t v = write ? handedOutWord(mode, src[x])
                                        : expandedPixel(src[x]) | (mode == GR_LFBWRITEMODE_8888 ? 0xFF000000u : 0u);
                std::memcpy(dst + 4 * x, &v, 4);
            } else {
                std::uint16_t v = src[x];
                if (write)
                    v = static_cast<std::uint16_t>(handedOutWord(mode, v));
                else if (mode == GR_LFBWRITEMODE_555)
                    v = to555(v);
                else if (mode == GR_LFBWRITEMODE_1555)
                    v = static_cast<std::uint16_t>(to555(v) | 0x8000);
                std::memcpy(dst + 2 * x, &v, 2);
            }
        }
    }
    // Unlock tells written words from those handed out by this copy, since
    // the buffer itself may change under the lock.
    if (write)
        card.lfbHandedOut = staging;
    lock = {true, buffer, mode, origin};
    info->lfbPtr = staging.data();
    info->strideInBytes = static_cast<FxU32>(stride);
    info->writeMode = mode;
    info->origin = origin;
    return FXTRUE;
}

FxBool grLfbUnlock(GrLock_t type, GrBuffer_t buffer)
{
    bool write = (type & 1) == GR_LFB_WRITE_ONLY;
    LfbLock& lock = write ? card.writeLock : card.readLock;
    if (!lock.held || lock.buffer != buffer)
        return FXFALSE;
    finishDrawing();
    lock.held = false;
    std::uint16_t* target = bufferFor(buffer);
    if (write && target)
        storeWrittenWords(target, lock);
    if (write) {
        std::vector<std::uint8_t>().swap(card.lfbStaging);
        std::vector<std::uint8_t>().swap(card.lfbHandedOut);
    } else {
        std::vector<std::uint8_t>().swap(card.lfbReadStaging);
    }
    return target ? FXTRUE : FXFALSE;
}

namespace {

void storeWrittenWords(std::uint16_t* target, const LfbLock& lock)
{
    const std::vector<std::uint8_t>& staging = card.lfbStaging;
    int bpp = bytesPerPixel(lock.writeMode);
    std::size_t stride = static_cast<std::size_t>(lfbStridePixels) * bpp;
    bool lowerLeft = lock.origin == GR_ORIGIN_LOWER_LEFT;
    const std::uint8_t(*matrix)[4] = ditherMatrixFor(card.state.ditherMode);
    // Only words the program wrote are stored, each converted (and dithered)
    // afresh; every other pixel keeps what the buffer holds now, including
    // triangles drawn while the lock was held.
    for (int y = 0; y < screenHeight; ++y) {
        int row = physicalRow(y, lowerLeft);
        std::size_t rowStart = static_cast<std::size_t>(row) * screenWidth;
        std::uint16_t* dst = target + rowStart;
        const std::uint8_t* src = staging.data() + stride * y;
        const std::uint8_t* handedOut = card.lfbHandedOut.data() + stride * y;
        const std::uint8_t* ditherRow = matrix[row & 3];
        if (bpp == 4) {
            for (int x = 0; x < screenWidth; ++x) {
                std::uint32_t v, was;
                std::memcpy(&v, src + 4 * x, 4);
                std::memcpy(&was, handedOut + 4 * x, 4);
                if (v != was)
                    dst[x] = packDithered(ditherRow[x & 3], (v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
            }
            continue;
        }
        bool fiveBits = lock.writeMode == GR_LFBWRITEMODE_555 || lock.writeMode == GR_LFBWRITEMODE_1555;
        for (int x = 0; x < screenWidth; ++x) {
            std::uint16_t v, was;
            std::memcpy(&v, src + 2 * x, 2);
            std::memcpy(&was, handedOut + 2 * x, 2);
            if (v != was)
                dst[x] = fiveBits ? from555(v, ditherRow[x & 3]) : v;
        }
    }
}

} // namespace
