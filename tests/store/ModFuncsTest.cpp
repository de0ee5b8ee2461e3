#include <gtest/gtest.h>

#include "platform/clock/FakeClock.h"
#include "store/ProgramState.h"
#include "store/modFuncs.h"
#include "store/modMessages.h"

using namespace wendra;

namespace {
DateTime d(int y, int m, int day, int h = 0, int mi = 0, int s = 0) { return DateTime::ymd(y, m, day, h, mi, s); }
}  // namespace

TEST(Dates, CompareToTheSecond) {
    const DateTime a = d(2024, 3, 5, 9, 7, 3);
    EXPECT_EQ(compareDates(a, a), DateOrder::Same);
    EXPECT_EQ(compareDates(a, a.addSeconds(1)), DateOrder::Earlier);
    EXPECT_EQ(compareDates(a, a.addSeconds(-1)), DateOrder::Later);
}

TEST(Dates, CombineAndMonthEnds) {
    EXPECT_EQ(combineDateTime(d(2024, 3, 5, 23, 0, 0), d(1899, 12, 30, 9, 7, 3)), d(2024, 3, 5, 9, 7, 3));
    EXPECT_EQ(lastDayOfMonth(d(2024, 12, 15)), d(2024, 12, 31));
    EXPECT_EQ(lastDayOfMonth(d(2024, 2, 1)), d(2024, 2, 29));
    EXPECT_TRUE(isMonthEnd(d(2024, 2, 29)));
    EXPECT_TRUE(isMonthEnd(d(2024, 4, 30)));
    EXPECT_TRUE(isMonthEnd(d(2024, 12, 31)));
    EXPECT_FALSE(isMonthEnd(d(2024, 2, 28)));
    EXPECT_TRUE(isMonthEnd(d(2023, 2, 28)));
}

TEST(Dates, TodayFollowsTheInstalledClock) {
    FakeClock clock(d(2026, 12, 8, 17, 45, 10));
    ClockOverride use(clock);
    EXPECT_EQ(today(), d(2026, 12, 8));
}

TEST(DateTexts, FormatICal) {
    const DateTime t = d(2024, 3, 5, 9, 7, 3);
    EXPECT_EQ(formatICalDateTime(t, false), "20240305");
    EXPECT_EQ(formatICalDateTime(t, true), "20240305T090703");
    EXPECT_EQ(formatICalDateTime(d(987, 1, 2), false), "09870102");
    EXPECT_EQ(formatTimeHMS(t, true), "09:07:03");
    EXPECT_EQ(formatTimeHMS(t, false), "090703");
    EXPECT_EQ(formatTimeHM(t), "09:07");
    EXPECT_EQ(formatLongDate(t, false, false), "5 March 2024");
    EXPECT_EQ(formatLongDate(t, true, true), "5 Mar 2024 09:07");
    EXPECT_EQ(weekdayText(t, false), "Tuesday");
    EXPECT_EQ(weekdayText(t, true), "Tue");
}

TEST(DateTexts, ParseFixedPositions) {
    EXPECT_EQ(parseICalDateTime("20240305T0907"), d(2024, 3, 5, 9, 7, 0));
    EXPECT_EQ(parseICalDateTime("20240305"), d(2024, 3, 5));
    EXPECT_EQ(parseICalDateTime("20240305T09"), d(2024, 3, 5, 9, 0, 0));
    EXPECT_EQ(parseICalDateTime("20240305T090703Z"), d(2024, 3, 5, 9, 7, 3));
    EXPECT_EQ(parseICalDateTime("20240305T090703 and more"), d(2024, 3, 5, 9, 7, 3));
    // A time that does not exist leaves the date standing.
    EXPECT_EQ(parseICalDateTime("20240305T250000"), d(2024, 3, 5));
    EXPECT_EQ(parseICalDateTime("20240305T9"), d(2024, 3, 5));
}

