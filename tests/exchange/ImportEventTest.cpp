// Calendars and their events: folding, matching, every property and both rule
// grammars as tables of lines and the fields they give, and the events the
// reader refuses to hand on for merging.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "exchange/ExchangeTexts.h"
#include "tests/support/ImportRig.h"

using namespace wendra;
using namespace wendra::test;
using Calls = std::vector<std::string>;

namespace {

constexpr const char* kAllDays = "MO,TU,WE,TH,FR,SA,SU";

class EventImport : public ImportTest {
protected:
    // The fields of the one event of a calendar with a UID, a start and the lines.
    std::string read(const std::vector<std::string>& lines, const char* version = "1.0") {
        std::string msg = "BEGIN:VCALENDAR\r\nVERSION:" + std::string(version) +
                          "\r\nBEGIN:VEVENT\r\nUID:u1\r\nDTSTART:20260320T090000\r\n";
        for (const auto& l : lines) msg += l + "\r\n";
        return fields(readOne(msg + "END:VEVENT\r\nEND:VCALENDAR\r\n"));
    }
    // The recurrence part of the fields ("Rec=..|R=..|") of a rule text read
    // into an event that starts on that day of January.
    std::string rule(bool vcal10, std::string_view text, int startDay = 10) {
        clsCalEvent ev;
        ev.setEventStart(DateTime::ymd(2026, 1, startDay, 9, 0));
        if (vcal10)
            iCalImport::parseVCalRRule(ev, text, log);
        else
            iCalImport::parseICalRRule(ev, text, log);
        const std::string f = fields(ev);
        return f.substr(f.find("Rec="));
    }
};

struct Row {
    std::vector<std::string> lines;
    const char* want;
    const char* version = "1.0";
};

}  // namespace

