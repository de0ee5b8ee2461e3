// Calendars and their events: folding, matching, every property of the table,
// and the events the reader refuses to hand on for merging.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "exchange/ExchangeTexts.h"
#include "tests/support/ImportRig.h"
#include "tests/support/ZoneOverride.h"

using namespace wendra;
using namespace wendra::test;
using Calls = std::vector<std::string>;

namespace {

DateTime d(int y, int m, int day, int h = 0, int mi = 0, int s = 0) { return DateTime::ymd(y, m, day, h, mi, s); }

class VCalImport : public ImportTest {
protected:
    // A usable event around the lines: UID and DTSTART first.
    const clsCalEvent& event(std::initializer_list<std::string_view> lines, const char* version = "1.0") {
        std::string body = "BEGIN:VCALENDAR\r\nVERSION:" + std::string(version) +
                           "\r\nBEGIN:VEVENT\r\nUID:u1\r\nDTSTART:20260320T090000\r\n";
        for (auto l : lines) body += std::string(l) + "\r\n";
        body += "END:VEVENT\r\nEND:VCALENDAR\r\n";
        return readOne(body);
    }
};

}  // namespace

TEST_F(VCalImport, FoldingFollowsTheVersion) {
    const std::string folded = "SUMMARY:Dentist at\r\n the clinic\r\n\tnow";
    EXPECT_EQ(event({folded}, "1.0").Description(), "Dentist at the clinic now");
    rec.events.clear();
    EXPECT_EQ(event({folded}, "2.0").Description(), "Dentist atthe clinicnow");
}

TEST_F(VCalImport, NoVersionLineReadsAsVCalendar10) {
    reader.readVCal(crlf({"BEGIN:VCALENDAR", "BEGIN:VEVENT", "UID:a", "DTSTART:20260320", "SUMMARY:two", " words",
                          "RRULE:W2 #0", "END:VEVENT", "END:VCALENDAR"}),
                    log);
    const clsCalEvent& ev = rec.only();
    EXPECT_EQ(ev.Description(), "two words");
    ASSERT_EQ(ev.RRulesCount(), 1);
    EXPECT_EQ(ev.RRule(1)->Frequency(), clsCalRRule::kWeekly);
    EXPECT_EQ(ev.RRule(1)->Interval(), 2);
}

TEST_F(VCalImport, LineEndsOfEveryKind) {
    reader.readVCal("BEGIN:VCALENDAR\nVERSION:1.0\rBEGIN:VEVENT\r\nUID:x\nDTSTART:20260320\rSUMMARY:s\n\nEND:VEVENT"
                    "\r\nEND:VCALENDAR",
                    log);
    ASSERT_EQ(rec.events.size(), 1u);
    EXPECT_TRUE(rec.events[0].usable);
    EXPECT_EQ(rec.events[0].ev.Description(), "s");
    EXPECT_EQ(rec.calls.back(), "EndVCalendar");
}

TEST_F(VCalImport, KeysIgnoreBlanksCaseAndParameters) {
    const clsCalEvent& ev = event({"summary ; charset=windows-1252 : Tea \\: two ", "Last-Modified : 20260301T070000"});
    EXPECT_EQ(ev.Description(), "Tea \\: two");  // the value starts after the first unescaped colon
    EXPECT_EQ(ev.LastModified(), d(2026, 3, 1, 7, 0, 0));
}

TEST_F(VCalImport, StartDateGivesAllDayOrTimed) {
    struct Case {
        const char* value;
        DateTime start;
        bool allDay;
    } cases[] = {
        {"20260320", d(2026, 3, 20), true},
        {"20260320T093000", d(2026, 3, 20, 9, 30), false},
        {";VALUE=DATE:20260321", d(2026, 3, 21), true},
    };
    for (const auto& c : cases) {
        rec.events.clear();
        std::string line = std::string("DTSTART") + (c.value[0] == ';' ? "" : ":") + c.value;
        const clsCalEvent& ev = readOne(vcal("1.0", {"UID:a", line}));
        EXPECT_EQ(ev.EventStart(), c.start) << c.value;
        EXPECT_EQ(ev.AllDayEvent(), c.allDay) << c.value;
    }
}

TEST_F(VCalImport, LastModifiedBeatsDtStampInEitherOrder) {
    EXPECT_EQ(event({"DTSTAMP:20260101T000000", "LAST-MODIFIED:20260202T000000"}).LastModified(), d(2026, 2, 2));
    rec.events.clear();
    EXPECT_EQ(event({"LAST-MODIFIED:20260202T000000", "DTSTAMP:20260101T000000"}).LastModified(), d(2026, 2, 2));
    rec.events.clear();
    EXPECT_EQ(event({"DTSTAMP:20260101T000000"}).LastModified(), d(2026, 1, 1));
}

