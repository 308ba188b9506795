#include "screens/cues.h"

#include "platform/platform.h"
#include "render/font.h"
#include "screens/text_colour.h"

namespace {

std::string cueText;
bool cueLasts = false;
int64_t cueEnd = 0; // counter value at which a timed cue goes
std::string label;

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
        font.setPosition(320.0f - 0.5f * font.textWidth(text.c_str()), 420.0f);
        setTextColour(1.0f, 1.0f, 1.0f);
        font.drawText(text.c_str());
    }
    if (!label.empty()) {
        font.setScale(kSmallTextScale);
        font.setPosition(630.0f - font.textWidth(label.c_str()), 4.0f);
        setTextColour(1.0f, 0.9f, 0.4f);
        font.drawText(label.c_str());
    }
}

void resetCues()
{
    clearCue();
    label.clear();
}
