#include "screens/cues.h"

#include "platform/platform.h"
#include "render/font.h"
#include "render/renderer.h"
#include "screens/text_colour.h"

namespace {

std::string cueText;
bool cueLasts = false;
int64_t cueEnd = 0; // counter value at which a timed cue goes
std::string label;

// A line of text on a dark band, so that it reads over any ground.
void drawOnBand(const std::string& text, float scale, float x, float y)
{
    font.setScale(scale);
    float w = font.textWidth(text.c_str()), h = font.lineHeight();
    renderer->drawOverlayQuad(OverlayQuad{OverlayPoint{x - 4.0f, y - 2.0f}, OverlayPoint{x + w + 4.0f, y - 2.0f},
                                          OverlayPoint{x + w + 4.0f, y + h + 2.0f},
                                          OverlayPoint{x - 4.0f, y + h + 2.0f}},
                              Colour{0.0f, 0.0f, 0.0f, 0.45f});
    font.setPosition(x, y);
    font.drawText(text.c_str());
}

} // namespace

void showCue(const std::string& text, double seconds)
{
    cueText = text;
    cueLasts = false;
    cueEnd = platform->counter() + static_cast<int64_t>(seconds * static_cast<double>(platform->counterFrequency()));
}

void showLastingCue(const std::string& text)
{
    cueText = text;
    cueLasts = true;
}

void clearCue()
{
    cueText.clear();
    cueLasts = false;
}

std::string currentCue()
{
    if (!cueLasts && !cueText.empty() && platform->counter() >= cueEnd)
        cueText.clear();
    return cueText;
}

void setCornerLabel(const std::string& text) { label = text; }
const std::string& cornerLabel() { return label; }

void drawCues()
{
    std::string text = currentCue();
    if (!text.empty()) {
        // Low in the middle: clear of the countdown, the banner and the marble.
        font.setScale(0.5f);
        setTextColour(1.0f, 1.0f, 1.0f);
        drawOnBand(text, 0.5f, 320.0f - 0.5f * font.textWidth(text.c_str()), 420.0f);
    }
    if (!label.empty()) {
        font.setScale(kSmallTextScale);
        setTextColour(1.0f, 0.9f, 0.4f);
        drawOnBand(label, kSmallTextScale, 630.0f - font.textWidth(label.c_str()), 6.0f);
    }
}

void resetCues()
{
    clearCue();
    label.clear();
}