TEST_F(EventImport, Properties) {
    const Row rows[] = {
        // Folding keeps the blank under 1.0 and drops it under 2.0.
        {{"SUMMARY:Dentist at", " the clinic", "\tnow"}, "|D=Dentist at the clinic now|"},
        {{"SUMMARY:Dentist at", " the clinic", "\tnow"}, "|D=Dentist atthe clinicnow|", "2.0"},
        // Keys without blanks and case, parameters after the name, the first unescaped colon.
        {{"summary ; charset=x : Tea \\: two "}, "|D=Tea \\: two|"},
        {{"SUMMARY;ALTREP=\"http://example.com/x\":Meeting: 9:00"}, "|D=Meeting: 9:00|", "2.0"},
        {{"SUMMARY;X=\"open:Meeting"}, "|D=Meeting|", "2.0"},
        {{"DTSTART;VALUE=DATE:20260322"}, "|S=20260322|"},
        {{"DTSTART:20260323T093000"}, "|S=20260323T093000|"},
        {{"DTSTAMP:20260101T000000", "LAST-MODIFIED:20260202T000000"}, "|M=20260202T000000|"},
        {{"LAST-MODIFIED:20260202T000000", "DTSTAMP:20260101T000000"}, "|M=20260202T000000|"},
        // Prior warnings the editor cannot show are the default (30 here).
        {{"X-KSP-PRIORWARN:DEFAULT"}, "|P=D30|"},
        {{"X-KSP-PRIORWARN:0"}, "|P=0|"},
        {{"X-KSP-PRIORWARN:9"}, "|P=9|"},
        {{"X-KSP-PRIORWARN:10"}, "|P=D30|"},
        {{"X-KSP-PRIORWARN:-5"}, "|P=D30|"},
        {{"X-KSP-PRIORWARN:1e10"}, "|P=D30|"},
        // "0" or "-5" kept as auto-delete codes would delete occurrences at once.
        {{"X-KSP-AUTODELETE:9"}, "|A=9|"},
        {{"X-KSP-AUTODELETE:0"}, "|A=M|"},
        {{"X-KSP-AUTODELETE:-5"}, "|A=M|"},
        // The exact hex text first, then SUMMARY, DESCRIPTION only alone; not an alarm's lines.
        {{"SUMMARY:caf\xE9"}, "|D=caf\xC3\xA9|"},
        // 2.0 text is UTF-8 where it can be (a fold may cut a sequence), the device's code page otherwise.
        {{"SUMMARY:a\xC3\xA4\xC3", " \xB6"}, "|D=a\xC3\xA4\xC3\xB6|", "2.0"},
        {{"SUMMARY:caf\xE9 \xED\xA0\x80"}, "|D=caf\xC3\xA9 \xC3\xAD\xC2\xA0\xE2\x82\xAC|", "2.0"},
        {{"SUMMARY:a\xC3\xA4"}, "|D=a\xC3\x83\xC2\xA4|"},
        {{"SUMMARY:cafe?", "X-KSP-SUMMARY-UNIB:636166C3A9"}, "|D=caf\xC3\xA9|"},
        {{"X-KSP-SUMMARY-UTF8:636166C3A9", "SUMMARY:cafe?"}, "|D=caf\xC3\xA9|"},
        {{"DESCRIPTION:long", "SUMMARY:title"}, "|D=title|"},
        {{"DESCRIPTION:only text"}, "|D=only text|"},
        {{"SUMMARY:kept", "X-KSP-SUMMARY-UNIB:636"}, "|D=kept|"},
        {{"SUMMARY:Meeting", "BEGIN:VALARM", "DESCRIPTION:Reminder", "SUMMARY:Alarm", "END:VALARM"}, "|D=Meeting|"},
        {{"BEGIN:VALARM", "BEGIN:X-IN", "END:X-IN", "SUMMARY:Alarm", "END:VALARM", "DESCRIPTION:after"}, "|D=after|"},
        {{"BEGIN:VALARM", "DESCRIPTION:left open"}, "|D=|"},
        // Date lists: ";" read as ",", items written again, what is no date left out.
        {{"EXDATE:20260327T090000;20260403T090000"}, "|EX=20260327T090000,20260403T090000|"},
        {{"EXDATE:20260327T0900,junk,,20260403", "EXDATE:16000101"}, "|EX=20260327T090000,20260403|"},
        {{"RDATE:20260328T090000;20260404T090000"}, "|RD=20260328T090000,20260404T090000|"},
        {{"RDATE;VALUE=DATE:20260328T090000,20260404"}, "|RD=20260328,20260404|"},
        {{"DTSTART:20260320", "RDATE:20260328T000000,20260329T083000"}, "|RD=20260328,20260329T083000|"},
        {{"X-KSP-EVENTFORMAT:99999"}, "|F=32767|"},
        {{"X-KSP-VIEWFROM:soon"}, "|V=20260311T000000|"},
        // "1.5" reads in the 1.0 grammar; a rule that could not be read does not stand first.
        {{"RRULE:D2 #3"}, "|Rec=1|R=3,2,3,-,,,,2|", "1.5"},
        {{"RRULE:FREQ=NEVER", "RRULE:FREQ=WEEKLY;COUNT=4"}, "|Rec=1|R=2,1,4,-,,,,2|", "2.0"},
    };
    for (const auto& r : rows) {
        const std::string got = read(r.lines, r.version);
        EXPECT_NE(got.find(r.want), std::string::npos) << r.want << " not in " << got;
    }
}

// Standard calendars stamp changes in UTC; read as local time they decide the
// merge by the wrong copy.
TEST_F(EventImport, UtcInLocalTime) {
    const TimeZoneOverride zone("EST5EDT,M3.2.0,M11.1.0");
    const std::string got = read({"LAST-MODIFIED:20260301T170000Z", "X-KSP-VIEWFROM:20260320T140000Z",
                                  "EXDATE:20260327T140000Z", "RRULE:FREQ=DAILY;UNTIL=20260401T140000Z"},
                                 "2.0");
    EXPECT_NE(got.find("|V=20260320T100000|"), std::string::npos) << got;  // daylight time from 8 March
    EXPECT_NE(got.find("|M=20260301T120000|"), std::string::npos) << got;
    EXPECT_NE(got.find("|EX=20260327T100000|"), std::string::npos) << got;
    EXPECT_NE(got.find(",20260401T100000,"), std::string::npos) << got;
}

