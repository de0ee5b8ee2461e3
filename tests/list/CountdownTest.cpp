#include "list/Countdown.h"

#include <gtest/gtest.h>

#include "list/EventList.h"
#include "store/clsCalEvent.h"

namespace wendra {
namespace {

using countdown::formatTimeTo;

const DateTime kNoon = DateTime::ymd(2024, 3, 14, 12, 0, 0);

struct CountdownCase {
    std::int64_t minutesAhead;  // negative: past
    const char* text;
};

TEST(CountdownText, TableOfTheCountdownsOfToday) {
    const CountdownCase cases[] = {
        {125, "2h 05m"},   {15, "0h 15m"},    {1, "0h 01m"},     {60, "1h 00m"},   {0, "NOW"},
        {-1, "-0h 01m"},   {-5, "-0h 05m"},   {-15, "-0h 15m"},  {-59, "-0h 59m"}, {-60, "-1h 00m"},
        {-75, "-1h 15m"},  {-119, "-1h 59m"}, {-120, "-2h"},     {-180, "-3h"},    {-23 * 60, "-23h"},
        {26 * 60, "2h 00m"},  // hours are taken modulo 24
        {23 * 60 + 59, "23h 59m"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(formatTimeTo(kNoon, kNoon.addMinutes(c.minutesAhead)), c.text) << c.minutesAhead << " minutes";
    }
}

TEST(CountdownText, CountsMinuteBoundariesNotElapsedMinutes) {
    const DateTime late = DateTime::ymd(2024, 3, 14, 10, 0, 59);
    // One second away, but across a minute boundary.
    EXPECT_EQ(formatTimeTo(late, DateTime::ymd(2024, 3, 14, 10, 1, 0)), "0h 01m");
    // 59 seconds away within the same minute.
    EXPECT_EQ(formatTimeTo(DateTime::ymd(2024, 3, 14, 10, 0, 0), late), "NOW");
    // Already passed by 20 seconds but still the same minute.
    EXPECT_EQ(formatTimeTo(DateTime::ymd(2024, 3, 14, 10, 0, 30), DateTime::ymd(2024, 3, 14, 10, 0, 10)), "NOW");
    EXPECT_EQ(formatTimeTo(DateTime::ymd(2024, 3, 14, 10, 1, 0), late), "-0h 01m");
    // 2 h 04 m 01 s of elapsed time crosses 125 boundaries.
    EXPECT_EQ(formatTimeTo(DateTime::ymd(2024, 3, 14, 9, 55, 59), DateTime::ymd(2024, 3, 14, 12, 0, 0)), "2h 05m");
}

TEST(CountdownText, BoundariesBeforeTheNullDateCountTheSameWay) {
    // Seconds below zero must round toward the earlier minute too.
    const DateTime before = DateTime::ymd(1899, 12, 29, 23, 59, 30);
    EXPECT_EQ(minuteBoundaries(before, DateTime::ymd(1899, 12, 30, 0, 0, 0)), 1);
    EXPECT_EQ(minuteBoundaries(before, DateTime::ymd(1899, 12, 29, 23, 59, 0)), 0);
    EXPECT_EQ(minuteBoundaries(DateTime::ymd(1899, 12, 30, 0, 0, 5), before), -1);
}

TEST(CountdownText, WhatCountsAsACountdownAndAsPassed) {
    for (const char* t : {"NOW", "2h 05m", "-0h 15m", "-3h"}) EXPECT_TRUE(countdown::isCountdown(t)) << t;
    for (const char* t : {"", "12", "-1", "-", "*", "Days To"}) EXPECT_FALSE(countdown::isCountdown(t)) << t;
    EXPECT_TRUE(countdown::isPassed("-0h 01m"));
    EXPECT_TRUE(countdown::isPassed("-3h"));
    EXPECT_FALSE(countdown::isPassed("NOW"));
    EXPECT_FALSE(countdown::isPassed("0h 01m"));
}

TEST(CountdownText, LongDescriptionAndCaptionCountdown) {
    EXPECT_EQ(countdown::longDescription("2h 05m", "Dentist"), "2h 05m to Dentist");
    EXPECT_EQ(countdown::longDescription("NOW", "Dentist"), "NOW to Dentist");
    EXPECT_EQ(countdown::longDescription("-0h 15m", "Dentist"), "-0h 15m past Dentist");
    EXPECT_EQ(countdown::captionCountdown("0h 15m", "Dentist"), "0h 15m-Dentist");
}

TEST(CountdownRowKey, OccurrenceComesFromTheKeyWhateverTheYear) {
    clsCalEvent ev;
    ev.setWendraWinId("7");
    ev.setDescription("Dentist");
    ev.setOccurrence(DateTime::ymd(2031, 5, 6, 9, 30, 0), false, "Dentist");
    EXPECT_EQ(countdown::keyOccurrence(ev.GridKey()), DateTime::ymd(2031, 5, 6, 9, 30, 0));

    ev.setOccurrence(DateTime::ymd(2030, 1, 2), true, "Dentist");
    EXPECT_EQ(countdown::keyOccurrence(ev.GridKey()), DateTime::ymd(2030, 1, 2, 23, 59, 59));

    // The row's own occurrence: an all-day one at the start of its day.
    EXPECT_EQ(keyRowOccurrence(ev.GridKey()), (RowOccurrence{DateTime::ymd(2030, 1, 2), true}));

    for (const char* key : {"", "<Id>7</><Occr></>", "<Id>7</><Occr>tomorrow</>"}) {
        EXPECT_EQ(countdown::keyOccurrence(key), std::nullopt) << key;
        EXPECT_EQ(keyRowOccurrence(key), std::nullopt) << key;
    }
}

}  // namespace
}  // namespace wendra
