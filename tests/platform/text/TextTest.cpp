// The text primitives every layer shares: the two number grammars side by side,
// blanks, ASCII case and order, and two-digit fields.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/text/Text.h"
#include "platform/ui/NumberText.h"

namespace wendra {
namespace {

// What the stored texts and the wire may hold (parseScientific) and what a person
// types into a number box (ui::parseDecimal).
TEST(TextNumbers, TheTwoGrammarsSideBySide) {
    struct Case {
        const char* text;
        std::optional<double> scientific;
        std::optional<double> decimal;
    };
    const std::vector<Case> cases{
        {"42", 42, 42},
        {"  -7 ", -7, -7},
        {"+3", 3, 3},
        {"\t2.5\t", 2.5, 2.5},
        {".5", 0.5, 0.5},
        {"5.", 5, 5},
        {"1.5e3", 1500, std::nullopt},
        {"2E-2", 0.02, std::nullopt},
        {"\r\n12\r\n", 12, std::nullopt},  // line ends are blanks of a stored text only
        {"1e", std::nullopt, std::nullopt},
        {"1e+", std::nullopt, std::nullopt},
        {"1e999", std::nullopt, std::nullopt},  // out of range is no number
        {"", std::nullopt, std::nullopt},
        {"   ", std::nullopt, std::nullopt},
        {"-", std::nullopt, std::nullopt},
        {".", std::nullopt, std::nullopt},
        {"1.2.3", std::nullopt, std::nullopt},
        {"12a", std::nullopt, std::nullopt},
        {"1 2", std::nullopt, std::nullopt},
        {"0x10", std::nullopt, std::nullopt},
        {"--1", std::nullopt, std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(parseScientific(c.text), c.scientific) << '"' << c.text << '"';
        EXPECT_EQ(ui::parseDecimal(c.text), c.decimal) << '"' << c.text << '"';
    }
}

TEST(TextBlanks, TrimmedTakesBlanksAndLineEndsOffBothEnds) {
    EXPECT_EQ(trimmed("  a b \t"), "a b");
    EXPECT_EQ(trimmed("\r\nkey\r\n"), "key");
    EXPECT_EQ(trimmed(" \t\r\n"), "");
    EXPECT_EQ(trimmed(""), "");
    EXPECT_EQ(trimmed("\xC2\xA0x\xC2\xA0"), "\xC2\xA0x\xC2\xA0");  // a UTF-8 no-break space is text
}

TEST(TextCase, AsciiLettersOnlyChangeCase) {
    EXPECT_EQ(lowerAscii("DefaultDir=C:\\Ärger"), "defaultdir=c:\\Ärger");
    EXPECT_EQ(upperAscii("dbq=wendra.dt"), "DBQ=WENDRA.DT");
    EXPECT_EQ(lowerAscii('@'), '@');
    EXPECT_EQ(lowerAscii('['), '[');
    EXPECT_EQ(upperAscii('`'), '`');
    EXPECT_EQ(upperAscii('{'), '{');
    EXPECT_TRUE(equalsNoCase("PriorWarning", "priorwarning"));
    EXPECT_FALSE(equalsNoCase("PriorWarning", "PriorWarnings"));
    EXPECT_FALSE(equalsNoCase("ä", "Ä"));  // other letters keep their case
}

TEST(TextOrder, CompareNoCaseOrdersAsTheGridSorts) {
    struct Case {
        const char* a;
        const char* b;
        int order;
    };
    const std::vector<Case> cases{
        {"lunch", "LUNCH", 0},      {"Apple", "banana", -1}, {"banana", "Apple", 1},
        {"Lunch", "Lunch at one", -1}, {"", "a", -1},           {"", "", 0},
        // Bytes past ASCII order after every ASCII byte, as unsigned values.
        {"zebra", "\xC3\xA4rger", -1},
        // "_" lies between the upper and the lower case letters: folded, it sorts first.
        {"_x", "Ax", -1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(compareNoCase(c.a, c.b), c.order) << c.a << " / " << c.b;
        EXPECT_EQ(compareNoCase(c.b, c.a), -c.order) << c.b << " / " << c.a;
    }
}

TEST(TextFields, TwoDigitsPadsTheFieldsOfADateAndWritesOthersWhole) {
    EXPECT_EQ(twoDigits(0), "00");
    EXPECT_EQ(twoDigits(7), "07");
    EXPECT_EQ(twoDigits(59), "59");
    EXPECT_EQ(twoDigits(99), "99");
    EXPECT_EQ(twoDigits(100), "100");
    EXPECT_EQ(twoDigits(-5), "-5");
}

}  // namespace
}  // namespace wendra
