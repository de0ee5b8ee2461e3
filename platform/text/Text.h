#pragma once

// Text primitives every layer needs: numbers as the user types them and UTF-8.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace wendra {

// A number written as VB's IsNumeric accepts it: optional spaces and sign, digits
// with an optional fraction and exponent.
std::optional<double> parseNumber(std::string_view text);

// Code points of UTF-8 text; an invalid byte reads as U+FFFD.
std::vector<char32_t> utf8CodePoints(std::string_view text);
// Appends one code point; a surrogate or a value past U+10FFFF is written as U+FFFD.
void appendUtf8(std::string& out, char32_t cp);

}  // namespace wendra
