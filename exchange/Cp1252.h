#pragma once

// The device's 8-bit text. The program keeps text as UTF-8; what crosses the
// serial link is Windows-1252, one byte a character, read and written through
// this one codec. A character the code page lacks goes out as "?": the exact
// text of a description travels beside it in UTF-8 hex.

#include <string>
#include <string_view>

namespace wendra {

// Windows-1252 bytes as UTF-8. Every byte has a character, so nothing is lost:
// the five bytes the code page leaves unassigned read as the C1 controls of
// the same number, as Windows reads them.
std::string cp1252ToUtf8(std::string_view bytes);

// Whether the bytes are well-formed UTF-8: no overlong form, no surrogate,
// nothing past U+10FFFF, no sequence cut short.
bool isValidUtf8(std::string_view bytes);

// Text from another program: kept as it is when it is valid UTF-8, else read
// as Windows-1252, the device's own code page.
std::string utf8OrCp1252ToUtf8(std::string_view bytes);

// UTF-8 text as Windows-1252 bytes; a character with no byte, and a broken
// UTF-8 sequence, becomes "?".
std::string utf8ToCp1252(std::string_view text);

}  // namespace wendra
