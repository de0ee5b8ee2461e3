#include "platform/clock/Names.h"

#include <array>
#include <ctime>

namespace wendra {

namespace {

std::string formatTm(const std::tm& tm, const char* format) {
    std::array<char, 128> buf{};
    const std::size_t n = std::strftime(buf.data(), buf.size(), format, &tm);
    return std::string(buf.data(), n);
}

}  // namespace

std::string monthName(int month, bool abbreviate) {
    if (month < 1 || month > 12) return {};
    std::tm tm{};
    tm.tm_mon = month - 1;
    tm.tm_mday = 1;
    tm.tm_year = 100;
    return formatTm(tm, abbreviate ? "%b" : "%B");
}

std::string weekdayName(int weekday, bool abbreviate) {
    if (weekday < 1 || weekday > 7) return {};
    std::tm tm{};
    tm.tm_wday = weekday - 1;
    return formatTm(tm, abbreviate ? "%a" : "%A");
}

std::string englishMonthAbbrev(int month) {
    static constexpr std::array<const char*, 12> kNames = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                           "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    return month >= 1 && month <= 12 ? kNames[static_cast<std::size_t>(month - 1)] : "";
}

std::string englishWeekdayAbbrev(int weekday) {
    static constexpr std::array<const char*, 7> kNames = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    return weekday >= 1 && weekday <= 7 ? kNames[static_cast<std::size_t>(weekday - 1)] : "";
}

}  // namespace wendra
