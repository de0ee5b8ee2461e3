// The encoded event map: its stamps and lengths, and the reader's walk over
// marked days, time slots, extra dates and exclusions.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "store/iCalMapCodec.h"
#include "store/iCalMapReader.h"
#include "store/modFuncs.h"

namespace wendra {
namespace {

DateTime at(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) { return DateTime::ymd(y, mo, d, h, mi, s); }

struct Stamp {
    DateTime d;
    bool allDay;
};

// A map written piece by piece, as the creator writes one.
std::string makeMap(DateTime start, bool timed, const std::vector<int>& hours, const std::vector<int>& minutes,
                    const std::vector<int>& seconds, const std::string& days, const std::vector<Stamp>& extras = {},
                    const std::vector<DateTime>& exclusions = {}) {
    std::string out = encodeMapDate(start, timed);
    if (timed) {
        out += 'H';
        for (int v : hours) out += mapChar(v);
        out += 'M';
        for (int v : minutes) out += mapChar(v);
        out += 'S';
        for (int v : seconds) out += mapChar(v);
    }
    out += "B" + hexLength8(days.size()) + days;
    std::string r, x;
    for (const auto& e : extras) r += encodeMapDate(e.d, !e.allDay);
    for (DateTime e : exclusions) x += encodeMapDate(e, true);
    if (!r.empty()) out += "R" + hexLength8(r.size()) + r;
    if (!x.empty()) out += "X" + hexLength8(x.size()) + x;
    return out;
}

// Every occurrence of a walk, as date texts ("T" and the time unless all-day).
std::vector<std::string> walk(iCalMapReader& reader) {
    std::vector<std::string> out;
    for (DateTime d = reader.getFirstOccur(); !reader.endOfOccurs(); d = reader.getNextOccur()) {
        out.push_back(formatICalDateTime(d, !reader.AllDayOccur()));
        if (out.size() > 1000) break;  // a walk that never ends fails below rather than hangs
    }
    return out;
}

using Texts = std::vector<std::string>;

TEST(MapCodec, StampsAreBase255AndRoundTrip) {
    const std::string s = encodeMapDate(at(2026, 3, 9), false);
    ASSERT_EQ(s.size(), 4u);
    EXPECT_EQ(mapValue(s[0]), 7);
    EXPECT_EQ(mapValue(s[1]), 241);
    EXPECT_EQ(mapValue(s[2]), 3);
    EXPECT_EQ(mapValue(s[3]), 9);

    for (DateTime d : {at(2026, 3, 9, 17, 45, 59), at(100, 1, 1), at(9999, 12, 31, 23, 59, 59), at(2040, 2, 29, 0, 0, 1)}) {
        const std::string timed = encodeMapDate(d, true);
        ASSERT_EQ(timed.size(), 8u);
        EXPECT_EQ(timed[4], 'T');
        std::size_t pos = 0;
        EXPECT_EQ(readMapDate(timed, pos), d);
        EXPECT_EQ(pos, 8u);
        pos = 0;
        EXPECT_EQ(readMapDate(encodeMapDate(d, false), pos), d.date());
        EXPECT_EQ(pos, 4u);
    }
}

TEST(MapCodec, StampCutShortOrNoDayReadsNull) {
    std::size_t pos = 0;
    EXPECT_TRUE(readMapDate(std::string("\x07\xF1", 2), pos).isNull());
    EXPECT_EQ(pos, 2u);
    pos = 0;
    const std::string feb30 = std::string("\x07\xF1", 2) + mapChar(2) + mapChar(30);
    EXPECT_TRUE(readMapDate(feb30, pos).isNull());
    pos = 0;
    const std::string cutTime = encodeMapDate(at(2026, 1, 1), false) + "T" + mapChar(9);
    EXPECT_TRUE(readMapDate(cutTime, pos).isNull());
    EXPECT_EQ(pos, cutTime.size());
}

TEST(MapCodec, LengthsAreEightUpperCaseHexDigits) {
    EXPECT_EQ(hexLength8(300), "0000012C");
    EXPECT_EQ(hexLength8(0), "00000000");
    EXPECT_EQ(hexLength8(0xABCDEF12u), "ABCDEF12");
    std::size_t pos = 0;
    EXPECT_EQ(readHex8("0000012C", pos), 300u);
    EXPECT_EQ(pos, 8u);
    pos = 0;
    EXPECT_EQ(readHex8("12", pos), 0x12000000u);  // missing digits count as 0
    EXPECT_EQ(pos, 2u);
}

TEST(MapReader, TimedSlotsComeInTimeOrderAndRespectTheStartTime) {
    // Lists deliberately unsorted: the reader orders them.
    iCalMapReader r;
    r.setEncodedEventMap(makeMap(at(2026, 3, 9, 12, 0, 0), true, {17, 9}, {30, 0}, {0}, "101"));
    EXPECT_FALSE(r.AllDayEvent());
    EXPECT_EQ(r.getMapStartDate(), at(2026, 3, 9, 12));
    EXPECT_EQ(walk(r), (Texts{"20260309T170000", "20260309T173000", "20260311T090000", "20260311T093000",
                              "20260311T170000", "20260311T173000"}));
    EXPECT_FALSE(r.AllDayOccur());
}

TEST(MapReader, RepeatedTimeValuesGiveOneSlot) {
    iCalMapReader r;
    r.setEncodedEventMap(makeMap(at(2026, 3, 9), true, {9, 9}, {0, 0}, {0}, "1"));
    EXPECT_EQ(walk(r), (Texts{"20260309T090000"}));
}

TEST(MapReader, MissingTimeListsTakeTheStartTime) {
    // A map without time lists (the single-date form) has the start's time as its one slot.
    iCalMapReader r;
    r.setEncodedEventMap(encodeMapDate(at(2026, 3, 9, 8, 15, 30), true) + "B" + hexLength8(2) + "11");
    EXPECT_EQ(walk(r), (Texts{"20260309T081530", "20260310T081530"}));
}

TEST(MapReader, ExtraDatesMergeInOrderWithTheirOwnFlags) {
    iCalMapReader r;
    // Extras written out of order: the reader sorts them.
    r.setEncodedEventMap(makeMap(at(2026, 3, 9), false, {}, {}, {}, "1001",
                                 {{at(2026, 3, 20), true}, {at(2026, 3, 10, 14, 30), false}, {at(2026, 3, 15), true}}));
    EXPECT_TRUE(r.AllDayEvent());
    std::vector<bool> flags;
    Texts got;
    for (DateTime d = r.getFirstOccur(); !r.endOfOccurs(); d = r.getNextOccur()) {
        got.push_back(formatICalDateTime(d, !r.AllDayOccur()));
        flags.push_back(r.AllDayOccur());
    }
    EXPECT_EQ(got, (Texts{"20260309", "20260310T143000", "20260312", "20260315", "20260320"}));
    EXPECT_EQ(flags, (std::vector<bool>{true, false, true, true, true}));
    // Past the end the walk stays ended.
    EXPECT_TRUE(r.getNextOccur().isNull());
    EXPECT_TRUE(r.endOfOccurs());
}

TEST(MapReader, AnExtraEqualToADayOccurrenceWaitsBehindIt) {
    iCalMapReader r;
    r.setEncodedEventMap(makeMap(at(2026, 3, 9), false, {}, {}, {}, "11", {{at(2026, 3, 10), true}}));
    EXPECT_EQ(walk(r), (Texts{"20260309", "20260310", "20260310"}));
}

TEST(MapReader, ExclusionsRemoveSingleInstancesOfDaysAndExtras) {
    iCalMapReader r;
    r.setEncodedEventMap(makeMap(at(2026, 3, 9), true, {9, 17}, {0}, {0}, "11", {{at(2026, 3, 12, 8, 0), false}},
                                 {at(2026, 3, 12, 8, 0), at(2026, 3, 9, 17, 0), at(2026, 3, 1, 9, 0)}));
    EXPECT_EQ(walk(r), (Texts{"20260309T090000", "20260310T090000", "20260310T170000"}));
}

TEST(MapReader, OccurCountIsMarkedDaysOnly) {
    iCalMapReader r;
    r.setEncodedEventMap(makeMap(at(2026, 3, 9), true, {9, 12, 17}, {0, 30}, {0}, "1001",
                                 {{at(2026, 4, 1, 8, 0), false}}, {at(2026, 3, 9, 9, 0)}));
    EXPECT_EQ(r.getOccurCount(), 2);
    EXPECT_EQ(r.markedDays(), (std::vector<std::int64_t>{at(2026, 3, 9).dayNumber(), at(2026, 3, 12).dayNumber()}));
}

TEST(MapReader, EmptyMapEndsAtOnceAndALaterMapStartsClean) {
    iCalMapReader r;
    r.setEncodedEventMap(makeMap(at(2026, 3, 9), false, {}, {}, {}, "1", {{at(2026, 5, 1), true}}, {at(2026, 6, 1)}));
    EXPECT_EQ(walk(r).size(), 2u);

    r.setEncodedEventMap("");
    EXPECT_TRUE(r.getFirstOccur().isNull());
    EXPECT_TRUE(r.endOfOccurs());
    EXPECT_EQ(r.getOccurCount(), 0);

    r.setEncodedEventMap(makeMap(at(2026, 7, 1), false, {}, {}, {}, "01"));
    EXPECT_FALSE(r.endOfOccurs());
    EXPECT_EQ(walk(r), (Texts{"20260702"}));
}

TEST(MapReader, FirstOccurRewindsTheDaysButNotTheExtras) {
    iCalMapReader r;
    r.setEncodedEventMap(makeMap(at(2026, 3, 9), false, {}, {}, {}, "101", {{at(2026, 3, 10), true}}));
    EXPECT_EQ(walk(r), (Texts{"20260309", "20260310", "20260311"}));
    EXPECT_EQ(walk(r), (Texts{"20260309", "20260311"}));
}

TEST(MapReader, MoveToDateStandsOnADayOrASlot) {
    iCalMapReader r;
    r.setEncodedEventMap(makeMap(at(2026, 3, 9), true, {9, 17}, {0}, {0}, "111"));
    EXPECT_FALSE(r.moveToDate(at(2026, 3, 8, 9), false));   // before the map
    EXPECT_FALSE(r.moveToDate(at(2026, 3, 12, 9), false));  // after it
    EXPECT_FALSE(r.moveToDate(at(2026, 3, 10, 10), false)); // no such slot
    ASSERT_TRUE(r.moveToDate(at(2026, 3, 10, 9), false));
    EXPECT_EQ(r.getNextOccur(), at(2026, 3, 10, 17));
    ASSERT_TRUE(r.moveToDate(at(2026, 3, 10, 17), false));
    EXPECT_EQ(r.getNextOccur(), at(2026, 3, 11, 9));
    ASSERT_TRUE(r.moveToDate(at(2026, 3, 9), true));
    EXPECT_EQ(r.getNextOccur(), at(2026, 3, 10, 9));
}

TEST(MapReader, DamagedTextsAreNotReadPastTheirEnd) {
    const std::string good = makeMap(at(2026, 3, 9), false, {}, {}, {}, "11", {{at(2026, 3, 20), true}});
    for (std::size_t cut = 0; cut < good.size(); ++cut) {
        iCalMapReader r;
        r.setEncodedEventMap(good.substr(0, cut));
        EXPECT_LE(walk(r).size(), 3u) << cut;
    }
    iCalMapReader r;
    // A day count far beyond the text.
    r.setEncodedEventMap(encodeMapDate(at(2026, 3, 9), false) + "BFFFFFFFF01");
    EXPECT_EQ(walk(r), (Texts{"20260310"}));
    // An extra list announced longer than the text, its last stamp cut short.
    r.setEncodedEventMap(encodeMapDate(at(2026, 3, 9), false) + "B000000011" + "R00000100" +
                         encodeMapDate(at(2026, 3, 12), false) + std::string("\x07", 1));
    EXPECT_EQ(walk(r), (Texts{"20260309", "20260312"}));
}

}  // namespace
}  // namespace wendra
