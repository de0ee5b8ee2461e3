// The device's 8-bit text and the values read from it.

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>

#include "exchange/Cp1252.h"
#include "exchange/WireValues.h"
#include "exchange/clsCalendar.h"
#include "tests/support/ZoneOverride.h"

using namespace wendra;
using wendra::test::ZoneOverride;

namespace {

DateTime d(int y, int m, int day, int h = 0, int mi = 0, int s = 0) { return DateTime::ymd(y, m, day, h, mi, s); }

}  // namespace

TEST(Cp1252, EveryByteComesBackThroughUtf8) {
    std::string all;
    for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
    EXPECT_EQ(utf8ToCp1252(cp1252ToUtf8(all)), all);
}

TEST(Cp1252, CharactersOfBothDirections) {
    struct Case {
        std::string utf8, wire;
    } cases[] = {
        {"\xE2\x82\xAC", "\x80"},          // euro sign
        {"\xC3\xA9", "\xE9"},              // e acute, Latin-1 range
        {"\xE2\x80\x9C" "a\xE2\x80\x9D", "\x93" "a\x94"},  // curly quotes
        {"\xC5\xB8", "\x9F"},              // Y diaeresis
        {"plain", "plain"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(utf8ToCp1252(c.utf8), c.wire) << c.utf8;
        EXPECT_EQ(cp1252ToUtf8(c.wire), c.utf8) << c.utf8;
    }
}

TEST(Cp1252, WhatTheCodePageLacksGoesOutAsQuestionMark) {
    EXPECT_EQ(utf8ToCp1252("a\xE4\xB8\xAD" "b"), "a?b");            // a CJK character
    EXPECT_EQ(utf8ToCp1252("\xF0\x9F\x98\x80"), "?");                // outside the BMP
    EXPECT_EQ(utf8ToCp1252("x\xC3"), "x?");                          // a broken sequence
}

TEST(WireNumber, ReadsAndSaturates) {
    struct Case {
        const char* text;
        std::optional<std::int64_t> value;
    } cases[] = {
        {"12", 12},   {" -7 ", -7}, {"2.5", 2}, {"3.5", 4}, {"1e3", 1000}, {"1e10", 10000000000LL},
        {"1e300", INT64_MAX}, {"-1e300", INT64_MIN}, {"#", std::nullopt}, {"", std::nullopt}, {"12a", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(wireNumber(c.text), c.value) << c.text;
    EXPECT_EQ(saturate16(99999), 32767);
    EXPECT_EQ(saturate16(-99999), -32768);
    EXPECT_EQ(saturate(50, 0, 9), 9);
}

TEST(WireDate, KeepsToTheProgramsYears) {
    struct Case {
        const char* text;
        std::optional<DateTime> value;
    } cases[] = {
        {"20240305", d(2024, 3, 5)},
        {"20240305T090703", d(2024, 3, 5, 9, 7, 3)},
        {"16010101", d(1601, 1, 1)},
        {"99991231T235959", d(9999, 12, 31, 23, 59, 59)},
        {"16001231", std::nullopt},  // before the program's first year
        {"01000101", std::nullopt},
        {"20241301", std::nullopt},
        {"2024", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(wireDate(c.text), c.value) << c.text;
}

TEST(WireDate, UtcBecomesLocalTime) {
    const ZoneOverride zone("CET-1CEST,M3.5.0,M10.5.0/3");
    EXPECT_EQ(wireDate("20240115T120000Z"), d(2024, 1, 15, 13, 0, 0));   // winter: one hour
    EXPECT_EQ(wireDate("20240715T120000Z"), d(2024, 7, 15, 14, 0, 0));   // summer: two hours
    EXPECT_EQ(wireDate("20241231T233000Z"), d(2025, 1, 1, 0, 30, 0));    // across the year
    EXPECT_EQ(wireDate("20240715T120000"), d(2024, 7, 15, 12, 0, 0));    // no Z: already local
    EXPECT_EQ(wireDate("99991231T233000Z"), std::nullopt);               // local time past 9999
}

TEST(CalendarVersion, MajorNumberIsTheWholePart) {
    struct Case {
        const char* text;
        int major;
        bool valid;
    } cases[] = {
        {"1.0", 1, true}, {"1", 1, true},   {"1.5", 1, true},     {"2.0", 2, true}, {"2.9", 2, true},
        {"3.0", 3, false}, {"0.9", 0, false}, {"1e10", 32767, false}, {"-1", -1, false},
    };
    for (const auto& c : cases) {
        clsCalendar cal;
        cal.setVersionText(c.text);
        EXPECT_EQ(cal.VersionMajor(), c.major) << c.text;
        EXPECT_EQ(cal.isValid(), c.valid) << c.text;
        EXPECT_EQ(cal.importError(), !c.valid) << c.text;
    }
    clsCalendar cal;
    cal.setVersionText("2.0");
    cal.setVersionText("abc");  // no number: invalid, the major number stays
    EXPECT_EQ(cal.VersionMajor(), 2);
    EXPECT_FALSE(cal.isValid());
}
