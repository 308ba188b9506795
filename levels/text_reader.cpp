#include "levels/text_reader.h"

#include "levels/float_scan.h"

#include <limits>

namespace {

int digitValue(int c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return 99;
}

bool isDigit(int c) { return c >= '0' && c <= '9'; }

} // namespace

bool TextReader::open(const std::string& path, size_t limit) { return file_.open(path, limit); }

bool TextReader::close() { return file_.close(); }

int TextReader::peek() { return file_.peek(); }

int TextReader::get() { return file_.get(); }

bool TextReader::atEnd() { return peek() == -1; }

bool TextReader::skipWhitespace()
{
    while (isTextSpace(peek()))
        get();
    return peek() != -1;
}

bool TextReader::readToken(std::string& token)
{
    token.clear();
    tokenTooLong_ = false;
    if (!skipWhitespace())
        return false;
    while (peek() != -1 && !isTextSpace(peek())) {
        int c = get();
        if (token.size() < kMaxTokenLength)
            token.push_back(char(c));
        else
            tokenTooLong_ = true;
    }
    return !tokenTooLong_;
}

bool TextReader::readChar(char& c)
{
    if (!skipWhitespace())
        return false;
    c = char(get());
    return true;
}

bool TextReader::readInteger(bool& negative, uint64_t& magnitude)
{
    negative = false;
    magnitude = 0;
    if (!skipWhitespace())
        return false;
    int used = 0;
    if (peek() == '+' || peek() == '-') {
        negative = get() == '-';
        ++used;
    }
    int base = 10;
    bool haveDigit = false;
    if (used < kMaxIntegerChars && peek() == '0') {
        get();
        ++used;
        haveDigit = true;
        base = 8;
        if (used < kMaxIntegerChars && (peek() == 'x' || peek() == 'X')) {
            get();
            ++used;
            haveDigit = false; // "0x" needs hexadecimal digits after it
            base = 16;
        }
    }
    while (used < kMaxIntegerChars && digitValue(peek()) < base) {
        magnitude = magnitude * base + digitValue(get());
        ++used;
        haveDigit = true;
    }
    return haveDigit;
}

bool TextReader::readInt(int32_t& value)
{
    bool negative;
    uint64_t magnitude;
    if (!readInteger(negative, magnitude))
        return false;
    uint64_t limit = negative ? uint64_t(std::numeric_limits<int32_t>::max()) + 1
                              : std::numeric_limits<int32_t>::max();
    if (magnitude > limit)
        return false;
    value = negative ? int32_t(-int64_t(magnitude)) : int32_t(magnitude);
    return true;
}

bool TextReader::readUnsigned(uint32_t& value)
{
    bool negative;
    uint64_t magnitude;
    if (!readInteger(negative, magnitude) || magnitude > std::numeric_limits<uint32_t>::max())
        return false;
    value = negative ? uint32_t(0u - uint32_t(magnitude)) : uint32_t(magnitude);
    return true;
}

bool TextReader::readFloat(float& value)
{
    if (!skipWhitespace())
        return false;
    std::string text;
    auto takeWhile = [this, &text](auto accept) {
        while (int(text.size()) < kMaxFloatChars && accept(peek()))
            text.push_back(char(get()));
    };
    bool negative = false;
    if (peek() == '+' || peek() == '-') {
        negative = get() == '-';
        text.push_back(negative ? '-' : '+');
    }
    size_t digitsBefore = text.size();
    takeWhile(isDigit);
    size_t mantissaDigits = text.size() - digitsBefore;
    if (int(text.size()) < kMaxFloatChars && peek() == '.') {
        text.push_back(char(get()));
        size_t before = text.size();
        takeWhile(isDigit);
        mantissaDigits += text.size() - before;
    }
    if (mantissaDigits == 0)
        return false;
    if (int(text.size()) < kMaxFloatChars && (peek() == 'e' || peek() == 'E')) {
        text.push_back(char(get()));
        if (int(text.size()) < kMaxFloatChars && (peek() == '+' || peek() == '-'))
            text.push_back(char(get()));
        size_t before = text.size();
        takeWhile(isDigit);
        if (text.size() == before)
            return false;
    }
    lastNumber_ = text;
    return floatFromText(text, value);
}