TEST(DateTexts, ParseGeneralForms) {
    // The C locale orders month before day.
    EXPECT_EQ(parseICalDateTime("2024-03-05"), d(2024, 3, 5));
    EXPECT_EQ(parseICalDateTime("2024-03-05 09:07:03"), d(2024, 3, 5, 9, 7, 3));
    EXPECT_EQ(parseICalDateTime("03/05/2024"), d(2024, 3, 5));
    EXPECT_EQ(parseICalDateTime("03/05/30"), d(1930, 3, 5));
    EXPECT_EQ(parseICalDateTime("03/05/29 2:05 PM"), d(2029, 3, 5, 14, 5, 0));
    EXPECT_EQ(parseICalDateTime("5 Mar 2024"), d(2024, 3, 5));
    EXPECT_EQ(parseICalDateTime("05-Mar-24"), d(2024, 3, 5));
    EXPECT_EQ(parseICalDateTime("March 5, 2024 10:00"), d(2024, 3, 5, 10, 0, 0));
    EXPECT_EQ(parseICalDateTime("09:30"), d(1899, 12, 30, 9, 30, 0));
}

TEST(DateTexts, ParseRefusesBrokenText) {
    for (const char* broken : {"", "2024", "202403", "2024030", "20240230", "2024XX05", "abcdefgh", "2024-02-30",
                               "13/45/2024", "5 Smarch 2024", "03/05/2024 25:00", "T", ",", "2024-03-05 9:7:3:1",
                               "\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9", "0-01,20320000000000", "99999999999/1/2"}) {
        EXPECT_FALSE(parseICalDateTime(broken)) << broken;
    }
}

TEST(DateTexts, LongRunsOfDigitsAreRefusedNotOverflowed) {
    const std::string many(40, '9');
    for (const std::string& text : {"1/1/" + many, many + "/1/2024", "1/" + many + "/2024", many + "-03-05",
                                    "5 Mar " + many, many + " March 5", "March " + many + ", 2024",
                                    "2024-03-05 " + many + ":00", std::string("4294967296/1/2024"), std::string("2147483648-1-1")})
        EXPECT_FALSE(parseICalDateTime(text)) << text;
}

TEST(DateTexts, PadAndFrequency) {
    EXPECT_EQ(padZeros(7, 2), "07");
    EXPECT_EQ(padZeros(123, 2), "23");
    EXPECT_EQ(padZeros("", 3), "000");
    EXPECT_EQ(frequencyText(1, true, 3), "Every 3 month ends");
    EXPECT_EQ(frequencyText(1, true, 1), "Month end");
    EXPECT_EQ(frequencyText(1, false, 2), "Every 2 months");
    EXPECT_EQ(frequencyText(0, false, 1), "Yearly");
    EXPECT_EQ(frequencyText(3, false, 10), "Every 10 days");
    EXPECT_EQ(frequencyText(7, false, 4), "Once");
    EXPECT_EQ(frequencyText(4, false, 1), "");
    EXPECT_EQ(frequencyText(9, false, 1), "Unknown");
    EXPECT_EQ(frequencyText(8, false, 1), "Unknown");
}

TEST(Lists, TrimCommas) {
    EXPECT_EQ(trimCommas(",a,b,"), "a,b");
    EXPECT_EQ(trimCommas(","), "");
    EXPECT_EQ(trimCommas(",,"), "");
    EXPECT_EQ(trimCommas(""), "");
    EXPECT_EQ(trimCommas("a"), "a");
}

TEST(Lists, DedupeComparesWholeItems) {
    EXPECT_EQ(dedupeList("  a,b,a  "), "a,b,");
    EXPECT_EQ(dedupeList("ab,a"), "ab,a,");
    // The all-day form of a day is a different item from a timed one on the same day.
    EXPECT_EQ(dedupeList("20240305T090000,20240305"), "20240305T090000,20240305,");
    EXPECT_EQ(dedupeList(""), "");
    EXPECT_EQ(dedupeList("a,,b,,"), "a,,b,");
    EXPECT_EQ(dedupeList("a,b,"), "a,b,");
}

