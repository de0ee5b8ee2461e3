#include "exchange/Cp1252.h"

#include <algorithm>
#include <array>

#include "platform/text/Text.h"

namespace wendra {

namespace {

// The characters of bytes 0x80 to 0x9F; the rest of the upper half is Latin-1.
constexpr std::array<char32_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char32_t byteCharacter(unsigned char b) {
    if (b >= 0x80 && b <= 0x9F) return kHighControls[b - 0x80];
    return b;
}

// The byte of a character, or none (-1).
int characterByte(char32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<int>(cp);
    const auto* hit = std::find(kHighControls.begin(), kHighControls.end(), cp);
    if (hit == kHighControls.end()) return -1;
    return 0x80 + static_cast<int>(hit - kHighControls.begin());
}

bool isAscii(std::string_view s) {
    return std::all_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

}  // namespace

std::string cp1252ToUtf8(std::string_view bytes) {
    if (isAscii(bytes)) return std::string(bytes);
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 2);
    for (char c : bytes) appendUtf8(out, byteCharacter(static_cast<unsigned char>(c)));
    return out;
}

bool isValidUtf8(std::string_view bytes) {
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b < 0x80) {
            ++i;
            continue;
        }
        // The length of the sequence and the range its second byte must lie in
        // (narrower than 80..BF where that excludes overlong forms, surrogates
        // and code points past U+10FFFF).
        std::size_t length = 0;
        unsigned char low = 0x80, high = 0xBF;
        if (b >= 0xC2 && b <= 0xDF) length = 2;
        else if (b == 0xE0) length = 3, low = 0xA0;
        else if (b == 0xED) length = 3, high = 0x9F;
        else if (b >= 0xE1 && b <= 0xEF) length = 3;
        else if (b == 0xF0) length = 4, low = 0x90;
        else if (b >= 0xF1 && b <= 0xF3) length = 4;
        else if (b == 0xF4) length = 4, high = 0x8F;
        else return false;
        if (bytes.size() - i < length) return false;
        for (std::size_t k = 1; k < length; ++k) {
            const auto c = static_cast<unsigned char>(bytes[i + k]);
            if (c < (k == 1 ? low : 0x80) || c > (k == 1 ? high : 0xBF)) return false;
        }
        i += length;
    }
    return true;
}

std::string utf8OrCp1252ToUtf8(std::string_view bytes) {
    return isValidUtf8(bytes) ? std::string(bytes) : cp1252ToUtf8(bytes);
}

std::string utf8ToCp1252(std::string_view text) {
    if (isAscii(text)) return std::string(text);
    std::string out;
    out.reserve(text.size());
    for (char32_t cp : utf8CodePoints(text)) {
        const int b = characterByte(cp);
        out += b < 0 ? '?' : static_cast<char>(b);
    }
    return out;
}

}  // namespace wendra
