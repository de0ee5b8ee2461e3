#pragma once

// Values as the device writes them, read without trusting them: numbers of any
// size saturate instead of overflowing, and dates must fall in the years the
// program keeps (1601 to 9999). Nothing here throws.

#include <cstdint>
#include <optional>
#include <string_view>

#include "platform/clock/DateTime.h"

namespace wendra {

// A numeric text (digits, sign, fraction, exponent) rounded half to even to a
// whole number, held within the 64-bit range; nullopt when it is no number.
std::optional<std::int64_t> wireNumber(std::string_view text);

// A whole number held within a range.
int saturate(std::int64_t value, int minimum, int maximum);
inline int saturate16(std::int64_t value) { return saturate(value, -32768, 32767); }

// A date text read as the program's date texts are (eight digits, optionally
// "T" and six more, or a date written with separators). A trailing "Z" marks
// UTC, which is turned into local time. nullopt when it is no date, or when
// the date lies outside 1601 to 9999.
std::optional<DateTime> wireDate(std::string_view text);

// The local time of a UTC date-time, by the machine's time zone rules;
// nullopt when the result falls outside the years the program keeps.
std::optional<DateTime> utcToLocal(DateTime utc);

}  // namespace wendra
