// The device's 8-bit text and the version it announces.

#include <gtest/gtest.h>

#include <string>

#include "exchange/Cp1252.h"
#include "exchange/clsCalendar.h"

using namespace wendra;

TEST(Cp1252, BothDirections) {
    std::string all;
    for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
    EXPECT_EQ(utf8ToCp1252(cp1252ToUtf8(all)), all);
    // euro sign, e acute, curly quotes, Y diaeresis
    EXPECT_EQ(cp1252ToUtf8("\x80\xE9\x93\x94\x9F"), "\xE2\x82\xAC\xC3\xA9\xE2\x80\x9C\xE2\x80\x9D\xC5\xB8");
    // What the code page lacks: a CJK character, one past the BMP, a broken sequence.
    EXPECT_EQ(utf8ToCp1252("a\xE4\xB8\xAD" "b\xF0\x9F\x98\x80x\xC3"), "a?b?x?");
}

// Valid UTF-8 is kept as it is; anything else is the device's code page.
TEST(Cp1252, Utf8OrCodePage) {
    for (const char* valid : {"", "a\xC3\xA4", "\xE2\x82\xAC", "\xED\x9F\xBF", "\xF0\x9F\x98\x80", "\xF4\x8F\xBF\xBF"})
        EXPECT_TRUE(isValidUtf8(valid)) << valid;
    // overlong forms, surrogates, past U+10FFFF, cut short, a lone continuation byte
    for (const char* broken : {"\xC0\xAF", "\xC1\xBF", "\xE0\x80\xAF", "\xF0\x8F\xBF\xBF", "\xED\xA0\x80",
                               "\xF4\x90\x80\x80", "\xF5\x80\x80\x80", "a\xE2\x82", "\x80", "\xC3\xA4\xBF"})
        EXPECT_FALSE(isValidUtf8(broken)) << broken;
    EXPECT_EQ(utf8OrCp1252ToUtf8("\xC3\xA4"), "\xC3\xA4");
    EXPECT_EQ(utf8OrCp1252ToUtf8("\xE4"), "\xC3\xA4");
}

// "1.5" was rounded to 2 and refused as an unknown version.
TEST(CalendarVersion, MajorNumberIsTheWholePart) {
    const struct {
        const char* text;
        int major;
        bool valid;
    } cases[] = {{"1.0", 1, true}, {"1.5", 1, true}, {"2.9", 2, true}, {"3.0", 3, false},
                 {"0.9", 0, false}, {"1e10", 32767, false}, {"-1", -1, false}};
    for (const auto& c : cases) {
        clsCalendar cal;
        cal.setVersionText(c.text);
        EXPECT_EQ(cal.VersionMajor(), c.major) << c.text;
        EXPECT_EQ(cal.importError(), !c.valid) << c.text;
    }
    clsCalendar cal;
    cal.setVersionText("2.0");
    cal.setVersionText("abc");  // no number: invalid, the major number stays
    EXPECT_EQ(cal.VersionMajor(), 2);
    EXPECT_FALSE(cal.isValid());
}
