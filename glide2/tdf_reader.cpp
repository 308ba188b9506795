#include "glide2/tdf_reader.h"

#include "glide2/tdf_format.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

// The loader reads exactly four lines with room for 100 bytes in all.
constexpr std::size_t headerCapacity = 100;
// The largest texture the card takes, 256 x 256 texels of two bytes with all
// its mipmap levels and a palette, is about 176 KB.
constexpr std::size_t fileLimit = std::size_t(4) << 20;

struct Scanner {
    const char* p;
    const char* end;

    void skipSpace()
    {
        while (p < end && std::isspace(static_cast<unsigned char>(*p)))
            ++p;
    }
    // A literal word: leading white space is skipped as a scanf pattern would.
    bool literal(const char* text)
    {
        skipSpace();
        std::size_t n = std::strlen(text);
        if (static_cast<std::size_t>(end - p) < n || std::memcmp(p, text, n) != 0)
            return false;
        p += n;
        return true;
    }
    bool word(std::string& out)
    {
        skipSpace();
        const char* start = p;
        while (p < end && !std::isspace(static_cast<unsigned char>(*p)))
            ++p;
        out.assign(start, p);
        return !out.empty();
    }
    // A C integer: optional sign, then 0x hex, leading-0 octal or decimal.
    bool integer(long& out)
    {
        skipSpace();
        bool negative = false;
        if (p < end && (*p == '+' || *p == '-'))
            negative = *p++ == '-';
        int base = 10;
        if (p < end && *p == '0') {
            base = 8;
            if (end - p >= 3 && (p[1] == 'x' || p[1] == 'X') && std::isxdigit(static_cast<unsigned char>(p[2]))) {
                base = 16;
                p += 2;
            }
        }
        long value = 0;
        int digits = 0;
        while (p < end) {
            int d;
            char c = static_cast<char>(std::tolower(static_cast<unsigned char>(*p)));
            if (c >= '0' && c <= '9')
                d = c - '0';
            else if (c >= 'a' && c <= 'f')
                d = c - 'a' + 10;
            else
                break;
            if (d >= base)
                break;
            if (value < 100000000)
                value = value * base + d;
            ++digits;
            ++p;
        }
        out = negative ? -value : value;
        return digits > 0;
    }
};

int lodForSize(long size)
{
    if (size < 1 || size > 256)
        return -1;
    return tdfLodForSize(static_cast<int>(size));
}

std::uint32_t readBigEndian(const unsigned char* p, int bytes)
{
    std::uint32_t v = 0;
    for (int i = 0; i < bytes; ++i)
        v = (v << 8) | p[i];
    return v;
}

// Only a regular file is read: opened without blocking (a FIFO would wait for
// a writer), and no further than its size and limit (a device never ends).
bool readFile(const char* path, std::vector<unsigned char>& bytes, std::size_t limit)
{
    if (!path)
        return false;
    int fd = ::open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return false;
    struct stat info;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size < 0) {
        ::close(fd);
        return false;
    }
    bytes.resize(std::min(static_cast<std::size_t>(info.st_size), limit));
    std::size_t done = 0;
    bool ok = true;
    while (done < bytes.size()) {
        ssize_t n = ::read(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            ok = n == 0; // a file cut short while read ends there
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    bytes.resize(done);
    return ::close(fd) == 0 && ok;
}

} // namespace

namespace {

thread_local const char* lastProblem = "";

bool fail(const char* problem)
{
    lastProblem = problem;
    return false;
}

} // namespace

const char* tdfLastProblem() { return lastProblem; }

bool tdfReadHeader(const unsigned char* bytes, std::size_t size, Gu3dfInfo* info, std::size_t* headerBytes)
{
    if (!bytes || !info)
        return false;
    // Four lines, each ending in LF, together shorter than the loader's buffer.
    std::size_t pos = 0;
    for (int line = 0; line < 4; ++line) {
        while (pos < size && bytes[pos] != '\n')
            ++pos;
        if (pos >= size || pos + 1 >= headerCapacity)
            return fail("its header is not four short lines");
        ++pos;
    }
    if (size == 0 || bytes[0] != '3')
        return fail("it does not start with \"3df\"");
    Scanner s{reinterpret_cast<const char*>(bytes), reinterpret_cast<const char*>(bytes) + pos};
    std::string version, name;
    long smallSize, largeSize, aspectW, aspectH;
    if (!s.literal("3df") || !s.literal("v") || !s.word(version) || !s.word(name) || !s.literal("lod") ||
        !s.literal("range:") || !s.integer(smallSize) || !s.integer(largeSize) || !s.literal("aspect") ||
        !s.literal("ratio:") || !s.integer(aspectW) || !s.integer(aspectH))
        return fail("its header is not a .3df header");
    // The version token runs up to white space, so "3df v1.1" gives "1.1"; a
    // missing one would swallow the format name.
    const TdfFormat* format = tdfFindFormat(name);
    int smallLod = lodForSize(smallSize);
    int largeLod = lodForSize(largeSize);
    int aspect = (aspectW >= 1 && aspectW <= 8 && aspectH >= 1 && aspectH <= 8)
                     ? tdfAspectCode(static_cast<int>(aspectW), static_cast<int>(aspectH))
                     : -1;
    if (!format)
        return fail("its texture format is unknown");
    if (smallLod < 0 || largeLod < 0 || smallLod < largeLod || aspect < 0)
        return fail("its sizes or aspect ratio are not the card's");
    int w, h;
    tdfLevelSize(largeLod, aspect, w, h);
    info->header.width = static_cast<FxU32>(w);
    info->header.height = static_cast<FxU32>(h);
    info->header.small_lod = smallLod;
    info->header.large_lod = largeLod;
    info->header.aspect_ratio = aspect;
    info->header.format = format->code;
    info->mem_required = tdfTexelCount(smallLod, largeLod, aspect) * static_cast<FxU32>(format->bytesPerTexel);
    if (headerBytes)
        *headerBytes = pos;
    lastProblem = "";
    return true;
}

