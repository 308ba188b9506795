// Any bytes as the font's glyph table: a loaded font only ever measures and
// draws finite widths.

#include "fuzz_support.h"
#include "game/edition.h"
#include "render/font.h"

#include <cmath>
#include <cstdlib>

namespace {

// The .3df texture itself is not what is fuzzed here.
class FontFuzzRenderer : public CheckingRenderer {
public:
    bool loadFontTexture(const std::string&) override { return true; }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static QuietPlatform quiet;
    static FontFuzzRenderer quietRenderer;
    platform = &quiet;
    renderer = &quietRenderer;
    edition = Edition::Glide;
    std::string path = writeScratchFile("font.dat", data, size);
    Font probe;
    if (probe.load("font.3df", path)) {
        std::string all;
        for (int c = 1; c < 256; ++c)
            all += static_cast<char>(c);
        probe.drawText(all.c_str());
        (void)probe.textWidth(all.c_str());
    }
    return 0;
}
