#include "glide2/card.h"
#include "glide2/draw_queue.h"

#include <cmath>

float guFogTableIndexToW(int i) { return std::ldexp(1.0f, 3 + i / 4) / static_cast<float>(8 - (i % 4)); }

void guFogGenerateLinear(GrFog_t fogTable[GR_FOG_TABLE_SIZE], float nearW, float farW)
{
    if (!fogTable)
        return;
    for (int i = 0; i < GR_FOG_TABLE_SIZE; ++i) {
        float w = guFogTableIndexToW(i);
        if (w > 65535.0f)
            w = 65535.0f;
        float f = (farW != nearW) ? (w - nearW) / (farW - nearW) : (w >= farW ? 1.0f : 0.0f);
        if (!(f > 0.0f))
            f = 0.0f;
        if (f > 1.0f)
            f = 1.0f;
        fogTable[i] = static_cast<GrFog_t>(f * 255.0f);
    }
}

void grFogTable(const GrFog_t table[GR_FOG_TABLE_SIZE])
{
    if (!table)
        return;
    finishDrawing();
    // The card keeps each entry with the step to the next one in quarter
    // units, modulo 256; steps of 64 or more therefore wrap, as on the card.
    for (int i = 0; i < GR_FOG_TABLE_SIZE; ++i) {
        card.fogTable[i] = table[i];
        card.fogDelta[i] = i + 1 < GR_FOG_TABLE_SIZE ? static_cast<std::uint8_t>((table[i + 1] - table[i]) * 4) : 0;
        card.fogEntries[i] = card.fogTable[i] | static_cast<std::uint32_t>(card.fogDelta[i]) << 8;
    }
}

void grFogMode(GrFogMode_t mode)
{
    int base = mode & 0xFF;
    if (base != GR_FOG_DISABLE && base != GR_FOG_WITH_TABLE)
        return; // iterated-alpha and iterated-z fog are not built: the call is ignored
    card.state.fogMode = mode & (0xFF | GR_FOG_MULT2 | GR_FOG_ADD2);
    card.pipelineDirty = true;
}

void grFogColorValue(GrColor_t fogColor)
{
    card.state.fogColor = fogColor;
    card.pipelineDirty = true;
}
