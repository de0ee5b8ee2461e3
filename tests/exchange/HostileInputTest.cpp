// Messages no device should send: cut short, binary, huge, absurd, nested.
// The reader comes back from each without an exception and raises the end
// events of the blocks that did end, and no more.

#include <gtest/gtest.h>

#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "exchange/ExchangeTexts.h"
#include "exchange/iCalExport.h"
#include "tests/support/ImportRig.h"

using namespace wendra;
using namespace wendra::test;

namespace {

// An upper bound of how often the reader can see a name in the message: its
// keys drop blanks and case, and folds join lines.
std::size_t count(std::string_view text, std::string_view what) {
    std::string keyed;
    for (char c : text)
        if (c != ' ' && c != '\t' && c != '\0' && c != '\r' && c != '\n') keyed += (c >= 'a' && c <= 'z') ? c - 32 : c;
    std::size_t n = 0;
    for (auto at = keyed.find(what); at != std::string::npos; at = keyed.find(what, at + 1)) ++n;
    return n;
}

const std::string kGood[] = {
    crlf({"X-KSP-BEGIN:SYNC-TIME", "X-KSP-VERSION:1.0", "X-KSP-TIME:20260311T100500", "X-KSP-END:SYNC-TIME"}),
    crlf({"X-KSP-BEGIN:SYNC-DATA", "X-KSP-PROGRAM-UID:dev", "X-KSP-UID-PREFIX:P", "X-KSP-SYNC:20260301T080000 1",
          "X-KSP-SYNC:20260302T080000 2", "X-KSP-END:SYNC-DATA"}),
    crlf({"X-KSP-BEGIN:CONFIRM", "X-KSP-PROGRAM-UID:dev", "X-KSP-EVENT-QVRID:4", "X-KSP-EVENT-UID:d4",
          "X-KSP-LAST-MODIFIED:20260301T080000", "X-KSP-END:CONFIRM"}),
    crlf({"BEGIN:VCALENDAR", "VERSION:2.0", "BEGIN:VEVENT", "UID:a", "DTSTART:20260320T090000", "SUMMARY:one",
          " folded", "RRULE:FREQ=WEEKLY;BYDAY=MO,FR;COUNT=9", "BEGIN:VALARM", "END:VALARM", "END:VEVENT",
          "BEGIN:VEVENT", "UID:b", "DTSTART:20260321", "RDATE;VALUE=DATE:20260322", "END:VEVENT", "END:VCALENDAR"}),
    crlf({"BEGIN:VCALENDAR", "VERSION:2.0", "BEGIN:VTIMEZONE", "TZID:Z", "BEGIN:DAYLIGHT", "DTSTART:19870405T020000",
          "RRULE:FREQ=YEARLY;BYDAY=1SU;BYMONTH=4;UNTIL=20060402T070000Z", "TZOFFSETFROM:-0500", "TZOFFSETTO:-0400",
          "RDATE:19860427T020000", "END:DAYLIGHT", "BEGIN:STANDARD", "DTSTART:19671029T020000",
          "RRULE:FREQ=YEARLY;BYMONTHDAY=8,9,10,11,12,13,14;BYDAY=SU;BYMONTH=10", "TZOFFSETFROM:-0400",
          "TZOFFSETTO:-0500", "END:STANDARD", "END:VTIMEZONE", "BEGIN:VEVENT", "UID:z", "DTSTART;TZID=Z:20260320T090000",
          "EXDATE;TZID=\"Z\":20260327T090000", "RDATE;TZID=America/New_York:20260328T090000", "END:VEVENT",
          "END:VCALENDAR"}),
};

class Hostile : public ImportTest {
protected:
    std::size_t calls(std::string_view prefix) const {
        std::size_t n = 0;
        for (const auto& c : rec.calls) n += c.starts_with(prefix);
        return n;
    }
    // Every read over the message, and what must hold whatever its bytes.
    void readAll(const std::string& message) {
        rec.calls.clear();
        rec.events.clear();
        reader.readSyncTime(message, log);
        reader.readSyncData(message, log);
        reader.Confirmation(message, log);
        reader.readVCal(message, log);
        for (const auto& [call, name] : {std::pair{"EndSyncTime", "END:SYNC-TIME"}, {"EndSyncData", "END:SYNC-DATA"},
                                         {"Confirmed", "END:CONFIRM"}, {"EndVCalendar", "END:VCALENDAR"},
                                         {"EndVEvent", "BEGIN:VEVENT"}})
            EXPECT_LE(calls(call), count(message, name)) << call;
        EXPECT_EQ(reader.Calendar().CalEventCount(), 0);
        EXPECT_EQ(reader.CalEvent(), nullptr);
    }
};

}  // namespace

