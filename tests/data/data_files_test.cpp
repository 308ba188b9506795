// The generated data folders hold what the game reads, in the forms it reads.
#include "files/bmp.h"
#include "game/edition.h"
#include "glide2/tdf_reader.h"
#include "levels/level_list.h"
#include "levels/level_map.h"
#include "recording_renderer.h"
#include "scripted_platform.h"
#include "sim/marble.h"
#include "tools/datagen/glyph_raster.h"
#include "tools/datagen/picture_text.h"

#include <gtest/gtest.h>

#include <array>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

const fs::path kData = ORBIVALE_DATA_DIR;

std::vector<uint8_t> readBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

uint32_t le32(const std::vector<uint8_t>& b, size_t at)
{
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | uint32_t(b[at + 3]) << 24;
}
uint32_t le16(const std::vector<uint8_t>& b, size_t at) { return b[at] | b[at + 1] << 8; }

// A picture as the game reads it: rows bottom first, red-green-blue.
std::vector<uint8_t> readPicture(const fs::path& path, int side)
{
    std::vector<uint8_t> pixels(bmpImageBytes(side, side));
    BmpSize size;
    EXPECT_TRUE(readBmp(path.string(), pixels.data(), pixels.size(), &size)) << path;
    EXPECT_EQ(size.width, side);
    EXPECT_EQ(size.height, side);
    return pixels;
}

// Header fields and the exact size of a packed 24-bit file.
void expectBmpHeader(const fs::path& path, int width, int height)
{
    std::vector<uint8_t> b = readBytes(path);
    ASSERT_EQ(b.size(), 54u + size_t(width) * height * 3) << path;
    EXPECT_EQ(b[0], 'B');
    EXPECT_EQ(b[1], 'M');
    EXPECT_EQ(le32(b, 10), 54u);
    EXPECT_EQ(le32(b, 14), 40u);
    EXPECT_EQ(int32_t(le32(b, 18)), width);
    EXPECT_EQ(int32_t(le32(b, 22)), height); // positive: bottom row first
    EXPECT_EQ(le16(b, 28), 24u);
    EXPECT_EQ(le32(b, 30), 0u);
}

// Each mipmap level is the rounded 2x2 mean of the one above.
void expectMipChain(const std::string& base, int topSide, int levels)
{
    std::vector<uint8_t> above = readPicture(base + "_0.bmp", topSide);
    for (int level = 1; level < levels; ++level) {
        int side = topSide >> level;
        expectBmpHeader(base + "_" + std::to_string(level) + ".bmp", side, side);
        std::vector<uint8_t> pixels = readPicture(base + "_" + std::to_string(level) + ".bmp", side);
        int big = side * 2;
        for (int y = 0; y < side; ++y)
            for (int x = 0; x < side; ++x)
                for (int c = 0; c < 3; ++c) {
                    auto at = [&](int xx, int yy) { return above[(size_t(yy) * big + xx) * 3 + c]; };
                    int mean = (at(2 * x, 2 * y) + at(2 * x + 1, 2 * y) + at(2 * x, 2 * y + 1) +
                                at(2 * x + 1, 2 * y + 1) + 2) /
                               4;
                    ASSERT_EQ(pixels[(size_t(y) * side + x) * 3 + c], mean) << base << " level " << level;
                }
        above = pixels;
    }
}

class InDataFolder : public ::testing::Test {
protected:
    void enter(Edition which)
    {
        edition = which;
        previous = fs::current_path();
        fs::current_path(kData / (which == Edition::Gl ? "gl" : "glide"));
        platform = &scripted;
        renderer = &recorder;
    }
    void TearDown() override
    {
        if (!previous.empty())
            fs::current_path(previous);
        platform = nullptr;
        renderer = nullptr;
        edition = Edition::Gl;
    }
    fs::path previous;
    ScriptedPlatform scripted;
    RecordingRenderer recorder;
    LevelMap level;
    Marble marble;
};

} // namespace

TEST_F(InDataFolder, EveryGlLevelLoadsThroughTheGame)
{
    enter(Edition::Gl);
    ASSERT_TRUE(loadLevelList());
    EXPECT_GE(levelCount, 6);
    std::map<uint32_t, int> fogColours;
    for (const std::string& name : levelNames) {
        EXPECT_TRUE(level.load(name, marble)) << name;
        EXPECT_GT(level.holeCount, 0) << name;
        ++fogColours[level.getFogColour()];
    }
    EXPECT_TRUE(scripted.messages.empty()) << scripted.messages.front();
    EXPECT_EQ(int(fogColours.size()), levelCount) << "each level has its own fog";
}

