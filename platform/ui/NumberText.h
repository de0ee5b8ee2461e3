#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// Small pure helpers behind the number boxes and the key filters. They take plain
// values so that the UI layer needs nothing from the store.
namespace wendra::ui {

inline constexpr int kKeyBackspace = 8;

// A decimal number as a person types it in a number box: blanks (space, TAB)
// around, an optional sign, digits with at most one decimal point; no exponent.
// Anything else is not a number. (The stored texts' form is parseScientific.)
std::optional<double> parseDecimal(std::string_view text);

// The number rounded half to even, as whole-number conversion of the forms does,
// and held within +/-10^15 so that no later arithmetic can overflow.
std::optional<long long> wholeNumber(std::string_view text);

// One arrow step: the number plus delta, or the default when the text is not a
// number; the result always lies within minimum..maximum.
std::string stepNumber(std::string_view text, int delta, int minimum, int maximum, int defaultValue);

// What a key filter lets through. Keys are character codes; 0 means swallowed.
enum class KeyFilter {
    None,     // every key
    Digits,   // "0" to "9" and backspace
    Decimal,  // digits, the full stop and backspace
};
int filterKey(KeyFilter filter, int key);

// UTF-8 text measured in characters (code points), the unit of selections and
// maximum lengths.
std::size_t charCount(std::string_view text);
// Byte offset of the character at index chars (the end when beyond it).
std::size_t byteOffset(std::string_view text, std::size_t chars);
std::string encodeChar(char32_t cp);

}  // namespace wendra::ui
