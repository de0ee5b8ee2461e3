// Every block the writer makes, byte for byte, and what the reader reads back.

#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <random>
#include <string>
#include <string_view>

#include "Version.h"
#include "exchange/iCalExport.h"
#include "tests/support/ImportRig.h"

using namespace wendra;
using namespace wendra::test;

namespace {

DateTime d(int y, int m, int day, int h = 0, int mi = 0) { return DateTime::ymd(y, m, day, h, mi); }

// A block: lines joined by CR LF, none after the last.
std::string block(std::initializer_list<std::string_view> lines) {
    std::string out;
    for (auto l : lines) out += (out.empty() ? "" : "\r\n") + std::string(l);
    return out;
}

const std::string kHead = block({"BEGIN:VCALENDAR", "VERSION:1.0",
                                 std::string("PRODID:-//https://www.wendrawin.example//Wendra(win)") + kVersionText + "//EN"});

// A recurring event listed from today, with one rule.
clsCalEvent recurring(DateTime start, int frequency, bool allDay, const char* byDay = "", int count = 0) {
    clsCalEvent ev;
    ev.setEventStart(start);
    ev.setAllDayEvent(allDay);
    ev.setViewFromDate(d(2026, 3, 11));
    ev.setIsRecurring(true);
    clsCalRRule& r = ev.addRRule();
    r.setFrequency(frequency);
    r.setByDay(byDay);
    r.setDurationCount(count);
    return ev;
}

class Export : public ImportTest {
protected:
    std::string exported(const clsCalEvent& ev) {
        std::string text;
        EXPECT_TRUE(writer.Export(ev, text));
        return text;
    }
    // The line of the block that begins with `name`, or "" when none does.
    std::string line(const clsCalEvent& ev, std::string_view name) {
        const std::string text = "\r\n" + exported(ev) + "\r\n";
        const auto at = text.find("\r\n" + std::string(name));
        return at == std::string::npos ? "" : text.substr(at + 2, text.find("\r\n", at + 2) - at - 2);
    }
    // The event after a trip through the writer and the reader.
    const clsCalEvent& roundTrip(const clsCalEvent& ev) {
        return readOne(exported(ev));
    }

    iCalExport writer{"https://www.wendrawin.example"};
};

}  // namespace

TEST_F(Export, RequestsCancelAndTheOtherBlocks) {
    for (const auto& [request, method] : {std::pair{6, "REQUEST<"}, std::pair{7, "REQUEST>"}}) {
        clsCalEvent ev;  // a request carries the start values of a new event
        ev.setUpdateRequest(request);
        ev.setXID("dev-77");
        EXPECT_EQ(exported(ev), block({kHead, std::string("X-QVR-METHOD:") + method, "BEGIN:VEVENT", "UID:dev-77",
                                       "DTSTART:20260311", "X-KSP-VIEWFROM:20260311", "X-KSP-PRIORWARN:DEFAULT",
                                       "X-KSP-AUTODELETE:M", "SUMMARY:", "X-KSP-SUMMARY-UTF8:",
                                       "LAST-MODIFIED:18991230T000000", "TRANSP:1", "END:VEVENT", "END:VCALENDAR"}));
    }
    clsCalEvent cancel;
    cancel.setUpdateRequest(clsCalEvent::kRequestDeleteEvent);
    cancel.setWendraWinId("15");
    EXPECT_EQ(exported(cancel),
              block({kHead, "X-QVR-METHOD:CANCEL", "BEGIN:VEVENT", "UID:QVRID-15", "END:VEVENT", "END:VCALENDAR"}));

    clsCalendar cal;
    cal.setTimeDiff(-42);
    const std::string ok = block({"BEGIN:QVR-SYNC-TIME", "X-QVR-SYNC-STATUS:OK", "X-QVR-TIME-DIFF:-42", "END:QVR-SYNC-TIME"});
    EXPECT_EQ(writer.syncTime(cal, iCalExport::kSyncOK), ok);
    EXPECT_EQ(writer.syncTime(cal, iCalExport::kSyncIncompatibleVersion),
              block({"BEGIN:QVR-SYNC-TIME", "X-QVR-SYNC-STATUS:INCOMPATIBLE-VERSION", "END:QVR-SYNC-TIME"}));
    EXPECT_EQ(writer.syncTime(cal, iCalExport::kSyncIncompatibleTime),
              block({"BEGIN:QVR-SYNC-TIME", "X-QVR-SYNC-STATUS:INCOMPATIBLE-TIME", "END:QVR-SYNC-TIME"}));
    EXPECT_EQ(writer.ExportEnd(), "BEGIN:QVR-EXPORT-END\r\nEND:QVR-EXPORT-END");
    EXPECT_EQ(iCalExport::KSP_encodeDate(d(2026, 3, 11, 10, 5), true), std::string("\x07\xF1\x03\x0B\x0A\x05", 6));
    EXPECT_EQ(iCalExport::KSP_encodeDate(d(2026, 3, 11, 10, 5), false), std::string("\x07\xF1\x03\x0B.", 5));
}