TEST(Lists, SplitKeepsItemsAndAppends) {
    std::vector<std::string> items;
    EXPECT_EQ(splitList(items, " x , y,"), 2u);
    EXPECT_EQ(items[0], "x ");
    EXPECT_EQ(items[1], " y");
    EXPECT_EQ(splitList(items, "z"), 3u);
    EXPECT_TRUE(splitList("").empty());
    EXPECT_EQ(splitList(",").size(), 1u);  // one empty item
    std::vector<DateTime> dates;
    EXPECT_EQ(splitDateList(dates, "20240305,nonsense,20240306T101112"), 2u);
    EXPECT_EQ(dates[0], d(2024, 3, 5));
    EXPECT_EQ(dates[1], d(2024, 3, 6, 10, 11, 12));
}

TEST(Lists, StripTimesAndCount) {
    EXPECT_EQ(stripTimesFromList("20240305T090000,20240306,T1"), "20240305,20240306,T1,");
    EXPECT_EQ(stripTimesFromList(""), "");
    EXPECT_EQ(countOccurrences("aaaa", "aa"), 3u);
    EXPECT_EQ(countOccurrences("abc", ""), 0u);
}

TEST(Lists, PopToken) {
    std::string t = ",rest";
    EXPECT_EQ(popToken(t, ','), "");
    EXPECT_EQ(t, "rest");
    t = " solo ";
    EXPECT_EQ(popToken(t, ','), "solo");
    EXPECT_EQ(t, "");
    t = " a , b , c ";
    EXPECT_EQ(popToken(t, ','), "a");
    EXPECT_EQ(t, "b , c");
}

TEST(Lists, TextHelpers) {
    EXPECT_EQ(ensureSuffix("", ","), "");
    EXPECT_EQ(ensureSuffix("a", ","), "a,");
    EXPECT_EQ(ensureSuffix("a,", ","), "a,");
    EXPECT_EQ(overwriteAt("abcdef", "XY", 3), "abXYef");
    EXPECT_EQ(overwriteAt("abc", "XY", 3), "abXY");
    EXPECT_EQ(overwriteAt("abc", "XY", 9), "abcXY");
    EXPECT_EQ(overwriteAt("abc", "XY", 1), "XYc");
    EXPECT_EQ(lookupCode("we", {"MO", "WE"}, {1, 3}, -1, true), 3);
    EXPECT_EQ(lookupCode("we", {"MO", "WE"}, {1, 3}, -1, false), -1);
}

TEST(Numbers, ParseAndRanges) {
    EXPECT_EQ(toIntOrDefault("12", -1), 12);
    EXPECT_EQ(toIntOrDefault(" 12.5 ", -1), 12);
    EXPECT_EQ(toIntOrDefault("13.5", -1), 14);
    EXPECT_EQ(toIntOrDefault("32768", -1), -1);
    EXPECT_EQ(toIntOrDefault("-32768", -1), -32768);
    EXPECT_EQ(toIntOrDefault("1e3", -1), 1000);
    EXPECT_EQ(toIntOrDefault("12a", -1), -1);
    EXPECT_EQ(toIntOrDefault("", -1), -1);
    EXPECT_EQ(toIntOrDefault("-", -1), -1);
    EXPECT_EQ(toIntOrDefault("1e999", -1), -1);
    EXPECT_TRUE(isNumberInRange("5", 1, 9));
    EXPECT_TRUE(isNumberInRange("0.6", 1, 9));  // rounds up to the minimum
    EXPECT_FALSE(isNumberInRange("9.2", 1, 9));
    EXPECT_FALSE(isNumberInRange("99999", 0, 999));
    EXPECT_FALSE(isNumberInRange("x", 0, 999));
}