TEST_F(InDataFolder, EveryGlideLevelLoadsWithAKnownHoleCountAndOneTextureShape)
{
    enter(Edition::Glide);
    ASSERT_TRUE(loadLevelList());
    ASSERT_EQ(levelCount, 3);
    const int counts[] = {58, 62, 70};
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(level.load(levelNames[i], marble)) << levelNames[i];
        EXPECT_EQ(level.holeCount, counts[i]);
    }
    EXPECT_TRUE(scripted.messages.empty());
    // Every level texture is 128 x 128 rgb565 with all eight levels, so the
    // texture memory reserved for the first fits every later one.
    int textures = 0;
    for (const fs::path& file : fs::directory_iterator("maps")) {
        if (file.extension() != ".3df")
            continue;
        ++textures;
        std::vector<uint8_t> bytes = readBytes(file);
        Gu3dfInfo info{};
        size_t headerBytes = 0;
        ASSERT_TRUE(tdfReadHeader(bytes.data(), bytes.size(), &info, &headerBytes)) << file;
        EXPECT_EQ(info.header.width, 128u);
        EXPECT_EQ(info.header.height, 128u);
        EXPECT_EQ(info.header.format, GR_TEXFMT_RGB_565);
        EXPECT_EQ(info.header.large_lod, GR_LOD_128);
        EXPECT_EQ(info.header.small_lod, GR_LOD_1);
        EXPECT_EQ(info.header.aspect_ratio, GR_ASPECT_1x1);
        std::vector<uint8_t> texels(info.mem_required);
        info.data = texels.data();
        EXPECT_TRUE(tdfReadBody(bytes.data(), bytes.size(), &info)) << file;
        EXPECT_EQ(bytes.size(), headerBytes + info.mem_required);
    }
    EXPECT_EQ(textures, 3);
}

TEST(GeneratedFiles, LevelTexturesAreMipChainsThatTileWithoutSeams)
{
    for (const char* base : {"grass", "sand", "stone", "ice", "metal", "lava"}) {
        SCOPED_TRACE(base);
        std::string path = (kData / "gl" / "maps" / base).string();
        expectBmpHeader(path + "_0.bmp", 128, 128);
        expectMipChain(path, 128, 8);
        std::vector<uint8_t> p = readPicture(path + "_0.bmp", 128);
        auto step = [&](int x0, int y0, int x1, int y1) {
            double sum = 0;
            for (int c = 0; c < 3; ++c)
                sum += std::abs(p[(size_t(y0) * 128 + x0) * 3 + c] - p[(size_t(y1) * 128 + x1) * 3 + c]);
            return sum;
        };
        // The step across the wrap-around edge is no bigger than the biggest
        // step between neighbouring columns (rows) inside the picture.
        double worstX = 0, worstY = 0, acrossX = 0, acrossY = 0, insideX = 0, insideY = 0;
        for (int k = 0; k < 127; ++k) {
            double columns = 0, rows = 0;
            for (int i = 0; i < 128; ++i) {
                columns += step(k, i, k + 1, i);
                rows += step(i, k, i, k + 1);
            }
            worstX = std::max(worstX, columns);
            worstY = std::max(worstY, rows);
            insideX += columns / 127;
            insideY += rows / 127;
        }
        for (int i = 0; i < 128; ++i) {
            acrossX += step(127, i, 0, i);
            acrossY += step(i, 127, i, 0);
        }
        EXPECT_LE(acrossX, worstX);
        EXPECT_LE(acrossY, worstY);
        EXPECT_GT(insideX + insideY, 128 * 4.0) << "a texture with some detail";
    }
}

TEST(GeneratedFiles, PicturesAre640By480AndNotBlank)
{
    for (const char* name : {"gl/graphics/title.bmp", "gl/graphics/back.bmp", "glide/graphics/title.bmp",
                             "glide/graphics/back.bmp", "glide/graphics/nag.bmp"}) {
        SCOPED_TRACE(name);
        expectBmpHeader(kData / name, 640, 480);
        std::vector<uint8_t> pixels(921600);
        BmpSize size;
        ASSERT_TRUE(readBmp((kData / name).string(), pixels.data(), pixels.size(), &size));
        double mean = 0, var = 0;
        for (uint8_t v : pixels)
            mean += v;
        mean /= pixels.size();
        for (uint8_t v : pixels)
            var += (v - mean) * (v - mean);
        EXPECT_GT(std::sqrt(var / pixels.size()), 10.0);
    }
    EXPECT_FALSE(fs::exists(kData / "gl/graphics/nag.bmp"));
}

// Each title says what to press, in the game's lettering: every pixel the
// prompt's letters cover fully is the prompt's white in the written picture.
TEST(GeneratedFiles, EachTitleCarriesItsPromptInPlainSight)
{
    for (bool glide : {false, true}) {
        const PictureText prompt = titlePrompt(glide);
        SCOPED_TRACE(prompt.text);
        std::vector<uint8_t> pixels(921600); // bottom row first
        BmpSize size;
        ASSERT_TRUE(readBmp((kData / (glide ? "glide" : "gl") / "graphics/title.bmp").string(), pixels.data(),
                            pixels.size(), &size));
        GlyphRaster raster(fontFilePath(prompt.bold), prompt.pixelSize);
        ASSERT_TRUE(raster.ok());
        int baseline = 0;
        Coverage ink = raster.renderLine(prompt.text, baseline);
        const int x0 = prompt.centreX - ink.width / 2;
        ASSERT_GE(x0, 0);
        ASSERT_LE(x0 + ink.width, 640);
        ASSERT_LE(prompt.top + ink.height, 480);
        int covered = 0, white = 0;
        for (int y = 0; y < ink.height; ++y)
            for (int x = 0; x < ink.width; ++x) {
                if (ink.at(x, y) < 250)
                    continue;
                const uint8_t* p = &pixels[(size_t(479 - prompt.top - y) * 640 + x0 + x) * 3];
                ++covered;
                white += p[0] >= 235 && p[1] >= 235 && p[2] >= 235;
            }
        EXPECT_GT(covered, 400);
        EXPECT_GE(white, covered * 97 / 100);
    }
}