TEST_F(Export, PublishWithARuleTheDeviceCanEdit) {
    clsCalEvent ev = recurring(d(2026, 3, 31, 9, 30), clsCalRRule::kMonthly, false, "", 12);
    ev.setXID("dev-3");
    ev.setViewFromDate(d(2026, 3, 31, 9, 30));
    ev.setPriorWarningIsDefault(false);
    ev.setPriorWarning(3);
    ev.setAutoDelete("2");
    ev.setDescription("Caf\xC3\xA9 \xE2\x98\x95");  // e acute fits the code page, the cup does not
    ev.setLastModified(d(2026, 3, 1, 8, 15));
    ev.RRule(1)->setByMonthDay("28,29,30,31");
    ev.RRule(1)->setBySetPos("-1");
    // A whole day takes the event's time, as the device reads it; a timed midnight stays midnight.
    ev.setExDates("20260430,20260501T000000");
    ev.setHiddenList("20260531T093000");
    ev.setRDates("20260415T093000,20260416");
    EXPECT_EQ(exported(ev),
              block({kHead, "X-QVR-METHOD:PUBLISH", "BEGIN:VEVENT", "UID:dev-3", "DTSTART:20260331T093000",
                     "X-KSP-VIEWFROM:20260331T093000", "X-KSP-PRIORWARN:3", "X-KSP-AUTODELETE:2", "SUMMARY:Caf\xE9 ?",
                     "X-KSP-SUMMARY-UTF8:436166C3A920E29895", "LAST-MODIFIED:20260301T081500", "RRULE:MD1 LD #12",
                     "EXDATE:20260430T093000,20260501T000000,20260531T093000", "RDATE:20260415T093000,20260416T093000", "TRANSP:1", "END:VEVENT",
                     "END:VCALENDAR"}));
    // The read-back gives every field that travels.
    clsCalEvent back = ev;  // hidden dates go out as removed ones, with the event's time
    back.setExDates("20260430T093000,20260501T000000,20260531T093000");
    back.setRDates("20260415T093000,20260416T093000");
    back.RRule(1)->setByMonthDay("");  // "LD" reads as the month's last weekday of all seven
    back.RRule(1)->setByDay("MO,TU,WE,TH,FR,SA,SU");
    EXPECT_EQ(fields(roundTrip(ev)), fields(back));
}

