#pragma once

// Text primitives every layer needs: numbers as the stored texts write them,
// ASCII case and blanks, two-digit fields, and UTF-8.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace wendra {

// A number in the scientific form the stored texts and the wire may use: blanks
// around (space, TAB, CR, LF), an optional sign, digits with an optional fraction,
// and an optional exponent ("1.5e3"). Anything else, or a value out of range, is
// no number. (What a person types in a number box is ui::parseDecimal.)
std::optional<double> parseScientific(std::string_view text);

// The text without the blanks (space, TAB, CR, LF) at either end.
std::string_view trimmed(std::string_view text);

// ASCII letters in the other case; every other byte (UTF-8 among them) as it is.
char lowerAscii(char c);
char upperAscii(char c);
std::string lowerAscii(std::string_view text);
std::string upperAscii(std::string_view text);
// Equal but for the case of ASCII letters.
bool equalsNoCase(std::string_view a, std::string_view b);
// Ordered by bytes with ASCII letters taken in lower case, a text before the
// longer ones it begins: -1, 0 or 1.
int compareNoCase(std::string_view a, std::string_view b);

// A field of a date or time: two digits with a leading zero ("07"); a value
// outside 0..99 is written whole.
std::string twoDigits(int value);

// Code points of UTF-8 text; an invalid byte reads as U+FFFD.
std::vector<char32_t> utf8CodePoints(std::string_view text);
// Appends one code point; a surrogate or a value past U+10FFFF is written as U+FFFD.
void appendUtf8(std::string& out, char32_t cp);

}  // namespace wendra