// Standard calendars stamp their changes in UTC; read as local time they
// decide the merge by the wrong copy.
TEST_F(VCalImport, UtcStampsAndDatesComeInLocalTime) {
    const ZoneOverride zone("EST5EDT,M3.2.0,M11.1.0");
    const clsCalEvent& ev = event({"LAST-MODIFIED:20260301T170000Z", "X-KSP-VIEWFROM:20260320T140000Z",
                                   "EXDATE:20260327T140000Z"},
                                  "2.0");
    EXPECT_EQ(ev.LastModified(), d(2026, 3, 1, 12, 0, 0));
    EXPECT_EQ(ev.ViewFromDate(), d(2026, 3, 20, 10, 0, 0));  // daylight time from 8 March
    EXPECT_EQ(ev.ExDates(), "20260327T100000");
}

TEST_F(VCalImport, PriorWarningWithinTheEditorsRangeElseDefault) {
    struct Case {
        const char* value;
        bool isDefault;
        int days;
    } cases[] = {
        {"DEFAULT", true, 30}, {"default", true, 30}, {"0", false, 0}, {"5", false, 5},  {"9", false, 9},
        {"10", true, 30},      {"-5", true, 30},      {"abc", true, 30}, {"1e10", true, 30}, {"", true, 30},
    };
    for (const auto& c : cases) {
        rec.events.clear();
        const clsCalEvent& ev = event({std::string("X-KSP-PRIORWARN:") + c.value});
        EXPECT_EQ(ev.PriorWarningIsDefault(), c.isDefault) << c.value;
        EXPECT_EQ(ev.PriorWarning(), c.days) << c.value;
    }
}

// "0" or "-5" stored as an auto-delete code would delete occurrences at once.
TEST_F(VCalImport, AutoDeleteIsManualOrOneToNineDays) {
    struct Case {
        const char* value;
        const char* stored;
    } cases[] = {{"M", "M"}, {"1", "1"}, {"9", "9"}, {"0", "M"}, {"-5", "M"}, {"12", "M"}, {"x", "M"}, {"", "M"}};
    for (const auto& c : cases) {
        rec.events.clear();
        EXPECT_EQ(event({std::string("X-KSP-AUTODELETE:") + c.value}).AutoDelete(), c.stored) << c.value;
    }
}

TEST_F(VCalImport, SummarySources) {
    // C3A9 is e acute; the 8-bit SUMMARY byte E9 is the same letter.
    struct Case {
        std::vector<std::string> lines;
        std::string description;
    } cases[] = {
        {{"SUMMARY:caf\xE9"}, "caf\xC3\xA9"},
        {{"SUMMARY:cafe?", "X-KSP-SUMMARY-UNIB:636166C3A9"}, "caf\xC3\xA9"},
        {{"X-KSP-SUMMARY-UTF8:636166C3A9", "SUMMARY:cafe?"}, "caf\xC3\xA9"},
        {{"SUMMARY:title", "DESCRIPTION:longer text"}, "title"},
        {{"DESCRIPTION:longer text", "SUMMARY:title"}, "title"},
        {{"DESCRIPTION:only text"}, "only text"},
        {{"SUMMARY:kept", "X-KSP-SUMMARY-UNIB:636"}, "kept"},   // odd hex: skipped
        {{"SUMMARY:kept", "X-KSP-SUMMARY-UNIB:63ZZ"}, "kept"},  // not hex: skipped
        {{"SUMMARY:Meeting", "BEGIN:VALARM", "DESCRIPTION:Reminder", "SUMMARY:Alarm", "END:VALARM"}, "Meeting"},
        {{"BEGIN:VALARM", "BEGIN:X-INNER", "END:X-INNER", "SUMMARY:Alarm", "END:VALARM", "DESCRIPTION:after"},
         "after"},
    };
    for (const auto& c : cases) {
        rec.events.clear();
        std::string body = vcal("1.0", {});
        std::string lines;
        for (const auto& l : c.lines) lines += l + "\r\n";
        body.insert(body.find("END:VEVENT"), "UID:a\r\nDTSTART:20260320\r\n" + lines);
        EXPECT_EQ(readOne(body).Description(), c.description) << c.lines[0];
    }
}

TEST_F(VCalImport, AnAlarmLeftOpenEndsWithItsEvent) {
    reader.readVCal(vcal("2.0", {"UID:a", "DTSTART:20260320", "BEGIN:VALARM", "DESCRIPTION:x"}), log);
    EXPECT_EQ(rec.calls, (Calls{"EndVEvent", "EndVCalendar"}));
    EXPECT_EQ(rec.events[0].ev.Description(), "");
}

TEST_F(VCalImport, EventsThatMustNotBeMergedStillEnd) {
    struct Case {
        std::string message;
        const char* reason;
    } cases[] = {
        {vcal("1.0", {"DTSTART:20260320", "SUMMARY:no uid"}), texts::kEventNoUid},
        {vcal("1.0", {"UID:", "DTSTART:20260320"}), texts::kEventNoUid},
        {vcal("1.0", {"UID:a", "SUMMARY:no start"}), texts::kEventNoStart},
        {vcal("1.0", {"UID:a", "DTSTART:2026-13-45"}), texts::kEventNoStart},
        {vcal("1.0", {"UID:a", "DTSTART:10000101"}), texts::kEventNoStart},
        {crlf({"BEGIN:VCALENDAR", "BEGIN:VEVENT", "UID:a", "DTSTART:20260320", "END:VCALENDAR"}),
         texts::kEventNotClosed},
    };
    for (const auto& c : cases) {
        rec.calls.clear();
        log.entries.clear();
        reader.readVCal(c.message, log);
        EXPECT_EQ(rec.calls, (Calls{"EndVEvent unusable", "EndVCalendar"})) << c.reason;
        ASSERT_FALSE(log.entries.empty());
        EXPECT_NE(log.entries.back().info.find(c.reason), std::string::npos) << c.reason;
    }
}

