#pragma once

#include <istream>
#include <string>

// Numbers as C's scanf("%f") and strtof read them, whatever locale the
// process runs in.

// Converts a complete number text: decimal with optional fraction and
// exponent, hexadecimal after 0x, "inf", "infinity" or "nan" (any case, with
// an optional sign). A value too large for a float becomes an infinity, one
// too small the nearest float (zero at the end). False when any part of the
// text is not the number.
bool floatFromText(const std::string& text, float& value);

// Reads one number as scanf("%f") does: skips whitespace, takes the longest
// text that is a number or the start of one, and converts it; that text
// failing to be a whole number fails the read. What follows stays unread.
bool scanFloat(std::istream& in, float& value);
