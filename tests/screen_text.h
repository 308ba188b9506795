#pragma once

#include "recording_renderer.h"
#include "render/font.h"
#include "temp_workdir.h"

#include <algorithm>
#include <map>
#include <string>
#include <vector>

// A test font whose glyph boxes tell their characters apart: character c
// starts at texel (c - 32) * 2, is 10 texels wide and 33 high ("!" included),
// so drawn glyphs can be read back as text.
inline void writeTestFontDescription(const std::string& path)
{
    std::string text = "33 126";
    for (int c = 33; c <= 126; ++c)
        text += std::string(" ") + static_cast<char>(c) + " " + std::to_string((c - 32) * 2) + " 0 " +
                std::to_string((c - 32) * 2 + 10) + " 33";
    TempWorkdir::write(path, text);
}

// One glyph as drawn: its character, where it stands and its colour.
struct DrawnGlyph {
    char c;
    float x, y, scale;
    Colour colour;
};

inline std::vector<DrawnGlyph> drawnGlyphs(const RecordingRenderer& recorder)
{
    std::vector<DrawnGlyph> out;
    for (const RenderCall& call : recorder.of(RenderOp::Glyph)) {
        char c = static_cast<char>(static_cast<int>(call.box.left) / 2 + 32);
        out.push_back({c, call.rect.left, call.rect.top, (call.rect.right - call.rect.left) / 10.0f, call.colour});
    }
    return out;
}

// The glyphs drawn as text lines: glyphs on the same y, in drawing order,
// with a blank wherever the pen jumped to the right.
inline std::vector<std::string> drawnLines(const RecordingRenderer& recorder)
{
    std::vector<std::string> lines;
    std::vector<DrawnGlyph> glyphs = drawnGlyphs(recorder);
    std::map<float, std::string> byY;
    for (const DrawnGlyph& g : glyphs)
        byY[g.y] += g.c;
    for (auto& entry : byY)
        lines.push_back(entry.second);
    return lines;
}

// The first glyph of the given string as drawn, or nullptr.
inline const DrawnGlyph* findText(const std::vector<DrawnGlyph>& glyphs, const std::string& text)
{
    for (size_t i = 0; i + text.size() <= glyphs.size(); ++i) {
        bool match = true;
        for (size_t k = 0; k < text.size() && match; ++k)
            match = glyphs[i + k].c == text[k];
        if (match)
            return &glyphs[i];
    }
    return nullptr;
}
