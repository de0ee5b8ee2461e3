#include "platform/clock/DateTime.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace wendra {

namespace {

// Days of 30 December 1899 counted from 1 January 1970, the origin of daysFromCivil's algorithm.
constexpr std::int64_t kNullDayFromEpoch = -25569;

struct Civil {
    int year;
    int month;
    int day;
};

// Howard Hinnant's civil-from-days: exact for every proleptic Gregorian day.
Civil civilFromEpochDays(std::int64_t z) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const auto y = static_cast<std::int64_t>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned d = doy - (153 * mp + 2) / 5 + 1;
    const unsigned m = mp < 10 ? mp + 3 : mp - 9;
    return {static_cast<int>(y + (m <= 2 ? 1 : 0)), static_cast<int>(m), static_cast<int>(d)};
}

Civil civilOf(std::int64_t secs) {
    return civilFromEpochDays(floorDiv(secs, DateTime::kSecondsPerDay) + kNullDayFromEpoch);
}

}  // namespace

std::int64_t floorDiv(std::int64_t a, std::int64_t b) {
    std::int64_t q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
    return q;
}

std::int64_t minuteBoundaries(DateTime from, DateTime to) {
    return floorDiv(to.seconds(), 60) - floorDiv(from.seconds(), 60);
}

std::int64_t daysFromCivil(int year, int month, int day) {
    const std::int64_t y = static_cast<std::int64_t>(year) - (month <= 2 ? 1 : 0);
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned mp = static_cast<unsigned>(month > 2 ? month - 3 : month + 9);
    const unsigned doy = (153 * mp + 2) / 5 + static_cast<unsigned>(day) - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468 - kNullDayFromEpoch;
}

bool DateTime::isLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DateTime::daysInMonth(int year, int month) {
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) return 0;
    return month == 2 && isLeapYear(year) ? 29 : kDays[month - 1];
}

std::optional<DateTime> DateTime::fromParts(int year, int month, int day, int hour, int minute, int second) {
    if (year < 100 || year > 9999 || month < 1 || month > 12) return std::nullopt;
    if (day < 1 || day > daysInMonth(year, month)) return std::nullopt;
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59) return std::nullopt;
    return ymd(year, month, day, hour, minute, second);
}

DateTime DateTime::ymd(int year, int month, int day, int hour, int minute, int second) {
    return DateTime(daysFromCivil(year, month, day) * kSecondsPerDay + hour * 3600 + minute * 60 + second);
}

DateTime DateTime::fromSerial(double days) {
    if (std::isnan(days)) return DateTime();
    // A day count beyond the valid dates (a damaged or foreign column) saturates at
    // the first or last valid second: converting it as it is would overflow.
    const double whole = std::trunc(days);
    if (whole < static_cast<double>(minValue().dayNumber())) return minValue();
    if (whole > static_cast<double>(maxValue().dayNumber())) return maxValue();
    const double fraction = std::fabs(days - whole);
    const auto secOfDay = static_cast<std::int64_t>(std::llround(fraction * kSecondsPerDay));
    return std::min(DateTime(static_cast<std::int64_t>(whole) * kSecondsPerDay + secOfDay), maxValue());
}

double DateTime::toSerial() const {
    const std::int64_t d = dayNumber();
    const double fraction = static_cast<double>(secondOfDay()) / kSecondsPerDay;
    // Before the null date the whole part is negative but the time still adds its magnitude.
    if (d < 0) return static_cast<double>(d) - fraction;
    return static_cast<double>(d) + fraction;
}

DateTime DateTime::minValue() { return ymd(100, 1, 1); }
DateTime DateTime::maxValue() { return ymd(9999, 12, 31, 23, 59, 59); }

bool DateTime::isValid() const { return *this >= minValue() && *this <= maxValue(); }

std::int64_t DateTime::dayNumber() const { return floorDiv(secs_, kSecondsPerDay); }
int DateTime::secondOfDay() const { return static_cast<int>(secs_ - dayNumber() * kSecondsPerDay); }

int DateTime::year() const { return civilOf(secs_).year; }
int DateTime::month() const { return civilOf(secs_).month; }
int DateTime::day() const { return civilOf(secs_).day; }
int DateTime::hour() const { return secondOfDay() / 3600; }
int DateTime::minute() const { return secondOfDay() / 60 % 60; }
int DateTime::second() const { return secondOfDay() % 60; }

int DateTime::weekday() const {
    // The null date, 30 December 1899, was a Saturday (7).
    return static_cast<int>(((dayNumber() % 7) + 7 + 6) % 7) + 1;
}

int DateTime::dayOfYear() const {
    const Civil c = civilOf(secs_);
    return static_cast<int>(daysFromCivil(c.year, c.month, c.day) - daysFromCivil(c.year, 1, 1)) + 1;
}

DateTime DateTime::date() const { return DateTime(dayNumber() * kSecondsPerDay); }

DateTime DateTime::addMonths(int n) const {
    const Civil c = civilOf(secs_);
    const std::int64_t total = static_cast<std::int64_t>(c.year) * 12 + (c.month - 1) + n;
    const int y = static_cast<int>(floorDiv(total, 12));
    const int m = static_cast<int>(total - static_cast<std::int64_t>(y) * 12) + 1;
    const int d = std::min(c.day, daysInMonth(y, m));
    return DateTime(daysFromCivil(y, m, d) * kSecondsPerDay + secondOfDay());
}

std::string DateTime::isoText() const {
    const Civil c = civilOf(secs_);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", c.year, c.month, c.day, hour(), minute(),
                  second());
    return buf;
}

namespace {
// The number the n digits at text[at] make; -1 when one of them is no digit.
int digitsAt(const std::string& text, std::size_t at, std::size_t n) {
    int v = 0;
    for (std::size_t i = at; i < at + n; ++i) {
        if (text[i] < '0' || text[i] > '9') return -1;
        v = v * 10 + (text[i] - '0');
    }
    return v;
}
}  // namespace

std::optional<DateTime> DateTime::fromIsoText(const std::string& text) {
    // The database's own two forms are read digit by digit: a store's events hold
    // thousands of dates, and the scanner below takes microseconds for each.
    if ((text.size() == 10 || text.size() == 19) && text[4] == '-' && text[7] == '-') {
        const int y = digitsAt(text, 0, 4), mo = digitsAt(text, 5, 2), d = digitsAt(text, 8, 2);
        if (y >= 0 && mo >= 0 && d >= 0) {
            if (text.size() == 10) return fromParts(y, mo, d);
            const int h = digitsAt(text, 11, 2), mi = digitsAt(text, 14, 2), s = digitsAt(text, 17, 2);
            if (text[10] == ' ' && text[13] == ':' && text[16] == ':' && h >= 0 && mi >= 0 && s >= 0)
                return fromParts(y, mo, d, h, mi, s);
        }
    }
    int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0;
    char tail = 0;
    const int n = std::sscanf(text.c_str(), "%4d-%2d-%2d %2d:%2d:%2d%c", &y, &mo, &d, &h, &mi, &s, &tail);
    if (n == 3 && text.size() == 10) return fromParts(y, mo, d);
    if (n != 6) return std::nullopt;
    return fromParts(y, mo, d, h, mi, s);
}

}  // namespace wendra
