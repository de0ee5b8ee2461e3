#pragma once

#include <compare>
#include <cstdint>
#include <optional>
#include <string>

namespace wendra {

// A local date-time to the whole second. Its zero is 30 December 1899 00:00:00,
// the day the stored files count from, which is also the program's null date.
// Valid values run from 1 January 100 to 31 December 9999 23:59:59; every
// constructor that takes parts from outside checks them.
class DateTime {
public:
    static constexpr std::int64_t kSecondsPerDay = 86400;

    constexpr DateTime() = default;  // the null date

    // nullopt unless every part is in range and the day exists in that month.
    static std::optional<DateTime> fromParts(int year, int month, int day, int hour = 0, int minute = 0,
                                             int second = 0);
    // For parts known to be valid (constants, values taken from another DateTime).
    static DateTime ymd(int year, int month, int day, int hour = 0, int minute = 0, int second = 0);
    static constexpr DateTime fromSeconds(std::int64_t secondsSinceNull) { return DateTime(secondsSinceNull); }
    // The stored day-count form: whole days since the null date, time of day as the fraction.
    // Before the null date the fraction still counts forward within the day, as the stored files do.
    // A count beyond the valid dates gives minValue() or maxValue(); NaN gives the null date.
    static DateTime fromSerial(double days);
    double toSerial() const;

    static constexpr DateTime null() { return DateTime(); }
    static DateTime minValue();  // 1 January 100 00:00:00
    static DateTime maxValue();  // 31 December 9999 23:59:59

    constexpr std::int64_t seconds() const { return secs_; }
    constexpr bool isNull() const { return secs_ == 0; }
    bool isValid() const;  // within minValue() .. maxValue()

    int year() const;
    int month() const;  // 1..12
    int day() const;    // 1..31
    int hour() const;
    int minute() const;
    int second() const;
    int weekday() const;    // 1 = Sunday .. 7 = Saturday
    int dayOfYear() const;  // 1..366
    std::int64_t dayNumber() const;  // whole days since the null date (floor)
    int secondOfDay() const;

    DateTime date() const;  // the same day at 00:00
    DateTime addSeconds(std::int64_t n) const { return DateTime(secs_ + n); }
    DateTime addMinutes(std::int64_t n) const { return DateTime(secs_ + n * 60); }
    DateTime addHours(std::int64_t n) const { return DateTime(secs_ + n * 3600); }
    DateTime addDays(std::int64_t n) const { return DateTime(secs_ + n * kSecondsPerDay); }
    // Calendar months; a day past the end of the target month becomes its last day.
    DateTime addMonths(int n) const;
    DateTime addYears(int n) const { return addMonths(n * 12); }

    // "yyyy-mm-dd hh:mm:ss", the form the database keeps.
    std::string isoText() const;
    static std::optional<DateTime> fromIsoText(const std::string& text);

    constexpr auto operator<=>(const DateTime&) const = default;

    static int daysInMonth(int year, int month);
    static bool isLeapYear(int year);

private:
    constexpr explicit DateTime(std::int64_t s) : secs_(s) {}
    std::int64_t secs_ = 0;
};

// Days since the null date of a proleptic Gregorian date.
std::int64_t daysFromCivil(int year, int month, int day);

// a / b rounded toward minus infinity, so that times before the null date fall
// into their own day and minute as later ones do.
std::int64_t floorDiv(std::int64_t a, std::int64_t b);

// Minute boundaries crossed from `from` to `to`, negative when `to` is earlier:
// 10:59:59 to 11:00:00 is one minute, 10:00:00 to 10:00:59 none. What a calendar
// counts, and what the minute tick on the whole minute shows.
std::int64_t minuteBoundaries(DateTime from, DateTime to);

}  // namespace wendra
