#include "store/iCalMapCodec.h"

#include <optional>

namespace wendra {

std::string encodeMapDate(DateTime d, bool withTime) {
    const int year = d.year();
    std::string out;
    out.reserve(withTime ? 8 : 4);
    out += mapChar(year / 255);
    out += mapChar(year % 255);
    out += mapChar(d.month());
    out += mapChar(d.day());
    if (withTime) {
        out += 'T';
        out += mapChar(d.hour());
        out += mapChar(d.minute());
        out += mapChar(d.second());
    }
    return out;
}

DateTime readMapDate(std::string_view map, std::size_t& pos) {
    if (pos + 4 > map.size()) {
        pos = map.size();
        return DateTime();
    }
    const int year = 255 * mapValue(map[pos]) + mapValue(map[pos + 1]);
    const int month = mapValue(map[pos + 2]);
    const int day = mapValue(map[pos + 3]);
    pos += 4;
    std::optional<DateTime> date = DateTime::fromParts(year, month, day);
    if (pos < map.size() && map[pos] == 'T') {
        ++pos;
        if (pos + 3 > map.size()) {
            pos = map.size();
            return DateTime();
        }
        const int h = mapValue(map[pos]), n = mapValue(map[pos + 1]), s = mapValue(map[pos + 2]);
        pos += 3;
        if (date && h < 24 && n < 60 && s < 60) date = date->addSeconds(h * 3600 + n * 60 + s);
    }
    return date.value_or(DateTime());
}

std::string hexLength8(std::size_t n) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string out(8, '0');
    for (int i = 7; i >= 0 && n > 0; --i, n >>= 4) out[static_cast<std::size_t>(i)] = kDigits[n & 0xF];
    return out;
}

std::size_t readHex8(std::string_view map, std::size_t& pos) {
    std::size_t value = 0;
    for (int i = 0; i < 8; ++i, ++pos) {
        value <<= 4;
        if (pos >= map.size()) continue;
        const char c = map[pos];
        if (c >= '0' && c <= '9') value |= static_cast<std::size_t>(c - '0');
        else if (c >= 'A' && c <= 'F') value |= static_cast<std::size_t>(c - 'A' + 10);
        else if (c >= 'a' && c <= 'f') value |= static_cast<std::size_t>(c - 'a' + 10);
    }
    if (pos > map.size()) pos = map.size();
    return value;
}

}  // namespace wendra