// Times in a named zone were read as local time, and an UNTIL earlier in its
// day than the start's time kept that day: the RFC's "every Tuesday and
// Thursday for five weeks" had 11 occurrences, not 10.
TEST_F(EventImport, TimesInNamedZones) {
    const std::string usEastern = crlf({
        "BEGIN:VTIMEZONE", "TZID:US-Eastern", "BEGIN:STANDARD", "DTSTART:19671029T020000",
        "RRULE:FREQ=YEARLY;BYDAY=-1SU;BYMONTH=10", "TZOFFSETFROM:-0400", "TZOFFSETTO:-0500", "END:STANDARD",
        "BEGIN:DAYLIGHT", "DTSTART:19870405T020000", "RRULE:FREQ=YEARLY;BYDAY=1SU;BYMONTH=4", "TZOFFSETFROM:-0500",
        "TZOFFSETTO:-0400", "END:DAYLIGHT", "END:VTIMEZONE"});
    // Yearly changes that name no day: on the day each began.
    const std::string bare = crlf({"BEGIN:VTIMEZONE", "TZID:Bare", "BEGIN:STANDARD", "DTSTART:19701101T020000",
                                   "RRULE:FREQ=YEARLY", "TZOFFSETFROM:-0400", "TZOFFSETTO:-0500", "END:STANDARD",
                                   "BEGIN:DAYLIGHT", "DTSTART:19700405T020000", "RRULE:FREQ=YEARLY",
                                   "TZOFFSETFROM:-0500", "TZOFFSETTO:-0400", "END:DAYLIGHT", "END:VTIMEZONE"});
    const char* fiveWeeks = "RRULE:FREQ=WEEKLY;UNTIL=19971007T000000Z;WKST=SU;BYDAY=TU,TH";
    const char* cet = "CET-1CEST,M3.5.0,M10.5.0/3";
    const struct {
        const char* machine;  // the machine's zone
        std::string vtimezone;
        std::vector<std::string> lines;
        const char* first;  // the first occurrence and how many there are
        std::size_t count;
        const char* logged = nullptr;
        const char* last = nullptr;
    } rows[] = {
        {"UTC0", usEastern, {"DTSTART;TZID=US-Eastern:19970902T090000", fiveWeeks}, "19970902T130000", 10},
        {cet, "", {"DTSTART;TZID=America/New_York:19970902T090000", fiveWeeks}, "19970902T150000", 10},
        {"UTC0", usEastern, {"DTSTART;TZID=US-Eastern:19971104T090000"}, "19971104T140000", 1},
        // Monday evenings there are Tuesday mornings here.
        {cet, "", {"DTSTART;TZID=America/Los_Angeles:19970901T200000", "RRULE:FREQ=WEEKLY;BYDAY=MO;COUNT=3"},
         "19970902T050000", 3},
        {"UTC0", usEastern, {"DTSTART;TZID=US-Eastern:19970902T090000", fiveWeeks, "EXDATE;TZID=US-Eastern:19970909T090000",
                        "RDATE;TZID=US-Eastern:19971001T120000"}, "19970902T130000", 10},
        {cet, "", {"DTSTART;VALUE=DATE-TIME;TZID=\"/example.org/2007_1/Europe/Berlin\":19970902T090000"},
         "19970902T090000", 1},
        // New York and Sydney change daylight saving on other days than here:
        // the store repeats the start's local time, and the removed date and
        // the UNTIL are taken at that slot, not an hour off it.
        {cet, "", {"DTSTART;TZID=America/New_York:20240108T100000", "RRULE:FREQ=WEEKLY;UNTIL=20240325T140000Z",
                      "EXDATE;TZID=America/New_York:20240318T100000"},
         "20240108T160000", 11, nullptr, "20240325T160000"},
        {cet, "", {"DTSTART;TZID=Australia/Sydney:20240902T180000", "RRULE:FREQ=WEEKLY;UNTIL=20241111T070000Z",
                      "EXDATE:20241104T070000Z"}, "20240902T100000", 10, nullptr, "20241111T100000"},
        {"UTC0", bare, {"DTSTART;TZID=Bare:19970902T090000"}, "19970902T130000", 1},
        {"UTC0", "", {"DTSTART;TZID=Nowhere/Land:19970902T090000"}, "19970902T090000", 1, texts::kUnknownTimeZone},
        {"UTC0", "", {"DTSTART;TZID=../../../etc/passwd:19970902T090000"}, "19970902T090000", 1,
         texts::kUnknownTimeZone},
        // The UNTIL's own day is kept from the first time of the rule that day.
        {"UTC0", "", {"DTSTART:19970902T090000", "RRULE:FREQ=DAILY;UNTIL=19970904T085959"}, "19970902T090000", 2},
        {"UTC0", "", {"DTSTART:19970902T090000", "RRULE:FREQ=DAILY;UNTIL=19970904T090000"}, "19970902T090000", 3},
        {"UTC0", "", {"DTSTART:19970902T090000", "RRULE:FREQ=DAILY;BYHOUR=8,9;UNTIL=19970904T080000"},
         "19970902T090000", 5},
    };
    for (const auto& r : rows) {
        const TimeZoneOverride zone(r.machine);
        std::string msg =
            "BEGIN:VCALENDAR\r\nVERSION:2.0\r\n" + r.vtimezone + "BEGIN:VEVENT\r\nUID:u1\r\n";
        for (const auto& l : r.lines) msg += l + "\r\n";
        log.entries.clear();
        const auto got = occurrences(readOne(msg + "END:VEVENT\r\nEND:VCALENDAR\r\n"), DateTime::ymd(1997, 1, 1),
                                     DateTime::ymd(2024, 12, 31));
        ASSERT_FALSE(got.empty()) << r.lines[0];
        EXPECT_EQ(std::pair(got.front(), got.size()), std::pair(std::string(r.first), r.count)) << r.lines[0];
        if (r.last) {
            EXPECT_EQ(got.back(), r.last) << r.lines[0];
        }
        EXPECT_EQ(log.has(texts::kUnknownTimeZone), r.logged != nullptr) << r.lines[0];
    }
}