TEST_F(Export, RuleAndDayMapLines) {
    const auto with = [](clsCalEvent ev, auto change) {
        change(ev);
        return ev;
    };
    const auto until = [](DateTime u) { return [u](clsCalEvent& e) { e.RRule(1)->setDurationUntil(u, true); }; };
    const auto monthEnd = [](clsCalEvent& e) { e.RRule(1)->setByMonthDay("28,29,30,31"), e.RRule(1)->setBySetPos("-1"); };
    const auto days2829 = [](clsCalEvent& e) { e.RRule(1)->setByMonthDay("28,29"), e.RRule(1)->setBySetPos("-1"); };
    const clsCalEvent daily = recurring(d(2026, 1, 1), clsCalRRule::kDaily, true, "MO,TU,WE,TH,FR,SA,SU");
    const clsCalEvent daily20 = recurring(d(2026, 3, 20, 9), clsCalRRule::kDaily, false);
    const clsCalEvent every2 = with(recurring(d(2026, 3, 20), clsCalRRule::kWeekly, true),
                                    [](clsCalEvent& e) { e.RRule(1)->setInterval(2); });
    const struct {
        clsCalEvent ev;
        const char* want;  // the RRULE or day map line; "" for neither
    } cases[] = {
        {recurring(d(2026, 3, 20), clsCalRRule::kYearly, true), "RRULE:YD1"},
        {with(recurring(d(2026, 3, 31), clsCalRRule::kMonthly, true),
              [](clsCalEvent& e) { e.RRule(1)->setByMonthDay("28,29,30,31"), e.RRule(1)->setBySetPos("-1"); }),
         "RRULE:MD1 LD"},
        {every2, "RRULE:W2"},
        {recurring(d(2026, 3, 20), clsCalRRule::kDaily, true, "", 7), "RRULE:D1 #7"},
        {with(daily20, until(d(2026, 3, 24))), "RRULE:D1 #5"},  // the until date as a count
        // Extra dates travel in RDATE: counted too, they carried the device's rule past its end.
        {with(with(every2, until(d(2026, 5, 1))), [](clsCalEvent& e) { e.setRDates("20260405"); }), "RRULE:W2 #4"},
        // Nothing left of the rule: "#0" would be endless on the device, the map holds the start.
        {with(daily20, until(d(2026, 3, 1))), "X-KSP-EVENTMAP2:8ox"},
        // A count from an UNTIL counts the start only where it is one of the rule's days, as the device does.
        {with(with(recurring(d(2026, 3, 15), clsCalRRule::kMonthly, true), monthEnd), until(d(2026, 6, 15))), "RRULE:MD1 LD #3"},
        // Rules the 1.0 grammar reads back as others go as the map: the 31st only in the months that have it,
        // the last of the 28th..29th from another day, more than 999, one that reads as no rule.
        {recurring(d(2026, 3, 31), clsCalRRule::kMonthly, true, "", 3), "X-KSP-EVENTMAP2:19ox60ox60ox"},
        {with(recurring(d(2026, 3, 29), clsCalRRule::kMonthly, true), days2829), "RRULE:MD1"},
        {with(recurring(d(2026, 3, 30), clsCalRRule::kMonthly, true, "", 3), days2829), "X-KSP-EVENTMAP2:18ox29ox29ox30ox"},
        {recurring(d(2026, 3, 20), clsCalRRule::kDaily, true, "", 1000), "X-KSP-EVENTMAP2:8o400x400x200x"},
        {with(recurring(d(2026, 3, 20), clsCalRRule::kDaily, true, "", 1), [](clsCalEvent& e) { e.setRDates("20260322"); }),
         "X-KSP-EVENTMAP2:8oxor"},
        {with(recurring(d(2026, 3, 15), clsCalRRule::kMonthly, true, "", 1), monthEnd), "X-KSP-EVENTMAP2:3ox15ox"},
        {daily, "X-KSP-EVENTMAP2:400x400x296x"},    // every day of the range, in runs of 400
        {with(daily, [](clsCalEvent& e) { e.setRDates("20260315,20400101"); }), "X-KSP-EVENTMAP2:3xr400x400x292x"},
        // An extra date that is also removed is no occurrence on the map either.
        {with(daily, [](clsCalEvent& e) { e.setRDates("20260315"), e.setExDates("20260315"); }),
         "X-KSP-EVENTMAP2:3xo400x400x292x"},
        {recurring(d(2026, 3, 13), clsCalRRule::kWeekly, true, "FR", 3), "X-KSP-EVENTMAP2:ox6ox6ox"},
        // No view date: the map starts after today.
        {with(recurring(d(2026, 3, 14), clsCalRRule::kWeekly, true, "SA", 2),
              [](clsCalEvent& e) { e.setViewFromDate(DateTime()); }),
         "X-KSP-EVENTMAP2:2ox6ox"},
        // Hourly rules went out as "RRULE:1"; the expansion gives them every day.
        {with(recurring(d(2026, 3, 20, 9), clsCalRRule::kHourly, false, "", 4),
              [](clsCalEvent& e) { e.RRule(1)->setInterval(12); }),
         "X-KSP-EVENTMAP2:8o4x"},
        {recurring(d(2025, 1, 6), clsCalRRule::kWeekly, true, "MO", 2), ""},  // nothing left in the range
    };
    for (const auto& c : cases) {
        const std::string rule = line(c.ev, "RRULE:"), map = line(c.ev, "X-KSP-EVENTMAP2:");
        EXPECT_TRUE(rule.empty() || map.empty());
        EXPECT_EQ(rule + map, c.want) << fields(c.ev);
    }
    EXPECT_EQ(iCalExport::runLengthMap(std::string(801, '0') + "rr1"), "400o400oo2rx");
}