TEST_F(Hostile, EveryCutOfAGoodMessage) {
    const char* ends[] = {"EndSyncTime", "EndSyncData", "Confirmed", "EndVCalendar"};
    const char* markers[] = {"X-KSP-END:SYNC-TIME", "X-KSP-END:SYNC-DATA", "X-KSP-END:CONFIRM", "END:VCALENDAR"};
    for (int k = 0; k < 4; ++k)
        for (std::size_t n = 0; n <= kGood[k].size(); ++n) {
            const std::string cut = kGood[k].substr(0, n);
            readAll(cut);
            EXPECT_EQ(calls(ends[k]), cut.find(markers[k]) != std::string::npos ? 1u : 0u) << cut;
            if (cut.find("X-KSP-END:SYNC-DATA") == std::string::npos) {
                EXPECT_EQ(calls("createRequest"), 0u);
            }
        }
}

// The framer hands on what came before the end marker, however little of it
// survived, and the block still ends. Values that broke the read before:
// 16-bit overflows, "1e10", "#" alone, odd or non-hex hex text, short entries.
TEST_F(Hostile, AbsurdValuesInEveryBlock) {
    const std::vector<std::string> values = {
        "", ":", "\\:", "-99999999999999999999", "1e308", "1e10", "#", "#1e5", "0", "-1", "ZZZ", "00000000T000000",
        "99991231T235959Z", "16001231", "2026", "20261399T999999", std::string(5000, '9'), std::string("\xFF\x00\x80", 3),
        ";;;,,,", "FREQ=", "=", "MD", "LD LD", "D1 #", "FREQ=DAILY;INTERVAL=99999;COUNT=1e10;BYDAY=99XX;UNTIL=0"};
    const char* eventNames[] = {"UID", "DTSTART", "DTSTART;VALUE=DATE", "X-KSP-VIEWFROM", "X-KSP-PRIORWARN",
                                "X-KSP-AUTODELETE", "SUMMARY", "X-KSP-SUMMARY-UNIB", "X-KSP-SUMMARY-UTF8",
                                "DESCRIPTION", "LAST-MODIFIED", "DTSTAMP", "X-KSP-EVENTFORMAT", "RRULE", "RDATE",
                                "RDATE;VALUE=DATE", "EXDATE", "X-KSP-PROGRAM-UID", "BEGIN", "END", "DTSTART;TZID=Z",
                                "EXDATE;TZID=Europe/Berlin", "RDATE;TZID=\"", "SUMMARY;ALTREP=\"a:b\""};
    const char* blockNames[] = {"X-KSP-VERSION", "X-KSP-TIME", "X-KSP-TIME-DIFF", "X-KSP-PROGRAM-UID",
                                "X-KSP-UID-PREFIX", "X-KSP-SYNC", "X-KSP-EVENT-QVRID", "X-KSP-EVENT-UID",
                                "X-KSP-LAST-MODIFIED"};
    for (const auto& v : values) {
        for (const char* version : {"1.0", "2.0"})
            for (const char* name : eventNames) {
                readAll(vcal(version, {"UID:a", "DTSTART:20260320", std::string(name) + ":" + v}));
                EXPECT_EQ(calls("EndVEvent"), 1u) << name << ":" << v;
                EXPECT_EQ(calls("EndVCalendar"), 1u) << name << ":" << v;
            }
        for (const char* name : blockNames) {
            const std::string line = std::string(name) + ":" + v;
            readAll(crlf({"X-KSP-BEGIN:SYNC-TIME", line, "X-KSP-END:SYNC-TIME", "X-KSP-BEGIN:SYNC-DATA", line,
                          "X-KSP-END:SYNC-DATA", "X-KSP-BEGIN:CONFIRM", line, "X-KSP-END:CONFIRM"}));
            EXPECT_EQ(calls("EndSyncTime") + calls("EndSyncData") + calls("Confirmed"), 3u) << line;
        }
    }
}

