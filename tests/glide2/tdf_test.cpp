#include "glide2/glide.h"
#include "glide2/tdf_format.h"
#include "glide2/tdf_reader.h"
#include "tools/tdf/tdf_writer.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

TdfImage pattern(int w, int h, int seed)
{
    TdfImage img;
    img.width = w;
    img.height = h;
    img.rgba.resize(static_cast<std::size_t>(w) * h * 4);
    for (std::size_t i = 0; i < img.rgba.size(); ++i)
        img.rgba[i] = static_cast<std::uint8_t>((i * 37 + seed * 11 + (i >> 7)) & 0xFF);
    return img;
}

std::vector<unsigned char> bytesOf(const std::string& s) { return {s.begin(), s.end()}; }

bool header(const std::string& text, Gu3dfInfo& info)
{
    auto b = bytesOf(text);
    return tdfReadHeader(b.data(), b.size(), &info, nullptr);
}

TEST(TdfTest, RoundTripEveryAspectIn8And16BitFormats)
{
    const int shapes[7][2] = {{256, 32}, {256, 64}, {256, 128}, {256, 256}, {128, 256}, {64, 256}, {32, 256}};
    for (const char* name : {"rgb565", "i8", "argb4444", "ai44"}) {
        const TdfFormat* format = tdfFindFormat(name);
        ASSERT_NE(format, nullptr);
        for (int aspect = 0; aspect < 7; ++aspect) {
            SCOPED_TRACE(std::string(name) + " aspect " + std::to_string(aspect));
            std::vector<TdfImage> levels;
            ASSERT_TRUE(tdfMakeMipChain(pattern(shapes[aspect][0], shapes[aspect][1], aspect), 1, levels));
            ASSERT_EQ(levels.size(), 9u);
            EXPECT_EQ(levels.back().width, 1);
            EXPECT_EQ(levels.back().height, 1);
            std::vector<std::uint8_t> file;
            ASSERT_TRUE(tdfEncode(name, levels, file));

            Gu3dfInfo info{};
            std::size_t headerBytes = 0;
            ASSERT_TRUE(tdfReadHeader(file.data(), file.size(), &info, &headerBytes));
            EXPECT_EQ(info.header.aspect_ratio, aspect);
            EXPECT_EQ(info.header.format, format->code);
            EXPECT_EQ(info.header.large_lod, GR_LOD_256);
            EXPECT_EQ(info.header.small_lod, GR_LOD_1);
            EXPECT_EQ(info.header.width, static_cast<FxU32>(shapes[aspect][0]));
            EXPECT_EQ(info.header.height, static_cast<FxU32>(shapes[aspect][1]));
            EXPECT_EQ(file.size(), headerBytes + info.mem_required);

            std::vector<std::uint8_t> data(info.mem_required);
            info.data = data.data();
            ASSERT_TRUE(tdfReadBody(file.data(), file.size(), &info));
            std::size_t index = 0;
            for (const TdfImage& level : levels) {
                for (int i = 0; i < level.width * level.height; ++i, ++index) {
                    const std::uint8_t* p = &level.rgba[static_cast<std::size_t>(i) * 4];
                    std::uint16_t want = tdfEncodeTexel(format->code, p[0], p[1], p[2], p[3]);
                    std::uint16_t got = format->bytesPerTexel == 2
                                            ? reinterpret_cast<const std::uint16_t*>(data.data())[index]
                                            : data[index];
                    ASSERT_EQ(got, want) << "texel " << index;
                }
            }
        }
    }
}

