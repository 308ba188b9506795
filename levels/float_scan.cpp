#include "levels/float_scan.h"

#include <cctype>
#include <clocale>
#include <cstdlib>
#include <locale.h>
#include <string_view>

namespace {

// Longer numbers are refused rather than gathered without end.
constexpr size_t kMaxNumberText = 512;

locale_t cLocale()
{
    static locale_t c = newlocale(LC_ALL_MASK, "C", locale_t(0));
    return c;
}

bool prefixOfWord(std::string_view text, std::string_view word)
{
    if (text.size() > word.size())
        return false;
    for (size_t i = 0; i < text.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(text[i])) != word[i])
            return false;
    return true;
}

// True when text is the start of some number scanf("%f") accepts.
bool startsAFloat(std::string_view text)
{
    if (!text.empty() && (text[0] == '+' || text[0] == '-'))
        text.remove_prefix(1);
    if (text.empty())
        return true;
    char first = char(std::tolower(static_cast<unsigned char>(text[0])));
    if (first == 'i')
        return prefixOfWord(text, "infinity");
    if (first == 'n') {
        if (text.size() <= 3)
            return prefixOfWord(text, "nan");
        if (!prefixOfWord(text.substr(0, 3), "nan") || text[3] != '(')
            return false;
        for (size_t i = 4; i < text.size(); ++i) {
            unsigned char c = static_cast<unsigned char>(text[i]);
            if (c == ')')
                return i + 1 == text.size();
            if (!std::isalnum(c) && c != '_')
                return false;
        }
        return true;
    }
    bool hex = text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    if (hex)
        text.remove_prefix(2);
    auto isDigit = [hex](char c) {
        return hex ? std::isxdigit(static_cast<unsigned char>(c)) != 0 : (c >= '0' && c <= '9');
    };
    size_t i = 0;
    size_t mantissaDigits = 0;
    for (; i < text.size() && isDigit(text[i]); ++i)
        ++mantissaDigits;
    if (i < text.size() && text[i] == '.')
        for (++i; i < text.size() && isDigit(text[i]); ++i)
            ++mantissaDigits;
    if (i == text.size())
        return true;
    char exponent = char(std::tolower(static_cast<unsigned char>(text[i])));
    if (exponent != (hex ? 'p' : 'e') || mantissaDigits == 0)
        return false;
    ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        ++i;
    for (; i < text.size(); ++i)
        if (text[i] < '0' || text[i] > '9')
            return false;
    return true;
}

} // namespace

bool floatFromText(const std::string& text, float& value)
{
    if (text.empty() || std::isspace(static_cast<unsigned char>(text[0])))
        return false;
    char* end = nullptr;
    float parsed = strtof_l(text.c_str(), &end, cLocale());
    if (end != text.c_str() + text.size())
        return false;
    value = parsed;
    return true;
}

bool scanFloat(std::istream& in, float& value)
{
    in >> std::ws;
    std::string text;
    for (;;) {
        int c = in.peek();
        if (c == std::char_traits<char>::eof() || text.size() >= kMaxNumberText)
            break;
        text.push_back(char(c));
        if (!startsAFloat(text)) {
            text.pop_back();
            break;
        }
        in.get();
    }
    in.clear(in.rdstate() & ~std::ios::failbit & ~std::ios::eofbit);
    if (!floatFromText(text, value)) {
        in.setstate(std::ios::failbit);
        return false;
    }
    return true;
}
