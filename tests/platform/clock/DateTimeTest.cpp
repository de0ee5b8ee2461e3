#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <vector>

#include "platform/clock/DateTime.h"
#include "platform/clock/FakeClock.h"
#include "platform/clock/Names.h"

using wendra::DateTime;

TEST(DateTime, NullDateIsTheStoredZero) {
    const DateTime null;
    EXPECT_TRUE(null.isNull());
    EXPECT_EQ(null.year(), 1899);
    EXPECT_EQ(null.month(), 12);
    EXPECT_EQ(null.day(), 30);
    EXPECT_EQ(null.weekday(), 7);  // a Saturday
    EXPECT_EQ(DateTime::ymd(1900, 1, 1).toSerial(), 2.0);
}

TEST(DateTime, CivilRoundTripAcrossTheWholeRange) {
    // Every 97th day from the first to the last valid day comes back with the same parts.
    const auto first = DateTime::minValue().dayNumber();
    const auto last = DateTime::maxValue().dayNumber();
    for (auto d = first; d <= last; d += 97) {
        const DateTime t = DateTime::fromSeconds(d * DateTime::kSecondsPerDay + 3723);
        const auto back = DateTime::fromParts(t.year(), t.month(), t.day(), t.hour(), t.minute(), t.second());
        ASSERT_TRUE(back.has_value()) << d;
        ASSERT_EQ(*back, t) << d;
        ASSERT_EQ(t.dayNumber(), d);
    }
}

TEST(DateTime, FromPartsRefusesWhatDoesNotExist) {
    EXPECT_FALSE(DateTime::fromParts(2023, 2, 29));
    EXPECT_TRUE(DateTime::fromParts(2024, 2, 29));
    EXPECT_FALSE(DateTime::fromParts(1900, 2, 29));
    EXPECT_TRUE(DateTime::fromParts(2000, 2, 29));
    EXPECT_FALSE(DateTime::fromParts(2024, 13, 1));
    EXPECT_FALSE(DateTime::fromParts(2024, 4, 31));
    EXPECT_FALSE(DateTime::fromParts(2024, 1, 1, 24, 0, 0));
    EXPECT_FALSE(DateTime::fromParts(2024, 1, 1, 0, 60, 0));
    EXPECT_FALSE(DateTime::fromParts(10000, 1, 1));
    EXPECT_FALSE(DateTime::fromParts(99, 12, 31));
    EXPECT_TRUE(DateTime::fromParts(1601, 1, 1));
}

TEST(DateTime, WeekdaysAndDayOfYear) {
    EXPECT_EQ(DateTime::ymd(2024, 3, 5).weekday(), 3);    // Tuesday
    EXPECT_EQ(DateTime::ymd(1899, 12, 24).weekday(), 1);  // Sunday, before the null date
    EXPECT_EQ(DateTime::ymd(2024, 12, 31).dayOfYear(), 366);
    EXPECT_EQ(DateTime::ymd(2023, 12, 31).dayOfYear(), 365);
}

TEST(DateTime, BeforeTheNullDateTheTimeStillCountsForward) {
    const DateTime t = DateTime::ymd(1899, 12, 29, 6, 0, 0);
    EXPECT_EQ(t.hour(), 6);
    EXPECT_EQ(t.date(), DateTime::ymd(1899, 12, 29));
    EXPECT_DOUBLE_EQ(t.toSerial(), -1.25);
    EXPECT_EQ(DateTime::fromSerial(-1.25), t);
    EXPECT_EQ(DateTime::fromSerial(45356.5), DateTime::ymd(2024, 3, 5, 12, 0, 0));
}

TEST(DateTime, DayCountsBeyondTheValidDatesSaturate) {
    const double inf = std::numeric_limits<double>::infinity();
    struct Case {
        double days;
        DateTime expected;
    };
    const Case cases[] = {
        {1e300, DateTime::maxValue()},
        {-1e300, DateTime::minValue()},
        {inf, DateTime::maxValue()},
        {-inf, DateTime::minValue()},
        {9.3e18, DateTime::maxValue()},
        {-9.3e18, DateTime::minValue()},
        {2958466.0, DateTime::maxValue()},                  // 1 January 10000
        {2958465.99999999, DateTime::maxValue()},           // rounds up past the last second
        {2958465.5, DateTime::ymd(9999, 12, 31, 12, 0, 0)},  // still inside
        {-657434.0, DateTime::minValue()},                  // 1 January 100 itself
        {-657434.5, DateTime::ymd(100, 1, 1, 12, 0, 0)},
        {-657435.0, DateTime::minValue()},
        {std::numeric_limits<double>::quiet_NaN(), DateTime::null()},
    };
    for (const auto& c : cases) EXPECT_EQ(DateTime::fromSerial(c.days), c.expected) << c.days;
}

