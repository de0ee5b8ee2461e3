// Messages no device should send: cut short, binary, huge, absurd, nested.
// The reader must come back from every one of them without an exception and
// raise the end events of the blocks that did end.

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <stdexcept>
#include <tuple>
#include <string>
#include <vector>

#include "exchange/ExchangeTexts.h"
#include "exchange/iCalExport.h"
#include "tests/support/ImportRig.h"

using namespace wendra;
using namespace wendra::test;

namespace {

// The message as the reader's keys see it: folds joined, blanks gone, upper case.
std::string keyed(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            std::size_t j = i + (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n' ? 2 : 1);
            if (j < text.size() && (text[j] == ' ' || text[j] == '\t')) {
                i = j;
                continue;
            }
            out += '\n';
        } else if (c != ' ' && c != '\t' && c != '\0') {
            out += (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
        }
    }
    return out;
}

std::size_t count(const std::string& message, std::string_view what) {
    const std::string text = keyed(message);
    std::size_t n = 0;
    for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

std::size_t calls(const RecordingImport& rec, std::string_view prefix) {
    std::size_t n = 0;
    for (const auto& c : rec.calls) n += c.starts_with(prefix);
    return n;
}

const std::string kSyncTime =
    crlf({"X-KSP-BEGIN:SYNC-TIME", "X-KSP-VERSION:1.0", "X-KSP-TIME:20260311T100500", "X-KSP-END:SYNC-TIME"});
const std::string kSyncData = crlf({"X-KSP-BEGIN:SYNC-DATA", "X-KSP-TIME-DIFF:5", "X-KSP-PROGRAM-UID:dev",
                                    "X-KSP-UID-PREFIX:P", "X-KSP-SYNC:20260301T080000 1",
                                    "X-KSP-SYNC:20260302T080000 2", "X-KSP-END:SYNC-DATA"});
const std::string kConfirm = crlf({"X-KSP-BEGIN:CONFIRM", "X-KSP-PROGRAM-UID:dev", "X-KSP-EVENT-QVRID:4",
                                   "X-KSP-EVENT-UID:d4", "X-KSP-LAST-MODIFIED:20260301T080000", "X-KSP-END:CONFIRM"});
const std::string kVCal =
    crlf({"BEGIN:VCALENDAR", "VERSION:2.0", "X-KSP-PROGRAM-UID:dev", "BEGIN:VEVENT", "UID:a", "DTSTART:20260320T090000",
          "SUMMARY:one", " folded", "RRULE:FREQ=WEEKLY;BYDAY=MO,FR;COUNT=9", "EXDATE:20260323T090000",
          "BEGIN:VALARM", "DESCRIPTION:x", "END:VALARM", "END:VEVENT", "BEGIN:VEVENT", "UID:b", "DTSTART:20260321",
          "X-KSP-SUMMARY-UTF8:C3A9", "RDATE;VALUE=DATE:20260322", "END:VEVENT", "END:VCALENDAR"});

class Hostile : public ImportTest {
protected:
    // Runs the message through every read and checks what must hold whatever
    // the bytes: no more end events than END lines, no event left behind.
    void readAll(const std::string& message) {
        rec.calls.clear();
        rec.events.clear();
        reader.readSyncTime(message, log);
        reader.readSyncData(message, log);
        reader.Confirmation(message, log);
        reader.readVCal(message, log);
        EXPECT_LE(calls(rec, "EndSyncTime"), count(message, "END:SYNC-TIME"));
        EXPECT_LE(calls(rec, "EndSyncData"), count(message, "END:SYNC-DATA"));
        EXPECT_LE(calls(rec, "Confirmed"), count(message, "END:CONFIRM"));
        EXPECT_LE(calls(rec, "EndVCalendar"), count(message, "END:VCALENDAR"));
        EXPECT_LE(calls(rec, "EndVEvent"), count(message, "BEGIN:VEVENT"));
        EXPECT_EQ(reader.Calendar().CalEventCount(), 0);
        EXPECT_EQ(reader.CalEvent(), nullptr);
    }
};

}  // namespace

TEST_F(Hostile, EveryCutOfAGoodMessage) {
    for (const std::string* good : {&kSyncTime, &kSyncData, &kConfirm, &kVCal}) {
        for (std::size_t n = 0; n <= good->size(); ++n) {
            const std::string cut = good->substr(0, n);
            readAll(cut);
            // The end events of the blocks whose END line came whole.
            if (cut.find("X-KSP-END:SYNC-TIME\r") != std::string::npos) {
                EXPECT_EQ(calls(rec, "EndSyncTime"), 1u);
            }
            if (cut.find("X-KSP-END:SYNC-DATA\r") != std::string::npos) {
                EXPECT_EQ(calls(rec, "EndSyncData"), 1u);
            }
            if (cut.find("X-KSP-END:CONFIRM\r") != std::string::npos) {
                EXPECT_EQ(calls(rec, "Confirmed"), 1u);
            }
            if (cut.find("END:VCALENDAR\r") != std::string::npos) {
                EXPECT_EQ(calls(rec, "EndVCalendar"), 1u);
                EXPECT_EQ(calls(rec, "EndVEvent"), 2u);
            }
            // A cut list never reaches the store.
            if (cut.find("X-KSP-END:SYNC-DATA") == std::string::npos) {
                EXPECT_EQ(calls(rec, "createRequest"), 0u);
            }
        }
    }
}

// The framer hands on what came before the end marker, however little of it
// survived: the block still ends.
TEST_F(Hostile, GarbledBodiesStillEnd) {
    const std::string junk = std::string("\x01\xFF\x00\x80 :;=\\", 10);
    for (const auto& [begin, end, name] :
         {std::tuple{"X-KSP-BEGIN:SYNC-TIME", "X-KSP-END:SYNC-TIME", "EndSyncTime"},
          std::tuple{"X-KSP-BEGIN:SYNC-DATA", "X-KSP-END:SYNC-DATA", "EndSyncData"},
          std::tuple{"X-KSP-BEGIN:CONFIRM", "X-KSP-END:CONFIRM", "Confirmed"},
          std::tuple{"BEGIN:VCALENDAR", "END:VCALENDAR", "EndVCalendar"}}) {
        readAll(crlf({begin, junk, "X-KSP-SYNC:2026030", "BEGIN:VEVENT", "DTSTART:", "UID", "X-KSP-TIME:",
                      "RRULE:#", "X-KSP-VERSION:", end}));
        EXPECT_EQ(calls(rec, name), 1u) << name;
    }
}

TEST_F(Hostile, BinaryJunk) {
    std::mt19937 rng(20260311);
    std::string junk(64 * 1024, '\0');
    for (char& c : junk) c = static_cast<char>(rng() & 0xFF);
    readAll(junk);
    readAll(kVCal.substr(0, 80) + junk + "\r\nEND:VCALENDAR\r\n");
    EXPECT_EQ(calls(rec, "EndVCalendar"), 1u);
}

TEST_F(Hostile, MegabyteLines) {
    const std::string huge(1024 * 1024, 'A');
    // One line of a megabyte, one folded out of many lines, one of blanks.
    std::string folded = "SUMMARY:x";
    for (int i = 0; i < 20000; ++i) folded += "\r\n " + std::string(60, 'b');
    for (const std::string& line : {"SUMMARY:" + huge, folded, "X-KSP-SUMMARY-UTF8:" + huge,
                                    std::string(1024 * 1024, ' ') + "UID:z"}) {
        readAll(vcal("1.0", {"UID:a", "DTSTART:20260320", line}));
        EXPECT_EQ(calls(rec, "EndVEvent"), 1u);
        EXPECT_EQ(calls(rec, "EndVCalendar"), 1u);
        if (!rec.events.empty()) {
            EXPECT_LE(rec.events[0].ev.Description().size(), 300u * 1024);
        }
    }
    EXPECT_TRUE(log.has(texts::kLineTooLong));
}

TEST_F(Hostile, EveryPropertyWithAbsurdValues) {
    const std::vector<std::string> values = {
        "", ":", "\\:", "-99999999999999999999", "99999999999999999999", "1e308", "-1e308", "1e10", "#", "#1e5",
        "0", "-1", "ZZZZ", "00000000T000000", "99991231T235959Z", "16001231", "2026", "20261399T999999",
        std::string(5000, '9'), std::string("\xFF\x00\x80", 3), ";;;,,,", "FREQ=", "=", "MD", "LD LD LD",
    };
    const char* properties[] = {"UID", "DTSTART", "DTSTART;VALUE=DATE", "X-KSP-VIEWFROM", "X-KSP-PRIORWARN",
                                "X-KSP-AUTODELETE", "SUMMARY", "X-KSP-SUMMARY-UNIB", "X-KSP-SUMMARY-UTF8",
                                "DESCRIPTION", "LAST-MODIFIED", "DTSTAMP", "X-KSP-EVENTFORMAT", "RRULE", "RDATE",
                                "RDATE;VALUE=DATE", "EXDATE", "VERSION", "X-KSP-PROGRAM-UID"};
    const char* rulePrefixes[] = {"FREQ=DAILY;INTERVAL=", "FREQ=DAILY;COUNT=", "FREQ=DAILY;UNTIL=",
                                  "FREQ=MONTHLY;BYMONTHDAY=", "FREQ=MONTHLY;BYDAY=", "FREQ=DAILY;WKST=", "D",
                                  "MD1 #", "W1 "};
    for (const char* version : {"1.0", "2.0"}) {
        for (const char* p : properties)
            for (const auto& v : values) {
                readAll(vcal(version, {"UID:a", "DTSTART:20260320", std::string(p) + ":" + v}));
                // A bad VERSION stops the read; every other value leaves the event to end.
                if (std::string(p) != "VERSION") {
                    EXPECT_EQ(calls(rec, "EndVEvent"), 1u) << p << ":" << v;
                }
            }
        for (const char* prefix : rulePrefixes)
            for (const auto& v : values) readAll(vcal(version, {"UID:a", "DTSTART:20260320", "RRULE:" + (prefix + v)}));
    }
    for (const char* p : {"X-KSP-VERSION", "X-KSP-TIME", "X-KSP-TIME-DIFF", "X-KSP-PROGRAM-UID", "X-KSP-UID-PREFIX",
                          "X-KSP-SYNC", "X-KSP-EVENT-QVRID", "X-KSP-EVENT-UID", "X-KSP-LAST-MODIFIED"})
        for (const auto& v : values) {
            const std::string line = std::string(p) + ":" + v;
            readAll(crlf({"X-KSP-BEGIN:SYNC-TIME", line, "X-KSP-END:SYNC-TIME", "X-KSP-BEGIN:SYNC-DATA", line,
                          "X-KSP-END:SYNC-DATA", "X-KSP-BEGIN:CONFIRM", line, "X-KSP-END:CONFIRM"}));
            EXPECT_EQ(calls(rec, "EndSyncTime"), 1u);
            EXPECT_EQ(calls(rec, "EndSyncData"), 1u);
            EXPECT_EQ(calls(rec, "Confirmed"), 1u);
        }
}

TEST_F(Hostile, NestedAndUnclosedComponents) {
    std::string deep = "BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nUID:a\r\nDTSTART:20260320\r\n";
    for (int i = 0; i < 10000; ++i) deep += "BEGIN:VALARM\r\n";
    deep += "SUMMARY:inside\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n";
    readAll(deep);
    EXPECT_EQ(rec.calls, (std::vector<std::string>{"EndVEvent", "EndVCalendar"}));

    std::string many = "BEGIN:VCALENDAR\r\n";
    for (int i = 0; i < 1000; ++i) many += "BEGIN:VEVENT\r\nUID:" + std::to_string(i) + "\r\nDTSTART:20260320\r\n";
    many += "END:VCALENDAR\r\n";
    readAll(many);
    EXPECT_EQ(calls(rec, "EndVEvent unusable"), 1000u);

    readAll("END:VEVENT\r\nEND:VALARM\r\nBEGIN:VCALENDAR\r\nEND:VALARM\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n");
    EXPECT_EQ(rec.calls, (std::vector<std::string>{"EndVCalendar"}));
}

// A handler that fails does not take the reader with it.
TEST_F(Hostile, AFailingHandlerLosesOnlyItsLine) {
    rec.onEndVEvent = [] { throw std::runtime_error("handler failed"); };
    reader.readVCal(kVCal, log);
    EXPECT_EQ(calls(rec, "EndVEvent"), 2u);
    EXPECT_EQ(calls(rec, "EndVCalendar"), 1u);
    EXPECT_EQ(reader.Calendar().CalEventCount(), 0);
    EXPECT_TRUE(log.has(texts::kErrorVCalendar));
}

// Seeded, so a failure comes back the same on every run.
TEST_F(Hostile, SeededRandomMutations) {
    std::mt19937 rng(17);
    const std::string words[] = {"BEGIN:VEVENT", "END:VEVENT", "BEGIN:VALARM", "END:VCALENDAR", "RRULE:", "UID:",
                                 "DTSTART:",     "\r\n",       "\r\n ",        ":",             ";",      "#",
                                 "T",            "Z",          "X-KSP-SYNC:",  "VERSION:2.0",   "\t",     "\xFF"};
    std::string publish;
    clsCalEvent ev;
    ev.setDescription("mutated");
    ev.setIsRecurring(true);
    ev.addRRule().setFrequency(clsCalRRule::kDaily);
    iCalExport("x").Export(ev, publish);
    const std::string seeds[] = {kSyncTime, kSyncData, kConfirm, kVCal, publish + "\r\n"};
    for (int round = 0; round < 1500; ++round) {
        std::string m = seeds[rng() % 5];
        const int edits = 1 + static_cast<int>(rng() % 8);
        for (int e = 0; e < edits && !m.empty(); ++e) {
            const std::size_t at = rng() % m.size();
            switch (rng() % 4) {
                case 0: m[at] = static_cast<char>(rng() & 0xFF); break;
                case 1: m.erase(at, rng() % 16); break;
                case 2: m.insert(at, words[rng() % std::size(words)]); break;
                default: m.insert(at, m.substr(rng() % m.size(), rng() % 64)); break;
            }
        }
        readAll(m);
        if (HasFailure()) {
            ADD_FAILURE() << "round " << round;
            return;
        }
    }
}