TEST_F(Export, RawLinesCarryNoLineBreaks) {
    clsCalEvent ev;
    ev.setXID("dev\r\nX-INJECTED:1");
    ev.setDescription(std::string("two\r\nlines\0end", 14));
    ev.setHasExceptions(true);
    ev.setDescExceptions("\t20260320093000=Dentist\r\nroom 4\t20260327093000=Other \t");
    const std::string text = exported(ev);
    for (const char* want : {"\r\nUID:dev  X-INJECTED:1\r\n", "\r\nSUMMARY:two  lines end\r\n",
                             "\r\nX-KSP-SUMMARY-UTF8:74776F0D0A6C696E657300656E64\r\n",
                             "\r\nX-KSP-SUMMARY-EXCEPTION:20260320093000=Dentist  room 4\r\n"
                             "X-KSP-SUMMARY-EXCEPTION-UNIB:\\u0032\\u0030\\u0032\\u0036\\u0030\\u0033\\u0032\\u0030"
                             "\\u0030\\u0039\\u0033\\u0030\\u0030\\u0030\\u003D\\u0044\\u0065\\u006E\\u0074\\u0069"
                             "\\u0073\\u0074\\u000D\\u000A\\u0072\\u006F\\u006F\\u006D\\u0020\\u0034\r\n"
                             "X-KSP-SUMMARY-EXCEPTION:20260327093000=Other \r\n"})
        EXPECT_NE(text.find(want), std::string::npos) << want;
    EXPECT_EQ(text.find("X-KSP-SUMMARY-EXCEPTION:\r\n"), std::string::npos);  // the closing TAB is no entry
    EXPECT_EQ(text.find('\0'), std::string::npos);
    EXPECT_EQ(roundTrip(ev).Description(), ev.Description());  // the hex line keeps the exact text
}