TEST_F(Hostile, JunkHugeLinesAndNesting) {
    std::mt19937 rng(20260311);
    std::string junk(64 * 1024, '\0');
    for (char& c : junk) c = static_cast<char>(rng() & 0xFF);
    readAll(junk);
    readAll(kGood[3].substr(0, 80) + junk + "\r\nEND:VCALENDAR\r\n");
    EXPECT_EQ(calls("EndVCalendar"), 1u);

    // A megabyte in one line, in 20,000 folded ones, in blanks: each line skipped, the event still ends.
    std::string folded = "SUMMARY:x";
    for (int i = 0; i < 20000; ++i) folded += "\r\n " + std::string(60, 'b');
    for (const std::string& line : {"SUMMARY:" + std::string(1 << 20, 'A'), folded,
                                    "X-KSP-SUMMARY-UTF8:" + std::string(1 << 20, 'A'), "X" + std::string(1 << 20, ' ') + "UID:z"}) {
        readAll(vcal("1.0", {"UID:a", "DTSTART:20260320", line}));
        EXPECT_EQ(rec.calls, (std::vector<std::string>{"EndVEvent", "EndVCalendar"}));
    }
    EXPECT_TRUE(log.has(texts::kLineTooLong));
    // 20,000 one-date lines, each list copied whole at every line, took minutes under the sanitizers.
    std::string exLines;
    for (int i = 0; i < 20000; ++i) exLines += "EXDATE:" + formatICalDateTime(DateTime::ymd(2026, 3, 20).addDays(i), false) + "\r\n";
    readAll("BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nUID:a\r\nDTSTART:20260320\r\n" + exLines + "END:VEVENT\r\nEND:VCALENDAR\r\n");
    EXPECT_EQ(splitList(rec.only().ExDates()).size(), 20000u);

    std::string deep = "BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nUID:a\r\nDTSTART:20260320\r\n";
    for (int i = 0; i < 10000; ++i) deep += "BEGIN:VALARM\r\n";
    readAll(deep + "SUMMARY:inside\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n");
    EXPECT_EQ(rec.calls, (std::vector<std::string>{"EndVEvent", "EndVCalendar"}));
    std::string unclosed = "BEGIN:VCALENDAR\r\n";
    for (int i = 0; i < 1000; ++i) unclosed += "BEGIN:VEVENT\r\nUID:" + std::to_string(i) + "\r\nDTSTART:20260320\r\n";
    readAll(unclosed + "END:VCALENDAR\r\n");
    EXPECT_EQ(calls("EndVEvent unusable"), 1000u);
}

TEST_F(Hostile, AFailingHandlerLosesOnlyItsLine) {
    rec.onEndVEvent = [] { throw std::runtime_error("handler failed"); };
    reader.readVCal(kGood[3], log);
    EXPECT_EQ(rec.calls, (std::vector<std::string>{"EndVEvent", "EndVEvent", "EndVCalendar"}));
    EXPECT_EQ(reader.Calendar().CalEventCount(), 0);
    EXPECT_TRUE(log.has(texts::kErrorVCalendar));
}

// Seeded, so a failure comes back the same on every run.
TEST_F(Hostile, SeededRandomMutations) {
    const std::string words[] = {"BEGIN:VEVENT", "END:VEVENT", "BEGIN:VALARM", "END:VCALENDAR", "RRULE:", "UID:",
                                 "DTSTART:", "\r\n", "\r\n ", ":", ";", "#", "T", "Z", "X-KSP-SYNC:", "VERSION:2.0",
                                 "\t", "\xFF", "BEGIN:VTIMEZONE", "BEGIN:STANDARD", "TZOFFSETTO:", ";TZID=Z", "\""};
    clsCalEvent ev;
    ev.setIsRecurring(true);
    ev.addRRule().setFrequency(clsCalRRule::kDaily);
    std::vector<std::string> seeds(std::begin(kGood), std::end(kGood));
    seeds.emplace_back();
    iCalExport("x").Export(ev, seeds.back());
    std::mt19937 rng(17);
    for (int round = 0; round < 1500 && !HasFailure(); ++round) {
        std::string m = seeds[rng() % seeds.size()];
        for (int e = 1 + static_cast<int>(rng() % 8); e > 0 && !m.empty(); --e) {
            const std::size_t at = rng() % m.size();
            switch (rng() % 4) {
                case 0: m[at] = static_cast<char>(rng() & 0xFF); break;
                case 1: m.erase(at, rng() % 16); break;
                case 2: m.insert(at, words[rng() % std::size(words)]); break;
                default: m.insert(at, m.substr(rng() % m.size(), rng() % 64)); break;
            }
        }
        readAll(m);
        if (HasFailure()) ADD_FAILURE() << "round " << round << ":\n" << m;
    }
}