TEST(Arrays, SortsAreStable) {
    std::vector<int> v{3, 1, 2, 1};
    sortIntegers(v, true);
    EXPECT_EQ(v, (std::vector<int>{1, 1, 2, 3}));
    sortIntegers(v, false);
    EXPECT_EQ(v, (std::vector<int>{3, 2, 1, 1}));
    std::vector<DateTime> dates{d(2024, 3, 2), d(2024, 3, 1), d(2024, 3, 2), d(2024, 2, 1)};
    std::vector<std::string> names{"b1", "a", "b2", "z"};
    sortDates(dates, true, names);
    EXPECT_EQ(names, (std::vector<std::string>{"z", "a", "b1", "b2"}));
    sortDates(dates, false, names);
    EXPECT_EQ(names, (std::vector<std::string>{"b1", "b2", "a", "z"}));
    EXPECT_EQ(dates.front(), d(2024, 3, 2));
}

TEST(DatabaseValues, QuoteKeepsTheText) {
    EXPECT_EQ(sqlQuote("Mum's \"big\" day"), "'Mum''s \"big\" day'");
    EXPECT_EQ(sqlQuote(""), "''");
}

TEST(DatabaseValues, NullReaders) {
    const db::Value null;
    EXPECT_EQ(nzString(null), "");
    EXPECT_EQ(nzDate(null), d(1900, 1, 1));
    EXPECT_FALSE(nzBool(null));
    EXPECT_EQ(nzInt(null, 9), 9);
    EXPECT_EQ(nzString(db::Value{std::int64_t{42}}), "42");
    EXPECT_EQ(nzDate(db::Value{std::string("2024-03-05 09:07:03")}), d(2024, 3, 5, 9, 7, 3));
    EXPECT_EQ(nzDate(db::Value{d(2030, 1, 1)}), d(2030, 1, 1));
    EXPECT_TRUE(nzBool(db::Value{std::int64_t{-1}}));
    EXPECT_TRUE(nzBool(db::Value{std::string("True")}));
    EXPECT_FALSE(nzBool(db::Value{std::string("0")}));
    EXPECT_EQ(nzInt(db::Value{true}, 0), -1);
    EXPECT_EQ(nzInt(db::Value{std::int64_t{70000}}, 3), 3);
    EXPECT_EQ(nzInt(db::Value{std::string("12")}, 3), 12);
}

TEST(TaggedText, ReadsTheFirstClosedValue) {
    const std::string text = "<Desc>x</><Id>17</>";
    EXPECT_EQ(taggedValue(text, "<Id>"), "17");
    EXPECT_EQ(taggedValue(text, "<XId>"), "");
    EXPECT_EQ(taggedValue("<Id>17", "<Id>"), "");
    EXPECT_EQ(taggedValue("<id>17</>", "<Id>"), "");  // exact comparison
    EXPECT_EQ(tagText(Tag::OcDesc), "<OcDesc>");
    EXPECT_EQ(tagText(0), "</>");
    EXPECT_EQ(tagText(10), "");
    EXPECT_EQ(tagText(-1), "");
}

TEST(TaggedText, SafeValuesCannotForgeATag) {
    const std::string hostile = "<Id>5</> & <Occr>20990101</>";
    const std::string key = "<Desc>" + tagSafe(hostile) + "</><Id>17</>";
    EXPECT_EQ(taggedValue(key, Tag::Id), "17");
    EXPECT_EQ(taggedValue(key, Tag::Occr), "");
    EXPECT_EQ(untagValue(taggedValue(key, Tag::Desc)), hostile);
    EXPECT_EQ(untagValue(tagSafe("&lt;")), "&lt;");
}

