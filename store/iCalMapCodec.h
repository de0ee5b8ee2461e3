#pragma once

// The pieces of the encoded event map text that the map creator writes and the
// map reader reads back.
//
// Every number inside a map is one character whose code is the number (0 to
// 254), taken as an unsigned byte both ways so a value always round-trips.
// The map lives in memory only: it is never stored or sent, so the form only
// has to agree with itself.
//
//   start stamp   Y1 Y2 M D, and for a timed map "T" H N S
//                 (year = 255 * Y1 + Y2: base 255, not 256)
//   time lists    timed maps only: "H" hours, "M" minutes, "S" seconds
//   day string    "B", 8 upper-case hex digits of its length, one "1" or "0" a day
//   extra list    optional: "R", 8 hex digits of its length, stamps
//   exclusions    optional: "X", 8 hex digits of its length, stamps
//
// The letters never collide with a value: hours stay below 24 and minutes and
// seconds below 60, while the letters have codes from 66 up.

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/clock/DateTime.h"

namespace wendra {

// The number as one map character.
inline char mapChar(int value) { return static_cast<char>(static_cast<unsigned char>(value)); }
// The number a map character stands for.
inline int mapValue(char c) { return static_cast<unsigned char>(c); }

// Four characters of the date; with the time, "T" and three more.
std::string encodeMapDate(DateTime d, bool withTime);

// Reads a stamp at `pos` and moves `pos` past it. A time follows when the
// character after the date is "T". A stamp cut short or naming no real day
// reads as the null date (the walk then finds nothing on it).
DateTime readMapDate(std::string_view map, std::size_t& pos);

// The length as 8 upper-case hexadecimal digits, zero-padded on the left.
std::string hexLength8(std::size_t n);

// Reads 8 hexadecimal digits at `pos` and moves `pos` past them; digits that
// are missing or no hex digit count as 0.
std::size_t readHex8(std::string_view map, std::size_t& pos);

}  // namespace wendra