TEST_F(EventImport, RuleGrammars) {
    const std::string monthEnd = std::string(kAllDays) + ",,-1,2|";
    const struct {
        bool vcal10;
        const char* text;
        std::string want;
        const char* logged = nullptr;
        const char* last = nullptr;
    } rows[] = {
        {true, "MD1 LD #12", "Rec=1|R=1,1,12,-," + monthEnd},
        {true, "W2 #0", "Rec=1|R=2,2,0,-,,,,2|"},
        {true, "D1 #1", "Rec=0|R=3,1,1,-,,,,2|"},
        {true, "YD1 20261231T000000", "Rec=1|R=0,1,0,20261231,,,,2|"},
        // Count and until for every code: these were endless.
        {true, "YM1 6 #5", "Rec=1|R=0,1,5,-,,,,2|"},
        {true, "MP1 1+ MO 20261231", "Rec=1|R=1,1,0,20261231,,,,2|"},
        {true, "D99999", "Rec=1|R=3,1,0,-,,,,2|", texts::kIntervalTooLarge10},
        {true, "D123456789012345678901234567890", "Rec=1|R=3,1,0,-,,,,2|", texts::kIntervalTooLarge10},
        {true, "W0", "Rec=1|R=2,1,0,-,,,,2|", texts::kValueChanged},
        {true, "D1 #", "Rec=1|R=3,1,0,-,,,,2|", texts::kBadValue},
        {true, "D1 #5000", "Rec=1|R=3,1,999,-,,,,2|", texts::kDurationTooLarge10},
        {true, "X1", "Rec=0|", texts::kInvalidFrequency10},
        {true, "D1X", "Rec=0|", texts::kInvalidCharacters10},
        {true, "", "Rec=0|", texts::kRuleDropped},
        {false, "FREQ=WEEKLY;INTERVAL=2;BYDAY=MO,WE;WKST=SU", "Rec=1|R=2,2,0,-,MO,WE,,,1|"},
        {false, "freq=daily;count=5", "Rec=1|R=3,1,5,-,,,,2|"},
        {false, "FREQ=DAILY;COUNT=1", "Rec=0|R=3,1,1,-,,,,2|"},
        {false, "FREQ=HOURLY", "Rec=1|R=4,1,0,-,,,,2|"},
        {false, "FREQ=DAILY;COUNT=5000", "Rec=1|R=3,1,999,-,,,,2|", texts::kValueChanged},
        {false, "FREQ=DAILY;COUNT=x", "Rec=1|R=3,1,0,-,,,,2|", texts::kCountNotNumeric20},
        {false, "FREQ=DAILY;INTERVAL=0", "Rec=1|R=3,1,0,-,,,,2|", texts::kValueChanged},
        {false, "FREQ=DAILY;INTERVAL=40000", "Rec=1|R=3,1,0,-,,,,2|", texts::kIntervalTooLarge20},
        {false, "FREQ=DAILY;INTERVAL=two", "Rec=1|R=3,1,0,-,,,,2|", texts::kIntervalNotNumeric20},
        {false, "FREQ=MONTHLY;UNTIL=20261231", "Rec=1|R=1,1,0,20261231,,,,2|"},
        {false, "FREQ=MONTHLY;UNTIL=20261231T120000", "Rec=1|R=1,1,0,20261231T120000,,,,2|"},
        {false, "FREQ=MONTHLY;UNTIL=00010101", "Rec=1|R=1,1,0,-,,,,2|", texts::kUntilNotDate20},
        {false, "FREQ=MONTHLY;BYMONTHDAY=1,-1,0,32,x,15,1.5", "Rec=1|R=1,1,0,-,,1,-1,15,,2|", texts::kRuleItemsDropped},
        {false, "FREQ=MONTHLY;BYDAY=MO,2TU,-1FR,XX,0MO,54MO,+1SU,MOTU;BYSETPOS=-1,0,400",
         "Rec=1|R=1,1,0,-,MO,2TU,-1FR,+1SU,,-1,2|", texts::kRuleItemsDropped},
        {false, "FREQ=YEARLY;X-NAME=1;;NOEQUALS;WKST=XX", "Rec=1|R=0,1,0,-,,,,2|", texts::kInvalidWeekStart20},
        {false, "FREQ=DAILY;WKST=TH", "Rec=1|R=3,1,0,-,,,,5|"},
        {false, "FREQ=FORTNIGHTLY", "Rec=0|", texts::kInvalidFrequency20},
        {false, "INTERVAL=2", "Rec=0|", texts::kRuleDropped},
        {false, "FREQ=DAILY;FREQ=SOMETIMES", "Rec=0|", texts::kRuleDropped},
    };
    for (const auto& r : rows) {
        log.entries.clear();
        EXPECT_EQ(rule(r.vcal10, r.text), r.want) << r.text;
        EXPECT_TRUE(!r.logged || log.has(r.logged)) << r.text;
    }
    // A monthly rule from the 29th to 31st keeps to the last of those days each month has.
    EXPECT_EQ(rule(true, "MD1", 29), "Rec=1|R=1,1,0,-,,28,29,-1,2|");
    EXPECT_EQ(rule(true, "MD1", 31), "Rec=1|R=1,1,0,-,,28,29,30,31,-1,2|");
    EXPECT_EQ(rule(true, "MD1 LD", 29), "Rec=1|R=1,1,0,-," + monthEnd);
    // At most 100 tokens after the first are read.
    std::string text = "D1";
    for (int i = 0; i < 99; ++i) text += " MO";
    EXPECT_EQ(rule(true, text + " #3"), "Rec=1|R=3,1,3,-,,,,2|");
    EXPECT_EQ(rule(true, text + " MO #3"), "Rec=1|R=3,1,0,-,,,,2|");
    clsCalEvent ev;
    iCalImport::parseICalRRule(ev, "FREQ=YEARLY;BYMONTH=0,1,12,13;BYWEEKNO=-53,54,1;BYYEARDAY=366,-367;"
                                   "BYHOUR=0,23,24;BYMINUTE=59,60;BYSECOND=60,61", log);
    const clsCalRRule& r = *ev.RRule(1);
    EXPECT_EQ(r.ByMonth() + "|" + r.ByWeekNo() + "|" + r.ByYearDay() + "|" + r.ByHour() + "|" + r.ByMinute() + "|" +
                  r.BySecond(),
              "1,12|-53,1|366|0,23|59|60");
}