namespace {

struct FontTable {
    int first = -1, last = -1;
    std::map<char, std::array<int, 4>> boxes; // left, top, right, bottom
};

// Reads a glyph table as the game does; false when a number or character is missing.
bool parseFontTable(const std::string& text, FontTable& table)
{
    std::istringstream in(text);
    if (!(in >> table.first >> table.last))
        return false;
    char c;
    while (in >> c) {
        std::array<int, 4> box;
        if (!(in >> box[0] >> box[1] >> box[2] >> box[3]))
            return false;
        table.boxes[c] = box;
    }
    return true;
}

} // namespace

TEST(GeneratedFiles, FontTableCoversTheTextAndMatchesItsImages)
{
    std::vector<uint8_t> bytes = readBytes(kData / "gl/graphics/font/font.dat");
    std::string text(bytes.begin(), bytes.end());
    ASSERT_FALSE(text.empty());
    EXPECT_TRUE(std::isdigit(static_cast<unsigned char>(text.back()))) << "ends right after the last number";
    FontTable table;
    ASSERT_TRUE(parseFontTable(text, table));
    EXPECT_EQ(table.first, '!');
    std::string required = "!\"-.:<>_()/,'";
    for (char c = 'A'; c <= 'Z'; ++c)
        required += c;
    for (char c = 'a'; c <= 'z'; ++c)
        required += c;
    for (char c = '0'; c <= '9'; ++c)
        required += c;
    for (char c : required) {
        ASSERT_TRUE(table.boxes.count(c)) << c;
        EXPECT_GE(c, table.first);
        EXPECT_LE(c, table.last);
    }
    // The line height is the height of "!": 33, so the scale 13/33 gives 13-pixel lines.
    const auto& bang = table.boxes['!'];
    EXPECT_EQ(bang[3] - bang[1], 33);

    // Every box lies in the 256 x 256 image, boxes do not overlap, each
    // holds ink, and there is no ink outside the boxes.
    std::vector<uint8_t> image = readPicture(kData / "gl/graphics/font/font_0.bmp", 256);
    auto ink = [&](int x, int y) { return image[(size_t(255 - y) * 256 + x) * 3]; }; // rows stored bottom first
    std::vector<int> owner(256 * 256, 0);
    for (const auto& [c, box] : table.boxes) {
        ASSERT_TRUE(box[0] >= 0 && box[1] >= 0 && box[2] <= 256 && box[3] <= 256 && box[0] < box[2] && box[1] < box[3])
            << c;
        int total = 0;
        for (int y = box[1]; y < box[3]; ++y)
            for (int x = box[0]; x < box[2]; ++x) {
                EXPECT_EQ(owner[y * 256 + x]++, 0) << "boxes overlap at " << c;
                total += ink(x, y);
            }
        EXPECT_GT(total, 0) << c << " has no ink";
    }
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x)
            if (!owner[y * 256 + x]) {
                ASSERT_EQ(ink(x, y), 0) << x << "," << y;
            }
    // Antialiased: grey edge texels, not only black and white.
    int grey = 0;
    for (size_t i = 0; i < image.size(); i += 3)
        grey += image[i] > 0 && image[i] < 255;
    EXPECT_GT(grey, 1000);
    expectMipChain((kData / "gl/graphics/font/font").string(), 256, 9);

    // orbivale-glide: the same table, and the coverage in the alpha of its texture.
    std::vector<uint8_t> glideTable = readBytes(kData / "glide/misc/newFont.dat");
    EXPECT_EQ(std::string(glideTable.begin(), glideTable.end()), text);
    std::vector<uint8_t> tdf = readBytes(kData / "glide/graphics/newFont.3df");
    Gu3dfInfo info{};
    size_t headerBytes = 0;
    ASSERT_TRUE(tdfReadHeader(tdf.data(), tdf.size(), &info, &headerBytes));
    EXPECT_EQ(info.header.format, GR_TEXFMT_ALPHA_INTENSITY_88);
    EXPECT_EQ(info.header.width, 256u);
    std::vector<uint16_t> texels(info.mem_required / 2);
    info.data = texels.data();
    ASSERT_TRUE(tdfReadBody(tdf.data(), tdf.size(), &info));
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x)
            ASSERT_EQ(texels[y * 256 + x] >> 8, ink(x, y)) << x << "," << y;
}