TEST(DateTime, AddMonthsClampsToTheLastDay) {
    EXPECT_EQ(DateTime::ymd(2024, 1, 31).addMonths(1), DateTime::ymd(2024, 2, 29));
    EXPECT_EQ(DateTime::ymd(2023, 1, 31).addMonths(1), DateTime::ymd(2023, 2, 28));
    EXPECT_EQ(DateTime::ymd(2024, 3, 15, 10, 0, 0).addMonths(-3), DateTime::ymd(2023, 12, 15, 10, 0, 0));
    EXPECT_EQ(DateTime::ymd(2024, 2, 29).addYears(1), DateTime::ymd(2025, 2, 28));
}

TEST(DateTime, IsoTextRoundTrip) {
    const DateTime t = DateTime::ymd(987, 3, 5, 9, 7, 3);
    EXPECT_EQ(t.isoText(), "0987-03-05 09:07:03");
    EXPECT_EQ(DateTime::fromIsoText(t.isoText()), t);
    EXPECT_EQ(DateTime::fromIsoText("2024-03-05"), DateTime::ymd(2024, 3, 5));
    EXPECT_FALSE(DateTime::fromIsoText("2024-02-30 00:00:00"));
    EXPECT_FALSE(DateTime::fromIsoText("garbage"));
    // Beside the two forms the database writes, what the scanner reads is still read.
    EXPECT_EQ(DateTime::fromIsoText("2024-3-5 9:07:03"), DateTime::ymd(2024, 3, 5, 9, 7, 3));
    EXPECT_FALSE(DateTime::fromIsoText("2024-03-05 09:07:0x"));
    EXPECT_FALSE(DateTime::fromIsoText("2024-03-05T09:07:03"));
}

TEST(DateTime, FloorDivisionAndMinuteBoundariesRoundTowardThePast) {
    struct Case {
        std::int64_t a, b, quotient;
    };
    for (const Case& c : std::vector<Case>{{7, 2, 3}, {-7, 2, -4}, {-6, 2, -3}, {0, 60, 0}, {-1, 60, -1}, {59, 60, 0},
                                           {-60, 60, -1}, {-61, 60, -2}, {7, -2, -4}})
        EXPECT_EQ(wendra::floorDiv(c.a, c.b), c.quotient) << c.a << " / " << c.b;

    // Boundaries crossed, not time elapsed, on either side of the null date.
    const DateTime t = DateTime::ymd(2024, 3, 14, 10, 59, 59);
    EXPECT_EQ(wendra::minuteBoundaries(t, t.addSeconds(1)), 1);
    EXPECT_EQ(wendra::minuteBoundaries(t.addSeconds(1), t.addSeconds(60)), 0);
    EXPECT_EQ(wendra::minuteBoundaries(t.addSeconds(1), t), -1);
    const DateTime before = DateTime::ymd(1899, 12, 29, 23, 59, 59);
    EXPECT_EQ(wendra::minuteBoundaries(before, before.addSeconds(1)), 1);
    EXPECT_EQ(wendra::minuteBoundaries(before.addSeconds(-58), before), 0);
}

TEST(Clock, OverrideIsScopedAndNests) {
    const DateTime a = DateTime::ymd(2030, 1, 1, 8, 0, 0);
    wendra::FakeClock fa(a);
    {
        wendra::ClockOverride outer(fa);
        EXPECT_EQ(wendra::now(), a);
        fa.advanceSeconds(61);
        EXPECT_EQ(wendra::now(), a.addSeconds(61));
        wendra::FakeClock fb(DateTime::ymd(2031, 5, 5));
        {
            wendra::ClockOverride inner(fb);
            EXPECT_EQ(wendra::now(), DateTime::ymd(2031, 5, 5));
        }
        EXPECT_EQ(wendra::now(), a.addSeconds(61));
    }
    EXPECT_GT(wendra::now().year(), 2000);  // the system clock is back
}

TEST(Names, EnglishNamesAreFixed) {
    EXPECT_EQ(wendra::englishMonthAbbrev(3), "Mar");
    EXPECT_EQ(wendra::englishMonthAbbrev(13), "");
    EXPECT_EQ(wendra::englishWeekdayAbbrev(1), "Sun");
    // In the C locale the user's names are the English ones.
    EXPECT_EQ(wendra::monthName(12, false), "December");
    EXPECT_EQ(wendra::weekdayName(7, true), "Sat");
}