TEST(Utf8, HexRoundTrip) {
    EXPECT_EQ(toUtf8Hex("\xC3\xA9"), "C3A9");
    EXPECT_EQ(fromUtf8Hex("C3A9"), "\xC3\xA9");
    EXPECT_EQ(fromUtf8Hex("EFBBBFC3A9"), "\xC3\xA9");
    EXPECT_EQ(toUtf8Hex(""), "");
    EXPECT_EQ(fromUtf8Hex(""), "");
    for (const std::string text : {"Mum's birthday", "\xE6\x97\xA5\xE6\x9C\xAC", "\xF0\x9F\x8E\x82 cake",
                                   "tab\there", "\xF0\x90\x8D\x88"}) {
        EXPECT_EQ(fromUtf8Hex(toUtf8Hex(text)), text);
    }
}

TEST(Utf8, ATextBeginningWithTheByteOrderMarkCharacterKeepsIt) {
    const std::string feff = "\xEF\xBB\xBF";
    for (const std::string& text : {feff, feff + "A", feff + feff + "A", "A" + feff, feff + "\xC3\xA9" + feff})
        EXPECT_EQ(fromUtf8Hex(toUtf8Hex(text)), text) << toUtf8Hex(text);
    // Texts stored before, with a mark in front, read as they always did.
    EXPECT_EQ(fromUtf8Hex("EFBBBF41"), "A");
    EXPECT_EQ(toUtf8Hex("A" + feff), "41EFBBBF");
    EXPECT_EQ(toUtf8Hex(feff + "A"), "EFBBBFEFBBBF41");
}

TEST(Utf8, DamagedHexNeverFails) {
    EXPECT_EQ(fromUtf8Hex("414"), "A");    // odd length: the last digit is dropped
    EXPECT_EQ(fromUtf8Hex("41ZZ42"), "AB");  // a pair that is not hex is skipped
    EXPECT_EQ(fromUtf8Hex("c3a9"), "\xC3\xA9");
    EXPECT_EQ(fromUtf8Hex("C3"), "\xEF\xBF\xBD");  // a cut sequence reads as the replacement character
    EXPECT_EQ(fromUtf8Hex("ZZ"), "");
}

TEST(Utf8, DecodeReplacesInvalidSequences) {
    EXPECT_EQ(utf8Decode("a\xFF" "b"), "a\xEF\xBF\xBD" "b");
    EXPECT_EQ(utf8Decode("\xC0\xAF"), "\xEF\xBF\xBD\xEF\xBF\xBD");  // overlong form
    EXPECT_EQ(utf8Decode("\xED\xA0\x80").substr(0, 3), "\xEF\xBF\xBD");  // a surrogate
    EXPECT_EQ(utf8Encode("A"), "\xEF\xBB\xBF" "A");
}

TEST(Utf8, UnicodeEscapesUseUtf16Units) {
    EXPECT_EQ(toUnicodeEscapes("A\xC3\xA9"), "\\u0041\\u00E9");
    EXPECT_EQ(toUnicodeEscapes("\xF0\x9F\x8E\x82"), "\\uD83C\\uDF82");
    EXPECT_EQ(toUnicodeEscapes(""), "");
}

TEST(ProgramState, SyncQueueKeepsDuplicatesInOrder) {
    ProgramState state;
    addSyncItem(state, "ignored");  // no synchronisation running
    EXPECT_FALSE(state.gSyncItems);
    state.gSyncItems.emplace();
    addSyncItem(state, "</Req>Request></><Id>1</>");
    addSyncItem(state, "</Req>Update</><Id>1</>");
    addSyncItem(state, "</Req>Request></><Id>1</>");
    ASSERT_EQ(state.gSyncItems->size(), 3u);
    EXPECT_EQ(state.gSyncItems->front(), "</Req>Request></><Id>1</>");
    EXPECT_EQ((*state.gSyncItems)[1], "</Req>Update</><Id>1</>");
}

TEST(ProgramState, MessagesAreFilled) {
    ProgramState state;
    initMessages(state);
    EXPECT_EQ(state.sMsgEventHidden,
              "The event has been hidden or deleted.\r\n\r\nTo remove hidden/deleted events from the list press F5 "
              "or select `Refresh` from the menu or toolbar.");
    EXPECT_FALSE(state.sWebAddress.empty());
}