bool tdfReadBody(const unsigned char* bytes, std::size_t size, Gu3dfInfo* info)
{
    Gu3dfInfo fromFile{};
    std::size_t pos = 0;
    if (!info || !info->data || !tdfReadHeader(bytes, size, &fromFile, &pos))
        return false;
    // The caller sized info->data from info->header; a file that says
    // otherwise would overrun it.
    const Gu3dfHeader& a = fromFile.header;
    const Gu3dfHeader& b = info->header;
    if (a.small_lod != b.small_lod || a.large_lod != b.large_lod || a.aspect_ratio != b.aspect_ratio ||
        a.format != b.format || fromFile.mem_required != info->mem_required)
        return fail("its header changed since it was first read");
    const TdfFormat* format = tdfFormatByCode(a.format);
    if (size - pos < static_cast<std::size_t>(format->tableBytes))
        return fail("its colour table is cut short");
    const unsigned char* p = bytes + pos;
    if (format->tableBytes == 1024) {
        for (int i = 0; i < 256; ++i)
            info->table.palette.data[i] = readBigEndian(p + 4 * i, 4);
    } else if (format->tableBytes == 80) {
        GuNccTable& ncc = info->table.nccTable;
        for (int i = 0; i < 16; ++i)
            ncc.yRGB[i] = static_cast<FxU8>(readBigEndian(p + 2 * i, 2) & 0xFF);
        for (int i = 0; i < 12; ++i) {
            ncc.iRGB[i / 3][i % 3] = static_cast<FxI16>(readBigEndian(p + 32 + 2 * i, 2) & 0x1FF);
            ncc.qRGB[i / 3][i % 3] = static_cast<FxI16>(readBigEndian(p + 56 + 2 * i, 2) & 0x1FF);
        }
        for (int i = 0; i < 4; ++i)
            ncc.packed_data[i] = static_cast<FxU32>(ncc.yRGB[4 * i]) | (static_cast<FxU32>(ncc.yRGB[4 * i + 1]) << 8) |
                                 (static_cast<FxU32>(ncc.yRGB[4 * i + 2]) << 16) |
                                 (static_cast<FxU32>(ncc.yRGB[4 * i + 3]) << 24);
        for (int i = 0; i < 4; ++i) {
            auto pack = [](const FxI16* c) {
                return (static_cast<FxU32>(c[0] & 0x1FF) << 18) | (static_cast<FxU32>(c[1] & 0x1FF) << 9) |
                       static_cast<FxU32>(c[2] & 0x1FF);
            };
            ncc.packed_data[4 + i] = pack(ncc.iRGB[i]);
            ncc.packed_data[8 + i] = pack(ncc.qRGB[i]);
        }
    }
    p += format->tableBytes;
    std::size_t available = size - pos - format->tableBytes;
    if (available < info->mem_required)
        return fail("its texels are cut short");
    if (format->bytesPerTexel == 1) {
        std::memcpy(info->data, p, info->mem_required);
    } else {
        FxU16* out = static_cast<FxU16*>(info->data);
        for (FxU32 i = 0; i < info->mem_required / 2; ++i)
            out[i] = static_cast<FxU16>((p[2 * i] << 8) | p[2 * i + 1]);
    }
    return true;
}

FxBool gu3dfGetInfo(const char* filename, Gu3dfInfo* info)
{
    if (!info || !filename)
        return FXFALSE;
    // Only the header is needed; it is shorter than 100 bytes.
    std::vector<unsigned char> head;
    if (!readFile(filename, head, headerCapacity)) {
        fail("it is missing, not a regular file, or cannot be read");
        return FXFALSE;
    }
    return tdfReadHeader(head.data(), head.size(), info, nullptr) ? FXTRUE : FXFALSE;
}

FxBool gu3dfLoad(const char* filename, Gu3dfInfo* info)
{
    std::vector<unsigned char> bytes;
    if (!info || !readFile(filename, bytes, fileLimit)) {
        fail("it is missing, not a regular file, or cannot be read");
        return FXFALSE;
    }
    return tdfReadBody(bytes.data(), bytes.size(), info) ? FXTRUE : FXFALSE;
}
