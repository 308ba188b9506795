#include "bmp_writer.h"
#include "files/bmp.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>
#include <vector>

namespace {

// Distinct bytes so that any misplaced row or unswapped pixel shows.
std::vector<uint8_t> countingRows(int width, int height)
{
    std::vector<uint8_t> rows(bmpImageBytes(width, height));
    for (size_t i = 0; i < rows.size(); ++i)
        rows[i] = uint8_t(i * 7 + 1);
    return rows;
}

TEST(ReadBmpTest, ReadsPackedRowsFromByte54AndSwapsToRgb)
{
    TempDir dir;
    std::vector<uint8_t> rows = countingRows(4, 2);
    std::vector<uint8_t> file = makeBmp(4, 2, rows);
    file[10] = 0x36; // a pixel offset far beyond the headers: not looked at
    file[11] = 0x04;
    std::string path = dir.write("a.bmp", file);

    std::vector<uint8_t> buffer(64, 0xAA);
    BmpSize size;
    ASSERT_TRUE(readBmp(path, buffer.data(), buffer.size(), &size));
    EXPECT_EQ(size.width, 4);
    EXPECT_EQ(size.height, 2);
    for (size_t p = 0; p < rows.size(); p += 3) {
        EXPECT_EQ(buffer[p], rows[p + 2]);
        EXPECT_EQ(buffer[p + 1], rows[p + 1]);
        EXPECT_EQ(buffer[p + 2], rows[p]);
    }
    EXPECT_EQ(buffer[rows.size()], 0xAA) << "nothing written past the picture";

    // A file whose pixels start later still has them read from byte 54 on:
    // the gap's bytes land in the first pixels.
    std::string gapped = dir.write("b.bmp", makeBmp(4, 2, rows, 24, 6));
    ASSERT_TRUE(readBmp(gapped, buffer.data(), buffer.size()));
    EXPECT_EQ(buffer[0], 0xEE);
    EXPECT_EQ(buffer[6], rows[2]);
}

TEST(ReadBmpTest, NarrowImagesArePackedToo)
{
    TempDir dir;
    // 2 x 2: rows of 6 bytes, the second right after the first.
    std::vector<uint8_t> rows = {1, 2, 3, 4, 5, 6, 11, 12, 13, 14, 15, 16};
    std::string path = dir.write("n.bmp", makeBmp(2, 2, rows));
    std::vector<uint8_t> buffer(16, 0xAA);
    ASSERT_TRUE(readBmp(path, buffer.data(), buffer.size()));
    std::vector<uint8_t> expected = {3, 2, 1, 6, 5, 4, 13, 12, 11, 16, 15, 14, 0xAA, 0xAA, 0xAA, 0xAA};
    EXPECT_EQ(buffer, expected);

    std::string one = dir.write("o.bmp", makeBmp(1, 1, {9, 8, 7}));
    EXPECT_FALSE(readBmp(one, buffer.data(), 2));
    ASSERT_TRUE(readBmp(one, buffer.data(), 3));
    EXPECT_EQ(buffer[0], 7);
    EXPECT_EQ(buffer[2], 9);
}

TEST(ReadBmpTest, RefusesPicturesLargerThanTheBufferWithoutWriting)
{
    TempDir dir;
    std::string path = dir.write("big.bmp", makeBmp(128, 128, solidRows(128, 128, 1, 2, 3)));
    std::vector<uint8_t> buffer(128 * 128 * 3, 0xAA);
    EXPECT_FALSE(readBmp(path, buffer.data(), buffer.size() - 1));
    EXPECT_EQ(buffer[0], 0xAA);
    EXPECT_TRUE(readBmp(path, buffer.data(), buffer.size()));
    EXPECT_EQ(buffer[0], 3);
}

TEST(ReadBmpTest, RefusesBadHeadersAndShortFiles)
{
    TempDir dir;
    std::vector<uint8_t> buffer(4096);
    std::vector<uint8_t> rows = solidRows(4, 4, 1, 2, 3);

    EXPECT_FALSE(readBmp(dir.path("missing.bmp"), buffer.data(), buffer.size()));
    // Only regular files: a folder, a FIFO (not waited on) and a device.
    std::filesystem::create_directory(dir.path("folder.bmp"));
    ASSERT_EQ(mkfifo(dir.path("fifo.bmp").c_str(), 0600), 0);
    for (std::string name : {dir.path("folder.bmp"), dir.path("fifo.bmp"), std::string("/dev/zero")})
        EXPECT_FALSE(readBmp(name, buffer.data(), buffer.size())) << name;
    // Top row first (negative height), no width, huge sides whose product
    // would wrap, and depths other than 24 bits.
    EXPECT_FALSE(readBmp(dir.write("neg.bmp", makeBmp(4, -4, rows)), buffer.data(), buffer.size()));
    EXPECT_FALSE(readBmp(dir.write("zero.bmp", makeBmp(0, 4, rows)), buffer.data(), buffer.size()));
    EXPECT_FALSE(readBmp(dir.write("wide.bmp", makeBmp(0x7fffffff, 0x7fffffff, rows)), buffer.data(), buffer.size()));
    EXPECT_FALSE(readBmp(dir.write("d32.bmp", makeBmp(4, 4, rows, 32)), buffer.data(), buffer.size()));
    EXPECT_FALSE(readBmp(dir.write("d0.bmp", makeBmp(4, 4, rows, 0)), buffer.data(), buffer.size()));

    // One pixel byte short, and a file that ends inside the headers.
    std::vector<uint8_t> whole = makeBmp(4, 4, rows);
    std::vector<uint8_t> cut(whole.begin(), whole.end() - 1);
    EXPECT_FALSE(readBmp(dir.write("cut.bmp", cut), buffer.data(), buffer.size()));
    std::vector<uint8_t> stub(whole.begin(), whole.begin() + 30);
    EXPECT_FALSE(readBmp(dir.write("stub.bmp", stub), buffer.data(), buffer.size()));
    EXPECT_TRUE(readBmp(dir.write("ok.bmp", whole), buffer.data(), buffer.size()));
}

} // namespace