TEST_F(ImportTest, CalendarLevel) {
    // Every kind of line end; no VERSION reads as 1.0 (blank kept at the fold, 1.0 rule).
    reader.readVCal("BEGIN:VCALENDAR\nBEGIN:VEVENT\r\nUID:x\nDTSTART:20260320\rSUMMARY:two\r\n words\n\nRRULE:W2\r\n"
                    "END:VEVENT\r\nEND:VCALENDAR",
                    log);
    const std::string f = fields(rec.only());
    EXPECT_TRUE(f.find("|D=two words|") != std::string::npos && f.find("|Rec=1|R=2,2,") != std::string::npos) << f;
    // A byte-order mark, which dropped the whole calendar, is passed over and says the text is UTF-8.
    EXPECT_EQ(readOne("\xEF\xBB\xBF" + vcal("1.0", {"UID:b", "DTSTART:20260321", "SUMMARY:\xC3\xA4"})).Description(),
              "\xC3\xA4");
    // The calendar holds the event being read, and only while it is read.
    rec.calls.clear();
    int heldDuringEnd = -1;
    rec.onEndVEvent = [&] { heldDuringEnd = reader.Calendar().CalEventCount(); };
    reader.readVCal(crlf({"BEGIN:VCALENDAR", "X-KSP-PROGRAM-UID:dev", "BEGIN:VEVENT", "UID:b", "DTSTART:20260321",
                          "END:VEVENT", "END:VCALENDAR"}),
                    log);
    EXPECT_EQ(rec.calls, (Calls{"RegisterXCalendar dev", "EndVEvent", "EndVCalendar"}));
    EXPECT_EQ(heldDuringEnd, 1);
    EXPECT_EQ(reader.Calendar().CalEventCount(), 0);
    EXPECT_EQ(reader.Calendar().XCalendarId(), 7);
    // An unsupported version stops the read before any event.
    for (const char* version : {"3.0", "0.5", "x"}) {
        rec.calls.clear();
        log.entries.clear();
        EXPECT_TRUE(reader.readVCal(vcal(version, {"UID:a", "DTSTART:20260320"}), log));
        EXPECT_TRUE(rec.calls.empty()) << version;
        ASSERT_EQ(log.entries.size(), 1u);
        EXPECT_EQ(log.entries[0].message + log.entries[0].info,
                  std::string(texts::kUnsupportedVersion) + texts::kVersionNumberIs + version);
    }
}

// Such events were merged as today-dated or unlinked ones on every sync; they
// still end, so the exchange moves on.
TEST_F(ImportTest, EventsThatMustNotBeMergedStillEnd) {
    const struct {
        std::string message;
        const char* reason;
    } cases[] = {
        {vcal("1.0", {"DTSTART:20260320", "SUMMARY:no uid"}), texts::kEventNoUid},
        {vcal("1.0", {"UID:", "DTSTART:20260320"}), texts::kEventNoUid},
        {vcal("1.0", {"UID:a", "SUMMARY:no start"}), texts::kEventNoStart},
        {vcal("1.0", {"UID:a", "DTSTART:2026-13-45"}), texts::kEventNoStart},
        {vcal("1.0", {"UID:a", "DTSTART:10000101"}), texts::kEventNoStart},
        {crlf({"BEGIN:VCALENDAR", "BEGIN:VEVENT", "UID:a", "DTSTART:20260320", "END:VCALENDAR"}), texts::kEventNotClosed},
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
