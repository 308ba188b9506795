#include "levels/level_map.h"

#include "files/bmp.h"
#include "game/edition_rules.h"
#include "levels/text_reader.h"
#include "platform/platform.h"
#include "render/renderer.h"
#include "sim/marble.h"

#include <cmath>
#include <limits>
#include <new>

LevelMap levelMap;

namespace {

// Every hole moves the surface by at most its depth, so heights stay within
// the sum of the depths. Keeping that sum to a quarter of the float range
// keeps every height, and every difference of two heights, finite.
constexpr double kMaxDepthSum = std::numeric_limits<float>::max() / 4.0;

const char* const kLevelTextureSuffix = "_0.bmp";

void showError(const std::string& text) { platform->messageBox(text, "error"); }

// Bytes that are not printable ASCII are shown as \xNN: a damaged file must
// not put control codes on the player's terminal or garble the box.
std::string printable(const std::string& text)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : text) {
        if (c >= 0x20 && c < 0x7F) {
            out += static_cast<char>(c);
        } else {
            out += "\\x";
            out += digits[c >> 4];
            out += digits[c & 15];
        }
    }
    return out;
}

bool unknownToken(const std::string& fileName, const std::string& token)
{
    showError(printable(fileName) + " contains a unknown token " + printable(token));
    return false;
}

bool glideAcceptsHoleCount(int32_t count) { return count == 58 || count == 62 || count == 70; }

} // namespace

void LevelMap::releaseLevel()
{
    // The grid arrays have the same size for every level; they are kept and
    // refilled by buildGrid, so a level start does not pay for fresh pages.
    holes.reset();
    holeCount = 0;
    holesFilled = false;
}

bool LevelMap::load(const std::string& fileName, Marble& marble)
{
    releaseLevel();
    textureRead = false;
    if (readFile(fileName, marble))
        return true;
    // Records that a failed load left unread must not reach a query.
    releaseLevel();
    return false;
}

bool LevelMap::readFile(const std::string& fileName, Marble& marble)
{
    TextReader in;
    if (!in.open(fileName, kMapFileLimit)) {
        showError(fileName + " file not found");
        return false;
    }
    std::string token;
    for (;;) {
        if (!in.readToken(token))
            return in.tokenTooLong() ? unknownToken(fileName, token) : false;
        if (!readItem(in, token, fileName, marble))
            return false;
        // The file has to end right after its last item: whitespace there
        // makes the next token read fail.
        if (in.atEnd())
            break;
    }
    // A table that no ".data" filled holds no holes.
    if (!holesFilled)
        releaseLevel();
    if (!buildGrid()) {
        showError("out of memory");
        return false;
    }
    return true;
}

bool LevelMap::readItem(TextReader& in, const std::string& token, const std::string& fileName, Marble& marble)
{
    if (token == "texturefile=") {
        std::string name;
        if (!in.readToken(name))
            return in.tokenTooLong() ? unknownToken(fileName, name) : false;
        return loadTexture(name, fileName);
    }
    if (token == "fogcolor=") {
        if (!in.readUnsigned(fogColour))
            return false;
        fogColourRGBA[0] = float((fogColour >> 16) & 0xff) / 255.0f;
        fogColourRGBA[1] = float((fogColour >> 8) & 0xff) / 255.0f;
        fogColourRGBA[2] = float(fogColour & 0xff) / 255.0f;
        fogColourRGBA[3] = 1.0f;
        renderer->setFogColour(fogColour);
        return true;
    }
    if (token == "marblecolor=") {
        if (!in.readUnsigned(marbleColour))
            return false;
        marble.setColour(float((marbleColour >> 16) & 0xff), float((marbleColour >> 8) & 0xff),
                         float(marbleColour & 0xff));
        return true;
    }
    if (token == "holecount=") {
        int32_t count = 0;
        if (!in.readInt(count))
            return false;
        holes.reset();
        holeCount = 0;
        if (rules().checksHoleCount && !glideAcceptsHoleCount(count)) {
            showError("map files have been altered");
            return false;
        }
        // Left unfilled: only the records a ".data" reads are touched, so a
        // large count costs memory only as far as the file fills it.
        if (count >= 0)
            holes.reset(new (std::nothrow) Hole[size_t(count)]);
        if (!holes) {
            showError("out of memory");
            return false;
        }
        holeCount = count;
        holesFilled = false;
        return true;
    }
    if (token == ".data")
        return readHoleTable(in, fileName);
    return unknownToken(fileName, token);
}

bool LevelMap::readHoleTable(TextReader& in, const std::string& fileName)
{
    // Every ".data" fills the whole table, so these sums cover all of it.
    double depthSum = 0.0;
    for (int32_t i = 0; i < holeCount; ++i) {
        float values[4];
        for (float& value : values) {
            if (!in.readFloat(value))
                return false;
            if (!std::isfinite(value))
                return unknownToken(fileName, in.lastNumber());
        }
        Hole hole{values[0], values[1], values[2], values[3]};
        if (hole.radius != 0.0f) {
            depthSum += std::fabs(double(hole.depth));
            if (depthSum > kMaxDepthSum)
                return unknownToken(fileName, in.lastNumber());
        }
        holes[i] = hole;
    }
    holesFilled = true;
    std::string end;
    if (!in.readToken(end) || end != ".end") {
        showError("expected .end");
        return false;
    }
    return true;
}

bool LevelMap::loadTexture(const std::string& name, const std::string& fileName)
{
    if (isGlide())
        return renderer->loadLevelTexture(name);

    // Level file names have to fit the 255 characters of a name.
    if (name.size() + std::char_traits<char>::length(kLevelTextureSuffix) > TextReader::kMaxTokenLength)
        return unknownToken(fileName, name);
    if (!mipImages) {
        mipImages.reset(new (std::nothrow) uint8_t[size_t(kLevelMipLevels) * kLevelMipSlotBytes]);
        if (!mipImages) {
            showError("out of memory");
            return false;
        }
    }
    // Only a map that loads hands its images over, so a failure leaves the
    // previous level's texture in place.
    for (int level = 0; level < kLevelMipLevels; ++level) {
        std::string levelFile = name + "_" + std::to_string(level) + ".bmp";
        int side = 128 >> level;
        BmpSize size;
        uint8_t* slot = mipImages.get() + size_t(level) * kLevelMipSlotBytes;
        if (!readBmp(levelFile, slot, bmpImageBytes(side, side), &size) || size.width != side || size.height != side) {
            showError(levelFile);
            return false;
        }
    }
    textureRead = true;
    return true;
}

bool LevelMap::buildGrid()
{
    if (!vertices)
        vertices.reset(new (std::nothrow) Vec3[kGridVertices]);
    if (!vertices)
        return false;

    for (int row = 0; row < kGridRows; ++row) {
        for (int column = 0; column < kGridColumns; ++column) {
            int i = row * kGridColumns + column;
            vertices[i] = Vec3(float(column - 25) * kCellSize, float(row - 200) * kCellSize, 0.0f);
        }
    }
    return sampleGridHeights();
}