TEST_F(VCalImport, EachEventEndsOnceAndLeavesTheCalendar) {
    int heldDuringEnd = -1;
    rec.onEndVEvent = [&] { heldDuringEnd = reader.Calendar().CalEventCount(); };
    reader.readVCal(crlf({"BEGIN:VCALENDAR", "VERSION:1.0", "X-KSP-PROGRAM-UID:dev", "BEGIN:VEVENT", "UID:a",
                          "DTSTART:20260320", "BEGIN:VEVENT", "UID:b", "DTSTART:20260321", "END:VEVENT", "BEGIN:VEVENT",
                          "UID:c", "DTSTART:20260322", "END:VEVENT", "END:VCALENDAR"}),
                    log);
    EXPECT_EQ(rec.calls, (Calls{"RegisterXCalendar dev", "EndVEvent unusable", "EndVEvent", "EndVEvent",
                                "EndVCalendar"}));
    EXPECT_EQ(heldDuringEnd, 1);
    EXPECT_EQ(reader.Calendar().CalEventCount(), 0);
    EXPECT_EQ(reader.Calendar().XCalendarId(), 7);
    EXPECT_EQ(reader.CalEvent(), nullptr);
}

TEST_F(VCalImport, UnsupportedVersionStopsBeforeAnyEvent) {
    for (const char* version : {"3.0", "0.5", "x"}) {
        rec.calls.clear();
        log.entries.clear();
        EXPECT_TRUE(reader.readVCal(vcal(version, {"UID:a", "DTSTART:20260320"}), log));
        EXPECT_TRUE(rec.calls.empty()) << version;
        ASSERT_EQ(log.entries.size(), 1u);
        EXPECT_EQ(log.entries[0].message, texts::kUnsupportedVersion);
        EXPECT_EQ(log.entries[0].info, std::string(texts::kVersionNumberIs) + version);
    }
}

// "1.5" was rounded to 2 and refused as an unknown version.
TEST_F(VCalImport, AMinorVersionKeepsItsMajorNumber) {
    reader.readVCal(vcal("1.5", {"UID:a", "DTSTART:20260320", "RRULE:D2 #3"}), log);
    const clsCalEvent& ev = rec.only();
    ASSERT_EQ(ev.RRulesCount(), 1);  // read in the 1.0 grammar
    EXPECT_EQ(ev.RRule(1)->Interval(), 2);
    EXPECT_EQ(ev.RRule(1)->DurationCount(), 3);
}

TEST_F(VCalImport, DateLists) {
    struct Case {
        const char* line;
        const char* rdates;
        const char* exdates;
    } cases[] = {
        {"EXDATE:20260327T090000;20260403T090000", "", "20260327T090000,20260403T090000"},
        {"RDATE:20260328T090000;20260404T090000", "20260328T090000,20260404T090000", ""},
        {"RDATE;VALUE=DATE:20260328T090000,20260404", "20260328,20260404", ""},
        {"EXDATE:20260327T0900,junk,,20260403", "", "20260327T090000,20260403"},
        {"EXDATE:16000101", "", ""},
    };
    for (const auto& c : cases) {
        rec.events.clear();
        const clsCalEvent& ev = event({c.line});
        EXPECT_EQ(ev.RDates(), c.rdates) << c.line;
        EXPECT_EQ(ev.ExDates(), c.exdates) << c.line;
    }
    rec.events.clear();
    EXPECT_EQ(event({"EXDATE:20260327T090000", "EXDATE:20260403T090000"}).ExDates(), "20260327T090000,20260403T090000");
}

TEST_F(VCalImport, AllDayExtraDatesLoseTheMidnightTheWriterAdds) {
    const clsCalEvent& ev =
        readOne(vcal("1.0", {"UID:a", "DTSTART:20260320", "RDATE:20260328T000000,20260329T083000"}));
    EXPECT_EQ(ev.RDates(), "20260328,20260329T083000");
}

TEST_F(VCalImport, NumbersOfTheEventSaturate) {
    struct Case {
        const char* value;
        int format;
    } cases[] = {{"1", 1}, {"99999", 32767}, {"-1e10", -32768}, {"abc", 0}};
    for (const auto& c : cases) {
        rec.events.clear();
        EXPECT_EQ(event({std::string("X-KSP-EVENTFORMAT:") + c.value}).EventFormat(), c.format) << c.value;
    }
}

TEST_F(VCalImport, ViewFromThatIsNoDateKeepsTheStartValue) {
    const clsCalEvent& ev = event({"X-KSP-VIEWFROM:soon"});
    EXPECT_EQ(ev.ViewFromDate(), fixedNow().date());
    EXPECT_TRUE(log.has(texts::kBadValue));
}