TEST(TdfTest, SizesHeaderTextAndByteOrder)
{
    struct Case {
        const char* text;
        FxU32 mem;
        FxU32 width, height;
    } cases[] = {
        {"3df v1.1\nrgb565\nlod range: 1 256\naspect ratio: 1 1\n", 174762, 256, 256},
        {"3df v1.0\na8\nlod range: 1 256\naspect ratio: 1 1\n", 87381, 256, 256},
        {"3df v1.4\ni8\nlod range: 1 256\naspect ratio: 2 1\n", 43691, 256, 128},
        {"3df v1.1\nai44\nlod range: 1 256\naspect ratio: 8 1\n", 10927, 256, 32},
        {"3df v1.1\nrgb565\nlod range: 1 64\naspect ratio: 1 1\n", 10922, 64, 64},
        {"3df v1.1\nAI88\nlod range: 0x10 0x40\naspect ratio: 1 4\n", 2 * (16 * 64 + 8 * 32 + 4 * 16), 16, 64},
        {"3df v1.1\r\nrgb565\r\nlod range: 4 4\r\naspect ratio: 1 8\r\n", 2 * 4, 1, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        Gu3dfInfo info{};
        ASSERT_TRUE(header(c.text, info));
        EXPECT_EQ(info.mem_required, c.mem);
        EXPECT_EQ(info.header.width, c.width);
        EXPECT_EQ(info.header.height, c.height);
    }

    std::vector<TdfImage> levels;
    ASSERT_TRUE(tdfMakeMipChain(pattern(256, 256, 1), 1, levels));
    std::vector<std::uint8_t> file;
    ASSERT_TRUE(tdfEncode("rgb565", levels, file));
    EXPECT_EQ(std::string(file.begin(), file.begin() + 51), "3df v1.1\nrgb565\nlod range: 1 256\naspect ratio: 1 1\n");
    EXPECT_EQ(file.size(), 174813u);

    // 16-bit texels are stored most significant byte first: ARGB4444's first byte is A:R.
    TdfImage one;
    one.width = one.height = 1;
    one.rgba = {0x12, 0x34, 0x56, 0xF0};
    ASSERT_TRUE(tdfEncode("argb4444", {one}, file));
    ASSERT_EQ(file.size(), 53u);
    EXPECT_EQ(file[51], 0xF1);
    EXPECT_EQ(file[52], 0x35);
}

TEST(TdfTest, ReaderRefusesBrokenHeadersAndShortData)
{
    const char* bad[] = {
        "3df v1.1\nrgb888\nlod range: 1 256\naspect ratio: 1 1\n",                 // unknown name
        "3df v1.1\nargb8888\nlod range: 1 256\naspect ratio: 1 1\n",               // converter-only format
        "3df v1.1\nrgb565\nlod range: 1 256\naspect ratio: 3 1\n",                 // no such aspect
        "3df v1.1\nrgb565\nlod range: 3 256\naspect ratio: 1 1\n",                 // not a power of two
        "3df v1.1\nrgb565\nlod range: 1 512\naspect ratio: 1 1\n",                 // too large
        "3df v1.1\nrgb565\nlod range: 64 32\naspect ratio: 1 1\n",                 // small above large
        "3df v1.1\n# made by hand\nrgb565\nlod range: 1 256\naspect ratio: 1 1\n", // comment line
        "3df v1.1\nrgb565\nlod range: 1 256\naspect ratio: 1 1",                   // last line unterminated
        "3dg v1.1\nrgb565\nlod range: 1 256\naspect ratio: 1 1\n",                 // wrong magic
        "3df v1.1\nrgb565\nlod range: 1\naspect ratio: 1 1\n",                     // missing number
        "",
    };
    for (const char* text : bad) {
        SCOPED_TRACE(text);
        Gu3dfInfo info{};
        EXPECT_FALSE(header(text, info));
        EXPECT_STRNE(tdfLastProblem(), "");
    }
    Gu3dfInfo unknownFormat{};
    header(bad[0], unknownFormat);
    EXPECT_STREQ(tdfLastProblem(), "its texture format is unknown");
    // The whole header must fit the loader's 100-byte buffer.
    Gu3dfInfo info{};
    EXPECT_FALSE(header("3df v1.1" + std::string(70, ' ') + "\nrgb565\nlod range: 1 1\naspect ratio: 1 1\n", info));

    // Short data fails the load; trailing bytes are ignored.
    std::string head = "3df v1.1\ni8\nlod range: 2 4\naspect ratio: 1 1\n";
    ASSERT_TRUE(header(head, info));
    ASSERT_EQ(info.mem_required, 20u);
    std::vector<std::uint8_t> data(info.mem_required);
    info.data = data.data();
    auto shortFile = bytesOf(head + std::string(19, 'x'));
    EXPECT_FALSE(tdfReadBody(shortFile.data(), shortFile.size(), &info));
    EXPECT_STREQ(tdfLastProblem(), "its texels are cut short");
    auto longFile = bytesOf(head + std::string(25, 'y'));
    EXPECT_TRUE(tdfReadBody(longFile.data(), longFile.size(), &info));
    EXPECT_STREQ(tdfLastProblem(), "");
    EXPECT_EQ(data[19], 'y');

    // A file whose header no longer matches what the buffer was sized for is refused.
    Gu3dfInfo other = info;
    auto bigger = bytesOf("3df v1.1\ni8\nlod range: 2 8\naspect ratio: 1 1\n" + std::string(100, 'z'));
    EXPECT_FALSE(tdfReadBody(bigger.data(), bigger.size(), &other));
    other.data = nullptr;
    EXPECT_FALSE(tdfReadBody(longFile.data(), longFile.size(), &other));
}

TEST(TdfTest, TableFormatsAreReadButNotWritten)
{
    // A palette file: header, 1024 bytes of big-endian entries, one texel per byte.
    std::string text = "3df v1.1\np8\nlod range: 1 1\naspect ratio: 1 1\n";
    std::string table(1024, '\0');
    table[0] = 0x00, table[1] = 0x11, table[2] = 0x22, table[3] = 0x33;
    auto file = bytesOf(text + table + "\x05");
    Gu3dfInfo info{};
    ASSERT_TRUE(tdfReadHeader(file.data(), file.size(), &info, nullptr));
    EXPECT_EQ(info.header.format, GR_TEXFMT_P_8);
    std::uint8_t texel = 0;
    info.data = &texel;
    ASSERT_TRUE(tdfReadBody(file.data(), file.size(), &info));
    EXPECT_EQ(info.table.palette.data[0], 0x00112233u);
    EXPECT_EQ(texel, 5);
    auto cut = bytesOf(text + table.substr(0, 1000));
    EXPECT_FALSE(tdfReadBody(cut.data(), cut.size(), &info));

    std::vector<TdfImage> levels;
    ASSERT_TRUE(tdfMakeMipChain(pattern(4, 4, 0), 4, levels));
    std::vector<std::uint8_t> out;
    for (const char* name : {"p8", "ap88", "yiq", "ayiq8422", "rgb888"})
        EXPECT_FALSE(tdfEncode(name, levels, out)) << name;
}

TEST(TdfTest, WriterMipFilterQuantisationAndRefusals)
{
    TdfImage square;
    square.width = square.height = 2;
    square.rgba = {10, 0, 0, 255, 11, 0, 0, 0, 12, 0, 0, 0, 14, 0, 0, 0};
    std::vector<TdfImage> levels;
    ASSERT_TRUE(tdfMakeMipChain(square, 1, levels));
    ASSERT_EQ(levels.size(), 2u);
    EXPECT_EQ(levels[1].rgba[0], (10 + 11 + 12 + 14 + 2) / 4);
    EXPECT_EQ(levels[1].rgba[3], (255 + 2) / 4);

    TdfImage row;
    row.width = 2;
    row.height = 1;
    row.rgba = {1, 2, 3, 4, 2, 3, 4, 5};
    ASSERT_TRUE(tdfMakeMipChain(row, 1, levels));
    EXPECT_EQ(levels[1].rgba[0], 2); // (1 + 2 + 1) / 2
    EXPECT_EQ(levels[1].rgba[3], 5); // (4 + 5 + 1) / 2

    EXPECT_EQ(tdfEncodeTexel(GR_TEXFMT_INTENSITY_8, 255, 0, 0, 0), 77); // round(0.30 * 255)
    EXPECT_EQ(tdfEncodeTexel(GR_TEXFMT_INTENSITY_8, 100, 100, 100, 0), 100);
    EXPECT_EQ(tdfEncodeTexel(GR_TEXFMT_RGB_565, 0xFF, 0x84, 0x0F, 0), 0xFC21);
    EXPECT_EQ(tdfEncodeTexel(GR_TEXFMT_ARGB_1555, 0x08, 0x10, 0xF8, 1), 0x8000 | (1 << 10) | (2 << 5) | 31);
    EXPECT_EQ(tdfEncodeTexel(GR_TEXFMT_ALPHA_INTENSITY_88, 0, 0, 0, 0x80), 0x8000);

    EXPECT_FALSE(tdfMakeMipChain(pattern(3, 4, 0), 1, levels));     // not a power of two
    EXPECT_FALSE(tdfMakeMipChain(pattern(512, 256, 0), 1, levels)); // too large
    EXPECT_FALSE(tdfMakeMipChain(pattern(256, 16, 0), 1, levels));  // 16:1
    EXPECT_FALSE(tdfMakeMipChain(pattern(64, 64, 0), 128, levels)); // smallest above largest
    EXPECT_FALSE(tdfMakeMipChain(pattern(64, 64, 0), 3, levels));
    TdfImage shortImage = pattern(8, 8, 0);
    shortImage.rgba.resize(10);
    EXPECT_FALSE(tdfMakeMipChain(shortImage, 1, levels));

    // Levels that do not halve each other are refused by the encoder.
    ASSERT_TRUE(tdfMakeMipChain(pattern(8, 8, 0), 2, levels));
    levels.erase(levels.begin() + 1);
    std::vector<std::uint8_t> out;
    EXPECT_FALSE(tdfEncode("rgb565", levels, out));
}

TEST(TdfTest, FilesThroughGuCalls)
{
    std::string path = ::testing::TempDir() + "glide2_tdf_test.3df";
    ASSERT_TRUE(tdfWriteFile(path, "argb1555", pattern(64, 32, 3), 4));
    Gu3dfInfo info{};
    ASSERT_EQ(gu3dfGetInfo(path.c_str(), &info), FXTRUE);
    EXPECT_EQ(info.header.large_lod, GR_LOD_64);
    EXPECT_EQ(info.header.small_lod, GR_LOD_4);
    EXPECT_EQ(info.header.aspect_ratio, GR_ASPECT_2x1);
    EXPECT_EQ(info.mem_required, 2u * (64 * 32 + 32 * 16 + 16 * 8 + 8 * 4 + 4 * 2));
    std::vector<std::uint16_t> data(info.mem_required / 2);
    info.data = data.data();
    ASSERT_EQ(gu3dfLoad(path.c_str(), &info), FXTRUE);
    TdfImage source = pattern(64, 32, 3);
    const std::uint8_t* p = source.rgba.data();
    EXPECT_EQ(data[0], tdfEncodeTexel(GR_TEXFMT_ARGB_1555, p[0], p[1], p[2], p[3]));
    std::remove(path.c_str());
    EXPECT_EQ(gu3dfGetInfo(path.c_str(), &info), FXFALSE);
    EXPECT_EQ(gu3dfLoad(path.c_str(), &info), FXFALSE);
    EXPECT_FALSE(tdfWriteFile("/nonexistent-dir/x.3df", "rgb565", pattern(4, 4, 0), 1));

    // Only a regular file: a folder, a FIFO (never waited on) or a device is no texture.
    std::string folder = ::testing::TempDir() + "glide2_tdf_folder.3df";
    std::string fifo = ::testing::TempDir() + "glide2_tdf_fifo.3df";
    ASSERT_EQ(mkdir(folder.c_str(), 0700), 0);
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& name : {folder, fifo, std::string("/dev/zero")}) {
        EXPECT_EQ(gu3dfGetInfo(name.c_str(), &info), FXFALSE) << name;
        EXPECT_EQ(gu3dfLoad(name.c_str(), &info), FXFALSE) << name;
    }
    rmdir(folder.c_str());
    std::remove(fifo.c_str());
}

} // namespace
