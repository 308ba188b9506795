#include "levels/level_map.h"

#include "levels/text_reader.h"
#include "platform/platform.h"
#include "render/bmp.h"
#include "render/renderer.h"
#include "shell/edition.h"
#include "sim/marble.h"

#include <cmath>
#include <new>
#include <type_traits>

LevelMap levelMap;

namespace {

// No map of the game comes near these; larger tables or values are refused
// so that a broken file cannot exhaust memory or push the surface to infinity.
constexpr int32_t kMaxHoleCount = 10000;
constexpr float kMaxHoleValue = 1.0e6f;

const char* const kLevelTextureSuffix = "_0.bmp";

void showError(const std::string& text) { platform->messageBox(text, "error"); }

bool unknownToken(const std::string& fileName, const std::string& token)
{
    showError(fileName + " contains a unknown token " + token);
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
}

bool LevelMap::load(const std::string& fileName, Marble& marble)
{
    releaseLevel();

    TextReader in;
    if (!in.open(fileName)) {
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
        if (isGlide() && !glideAcceptsHoleCount(count)) {
            showError("map files have been altered");
            return false;
        }
        if (count < 0 || count > kMaxHoleCount) {
            showError("out of memory");
            return false;
        }
        // Zeroed: holes that ".data" never fills have radius 0 and count for nothing.
        holes.reset(new (std::nothrow) Hole[size_t(count)]());
        if (!holes) {
            showError("out of memory");
            return false;
        }
        holeCount = count;
        return true;
    }
    if (token == ".data")
        return readHoleTable(in);
    return unknownToken(fileName, token);
}

bool LevelMap::readHoleTable(TextReader& in)
{
    for (int32_t i = 0; i < holeCount; ++i) {
        float values[4];
        for (float& value : values)
            if (!in.readFloat(value) || !(std::fabs(value) <= kMaxHoleValue))
                return false;
        holes[i] = Hole{values[0], values[1], values[2], values[3]};
    }
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
    // All eight images are read before the texture is touched, so a failure
    // leaves the previous level's texture in place.
    for (int level = 0; level < kLevelMipLevels; ++level) {
        std::string levelFile = name + "_" + std::to_string(level) + ".bmp";
        int side = 128 >> level;
        BmpSize size;
        uint8_t* slot = mipImages.get() + size_t(level) * kLevelMipSlotBytes;
        if (!readBmp(levelFile, slot, bmpImageBytes(side, side), &size) || size.width != side ||
            size.height != side) {
            showError(levelFile);
            return false;
        }
    }
    renderer->uploadLevelTexture(mipImages.get());
    return true;
}

bool LevelMap::buildGrid()
{
    bool glide = isGlide();
    auto ensure = [](auto& array) {
        using Element = std::remove_reference_t<decltype(array[0])>;
        if (!array)
            array.reset(new (std::nothrow) Element[kGridVertices]);
        return array != nullptr;
    };
    // Only the arrays of the running program exist.
    if (glide) {
        screenVertices.reset();
        texCoords.reset();
    } else
        glideVertices.reset();
    if (!ensure(vertices) || (glide ? !ensure(glideVertices) : (!ensure(screenVertices) || !ensure(texCoords))))
        return false;

    for (int row = 0; row < kGridRows; ++row) {
        for (int column = 0; column < kGridColumns; ++column) {
            int i = row * kGridColumns + column;
            vertices[i] = Vec3(float(column - 25) * kCellSize, float(row - 200) * kCellSize, 0.0f);
            if (glide) {
                glideVertices[i] = GlideScreenVertex{};
                glideVertices[i].a = 255.0f;
            } else {
                screenVertices[i] = Vec3(0.0f, 0.0f, 0.0f);
                texCoords[i] = Vec3(float(column - 25) * 0.1875f, float(row - 200) * 0.25f, 0.0f);
            }
        }
    }
    return sampleGridHeights();
}
