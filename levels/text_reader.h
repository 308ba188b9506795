#pragma once

#include "files/data_file.h"

#include <cstdint>
#include <string>

// Reads the game's text data files (level list, map files, best times, glyph
// tables) as whitespace-separated items:
//   - tokens: whitespace-free, at most kMaxTokenLength characters;
//   - integers: optional sign, then 0x/0X and hexadecimal digits, a leading 0
//     and octal digits, or decimal digits; at most kMaxIntegerChars characters
//     are read, and the number ends at the first character that cannot
//     continue it (that character starts the next item);
//   - floats: optional sign, decimal digits with optional fraction and
//     exponent (e or E), at most kMaxFloatChars characters; a value too large
//     for a float reads as an infinity, one too small as the nearest float.
// Every read first skips whitespace. A failed read leaves the reader at an
// unspecified place; callers give up on the file then.
class TextReader {
public:
    static constexpr size_t kMaxTokenLength = 255;
    static constexpr int kMaxIntegerChars = 15;
    static constexpr int kMaxFloatChars = 19;

    TextReader() = default;
    ~TextReader() { close(); }
    TextReader(const TextReader&) = delete;
    TextReader& operator=(const TextReader&) = delete;

    // Opens an existing regular file for reading, of which at most limit
    // bytes are read; nothing is created.
    bool open(const std::string& path, size_t limit);
    // False when closing reports an error.
    bool close();

    // False at the end of the file, and for a token longer than
    // kMaxTokenLength (tokenTooLong() tells; token then holds its start).
    bool readToken(std::string& token);
    bool tokenTooLong() const { return tokenTooLong_; }

    // False when no number can be read there or it does not fit the type. An
    // unsigned value may carry a minus sign and then wraps around.
    bool readInt(int32_t& value);
    bool readUnsigned(uint32_t& value);
    bool readFloat(float& value);
    // The text of the last float read, as it stood in the file.
    const std::string& lastNumber() const { return lastNumber_; }
    // The next non-whitespace character.
    bool readChar(char& c);

    // True when nothing at all, not even whitespace, follows the last item read.
    bool atEnd();

private:
    int peek();
    int get();
    bool skipWhitespace();
    bool readInteger(bool& negative, uint64_t& magnitude);

    DataFile file_;
    bool tokenTooLong_ = false;
    std::string lastNumber_;
};

// The whitespace of the data files: blank, tab, line feed, vertical tab, form
// feed, carriage return.
inline bool isTextSpace(int c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
