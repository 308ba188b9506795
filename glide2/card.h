#pragma once

// The one software Voodoo Graphics card: its memory and registers. Internal to
// glide2/; programs use glide.h.

#include "glide2/glide.h"
#include "glide2/presenter.h"
#include "glide2/render_state.h"

#include <array>
#include <cstdint>
#include <vector>

constexpr int screenWidth = 640;
constexpr int screenHeight = 480;
constexpr int lfbStridePixels = 1024; // the card's rows are always 1024 pixels apart
constexpr std::uint32_t tmuMemoryBytes = 2u * 1024 * 1024;

// A mipmap in texture memory: its modes as allocated, and its texels decoded
// to 0xAARRGGBB once at download, every level largest first.
struct Mipmap {
    int format = 0;
    int smallLod = 0, largeLod = 0, aspect = 0;
    int mipmapMode = 0;
    int sClamp = 0, tClamp = 0, minFilter = 0, magFilter = 0;
    int lodBiasQuarters = 0;
    bool downloaded = false;
    std::vector<std::uint32_t> texels;
    int levelOffset[9] = {};
    int levelWidth[9] = {};
    int levelHeight[9] = {};
};

struct LfbLock {
    bool held = false;
    int buffer = 0;
    int writeMode = 0;
    int origin = 0;
};

struct Card {
    bool initialised = false;
    bool open = false;
    Glide2Presenter presenter = nullptr;
    void* presenterData = nullptr;

    RenderState state{};
    bool pipelineDirty = true;

    std::vector<std::uint16_t> colorBuffer[2];
    std::vector<std::uint16_t> depthBuffer;
    int frontIndex = 0;
    bool hasDepthBuffer = true;

    std::uint8_t fogTable[64] = {};
    std::uint8_t fogDelta[64] = {};
    std::uint32_t fogEntries[64] = {}; // fogTable | fogDelta << 8, for the eight-pixel loops

    std::vector<Mipmap> mipmaps;
    std::uint32_t tmuMemoryUsed = 0;

    float gamma = 1.7f;
    std::array<std::uint32_t, 65536> presentTable{}; // 565 pixel -> 0x00RRGGBB after gamma
    bool presentTableValid = false;
    std::vector<std::uint32_t> presentBuffer;

    double refreshHz = 60.0;
    double displayEpoch = 0.0;  // time of retrace 0, on the card's clock
    long long swapRetrace = 0;  // retrace at which the last swap was shown
    double swapReturned = -1.0; // when the last paced swap returned, on the card's clock

    LfbLock readLock, writeLock;
    // Held only while a lock is: a 2 MB copy is not kept through the game.
    std::vector<std::uint8_t> lfbStaging;     // what a write lock hands out
    std::vector<std::uint8_t> lfbReadStaging; // what a read lock hands out
    std::vector<std::uint8_t> lfbHandedOut;   // a write lock's staging as it was handed out
};

extern Card card;

// Back or front colour buffer selected by a GR_BUFFER_ value; nullptr otherwise.
std::uint16_t* cardColorBuffer(int buffer);
// Decodes a GrColor_t under the open colour format into 0xAARRGGBB.
std::uint32_t cardColorToArgb(std::uint32_t color);
// The display clock of the open mode, and the wait of a swap (swap_pacing.cpp).
void displayClockStart(int refresh);
void displayClockWaitForSwap(int interval);
double displayClockNow();
// Resets every register to what grSstWinOpen leaves.
void cardResetState(int colorFormat, int origin);