// A random event of the kinds the program keeps: one rule of each frequency,
// month ends and the 29th to 31st among them, counts, UNTILs, and extra and
// removed dates, whole days and timed, midnight included.
clsCalEvent randomEvent(std::mt19937& rng) {
    const auto pick = [&rng](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    const int year = 2025 + pick(2), month = 1 + pick(12);
    const int day = std::min(pick(3) == 0 ? 29 + pick(3) : 1 + pick(28), DateTime::daysInMonth(year, month));
    const bool allDay = pick(2) == 0;
    const DateTime start = d(year, month, day, allDay ? 0 : pick(3) * 9, allDay ? 0 : pick(2) * 30);
    clsCalEvent ev = recurring(start, std::array{0, 1, 1, 1, 2, 3}[pick(6)], allDay);
    ev.setViewFromDate(start.date().addDays(-pick(3)));
    ev.setIsRecurring(pick(8) != 0);
    clsCalRRule& r = *ev.RRule(1);
    r.setInterval(1 + pick(3) / 2 * pick(3));
    if (r.Frequency() == clsCalRRule::kMonthly && pick(2) == 0) {
        r.setByMonthDay(std::array{"28,29", "28,29,30", "28,29,30,31"}[pick(3)]);
        r.setBySetPos("-1");
    }
    switch (pick(4)) {
        case 0: r.setDurationCount(1 + pick(30)); break;
        case 1: r.setDurationCount(990 + pick(20)); break;
        case 2: r.setDurationUntil(start.date().addDays(pick(1500) - 30), true); break;
        default: break;
    }
    const auto dateItem = [&](int offset) {  // a date, or the start's time, midnight or 15:00 that day
        const DateTime on = start.addDays(offset), times[] = {on, on, on.date(), on.date().addHours(15)};
        const int kind = allDay ? 0 : pick(4);
        return formatICalDateTime(times[kind], kind != 0);
    };
    // Removed dates on whole weeks and months from the start, so that some of them meet an occurrence.
    std::string ex, rd;
    for (int n = pick(3); n > 0; --n) ex += (ex.empty() ? "" : ",") + dateItem(std::array{7, 14, 28, 30, 31}[pick(5)] * (1 + pick(3)));
    for (int n = pick(3); n > 0; --n) rd += (rd.empty() ? "" : ",") + dateItem(1 + pick(400));
    ev.setExDates(ex);
    ev.setRDates(rd);
    return ev;
}

// The days a day map marks ("x" and "r"), as the device reads them: from the day after `from`.
std::vector<std::string> mapDays(std::string_view map, DateTime from) {
    std::vector<std::string> out;
    std::int64_t day = 1, run = 0;
    for (char c : map) {
        if (c >= '0' && c <= '9') {
            run = run * 10 + (c - '0');
            continue;
        }
        for (std::int64_t i = 0; i < std::max<std::int64_t>(run, 1); ++i, ++day)
            if (c != 'o') out.push_back(formatICalDateTime(from.addDays(day), false));
        run = 0;
    }
    return out;
}

// The device reads what the program writes as the reader here does: written,
// read back and expanded, an event has the occurrences it had, over the three
// years of the day map; one written as a day map has them on the map's days.
// Seeded, so a failure comes back the same on every run.
TEST_F(Export, WrittenAndReadBackTheOccurrencesStay) {
    std::mt19937 rng(30);
    for (int round = 0; round < 500 && !HasFailure(); ++round) {
        const clsCalEvent ev = randomEvent(rng);
        const DateTime from = ev.ViewFromDate().date();
        const DateTime first = from.addDays(1), last = std::max(from, today()).addDays(1096);
        std::vector<std::string> want = occurrences(ev, first, last), got;
        if (const std::string map = line(ev, "X-KSP-EVENTMAP2:"); !map.empty()) {
            for (auto& w : want) w.resize(8);
            want.erase(std::unique(want.begin(), want.end()), want.end());
            got = mapDays(map.substr(16), from);
        } else {
            got = occurrences(roundTrip(ev), first, last);
        }
        EXPECT_EQ(got, want) << "round " << round << ":\n" << exported(ev) << "\n" << fields(ev);
    }
}

TEST_F(Export, RoundTripOfAllDayAndNewEvents) {
    clsCalEvent allDay = recurring(d(2026, 3, 31), clsCalRRule::kDaily, true, "", 3);
    allDay.setWendraWinId("4");
    allDay.setRDates("20260415");  // written with T000000, read without
    allDay.setExDates("20260401");
    for (const clsCalEvent& ev : {allDay, clsCalEvent()}) {
        clsCalEvent want = ev;  // the default prior warning comes back as the settings' one
        want.setPriorWarning(rec.defaultPriorWarning);
        EXPECT_EQ(fields(roundTrip(ev)), fields(want));
        EXPECT_EQ(rec.only().XID(), "QVRID-" + ev.WendraWinId());
    }
}
