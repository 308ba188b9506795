#include "tools/mapcheck/map_explainer.h"

#include "levels/text_reader.h"

#include <fstream>
#include <iterator>
#include <vector>

namespace {

std::string describeSpace(char c)
{
    switch (c) {
    case '\n':
    case '\r':
        return "a line end";
    case ' ':
        return "a space";
    case '\t':
        return "a tab";
    default:
        return "whitespace";
    }
}

// The map ends in whitespace after its last item: where that begins.
std::string trailingSpace(const std::string& fileName, const std::string& lastItem)
{
    std::ifstream in(fileName, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    size_t end = bytes.size();
    while (end > 0 && isTextSpace(static_cast<unsigned char>(bytes[end - 1])))
        --end;
    if (end == bytes.size())
        return "";
    size_t line = 1;
    for (size_t i = 0; i < end; ++i)
        line += bytes[i] == '\n';
    return "nothing may follow " + lastItem + ": " + describeSpace(bytes[end]) + " at byte " + std::to_string(end) +
           " (line " + std::to_string(line) + ")";
}

std::string holeValues(int hole, int values)
{
    return "hole " + std::to_string(hole) + " has " + std::to_string(values) + " of its 4 values";
}

} // namespace

std::string explainSilentFailure(const std::string& fileName)
{
    TextReader in;
    if (!in.open(fileName, kMapFileLimit))
        return "";
    std::string token;
    std::string lastItem;
    int32_t holeCount = 0;
    for (;;) {
        if (!in.readToken(token)) {
            if (in.tokenTooLong())
                return "";
            return lastItem.empty() ? "the file holds no items" : trailingSpace(fileName, lastItem);
        }
        if (token == "texturefile=") {
            std::string name;
            if (!in.readToken(name))
                return in.tokenTooLong() ? "" : "texturefile= has no file name after it";
        } else if (token == "fogcolor=" || token == "marblecolor=") {
            uint32_t value = 0;
            if (!in.readUnsigned(value))
                return token + " needs a whole number of at most 32 bits after it, such as 0x9cc8e8";
        } else if (token == "holecount=") {
            if (!in.readInt(holeCount))
                return "holecount= needs a whole number after it";
        } else if (token == ".data") {
            for (int32_t i = 0; i < holeCount; ++i)
                for (int v = 0; v < 4; ++v) {
                    float value = 0.0f;
                    if (in.readFloat(value))
                        continue;
                    std::string there;
                    std::string why = holeValues(i + 1, v) + ": ";
                    if (!in.readToken(there))
                        return why + "the file ends there";
                    // A failed number read may have taken the dot of ".end".
                    if (there == ".end" || there == "end")
                        return why + "the table ends (.end) after " + std::to_string(i) + " of the " +
                               std::to_string(holeCount) + " holes holecount= announced";
                    return why + "\"" + there + "\" is not a number";
                }
            std::string end;
            if (!in.readToken(end) || end != ".end")
                return "";
            token = ".end";
        } else {
            return "";
        }
        lastItem = token;
        if (in.atEnd())
            return "";
    }
}

std::string textureNameIn(const std::string& fileName)
{
    TextReader in;
    std::string token;
    std::string name;
    if (!in.open(fileName, kMapFileLimit))
        return "";
    while (in.readToken(token))
        if (token == "texturefile=" && !in.readToken(name))
            return "";
    return name;
}
