// Every block the writer makes, byte for byte.

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <string_view>

#include "Version.h"
#include "exchange/iCalExport.h"
#include "platform/clock/Clock.h"

using namespace wendra;

namespace {

DateTime d(int y, int m, int day, int h = 0, int mi = 0, int s = 0) { return DateTime::ymd(y, m, day, h, mi, s); }

// The expected block: lines joined by CR LF, none after the last.
std::string block(std::initializer_list<std::string_view> lines) {
    std::string out;
    for (auto l : lines) {
        if (!out.empty()) out += "\r\n";
        out += l;
    }
    return out;
}

const std::string kProductId =
    std::string("PRODID:-//https://www.wendrawin.example//Wendra(win)") + kVersionText + "//EN";

class Export : public ::testing::Test {
protected:
    std::string exported(const clsCalEvent& ev) {
        std::string text;
        EXPECT_TRUE(writer.Export(ev, text));
        return text;
    }
    // The one line of the block that begins with `name`, or "" when none does.
    std::string line(const clsCalEvent& ev, std::string_view name) {
        const std::string text = "\r\n" + exported(ev) + "\r\n";
        const auto at = text.find("\r\n" + std::string(name));
        if (at == std::string::npos) return {};
        return text.substr(at + 2, text.find("\r\n", at + 2) - at - 2);
    }
    // A recurring event from `start`, listed from today, with one rule.
    static clsCalEvent recurring(DateTime start, int frequency, bool allDay = false) {
        clsCalEvent ev;
        ev.setEventStart(start);
        ev.setAllDayEvent(allDay);
        ev.setViewFromDate(DateTime::ymd(2026, 3, 11));
        ev.setIsRecurring(true);
        ev.addRRule().setFrequency(frequency);
        return ev;
    }

    FakeClock clock{d(2026, 3, 11, 10, 0, 0)};
    ClockOverride useClock{clock};
    iCalExport writer{"https://www.wendrawin.example"};
};

}  // namespace

TEST_F(Export, RequestsCarryTheStartValuesOfANewEvent) {
    for (const auto& [request, method] : {std::pair{6, "REQUEST<"}, std::pair{7, "REQUEST>"}}) {
        clsCalEvent ev;
        ev.setUpdateRequest(request);
        ev.setXID("dev-77");
        EXPECT_EQ(exported(ev), block({"BEGIN:VCALENDAR", "VERSION:1.0", kProductId,
                                       std::string("X-QVR-METHOD:") + method, "BEGIN:VEVENT", "UID:dev-77",
                                       "DTSTART:20260311", "X-KSP-VIEWFROM:20260311", "X-KSP-PRIORWARN:DEFAULT",
                                       "X-KSP-AUTODELETE:M", "SUMMARY:", "X-KSP-SUMMARY-UTF8:",
                                       "LAST-MODIFIED:18991230T000000", "TRANSP:1", "END:VEVENT", "END:VCALENDAR"}));
    }
}

TEST_F(Export, CancelOfALocalOnlyEvent) {
    clsCalEvent ev;
    ev.setUpdateRequest(clsCalEvent::kRequestDeleteEvent);
    ev.setWendraWinId("15");
    ev.setDescription("not sent");
    EXPECT_EQ(exported(ev), block({"BEGIN:VCALENDAR", "VERSION:1.0", kProductId, "X-QVR-METHOD:CANCEL",
                                   "BEGIN:VEVENT", "UID:QVRID-15", "END:VEVENT", "END:VCALENDAR"}));
}

TEST_F(Export, PublishWithARuleTheDeviceCanEdit) {
    clsCalEvent ev = recurring(d(2026, 3, 31, 9, 30), clsCalRRule::kMonthly);
    ev.setWendraWinId("3");
    ev.setXID("dev-3");
    ev.setViewFromDate(d(2026, 3, 31, 9, 30));
    ev.setPriorWarningIsDefault(false);
    ev.setPriorWarning(3);
    ev.setAutoDelete("2");
    ev.setDescription("Caf\xC3\xA9 \xE2\x98\x95");  // e acute fits the code page, the cup does not
    ev.setLastModified(d(2026, 3, 1, 8, 15, 0));
    clsCalRRule& r = *ev.RRule(1);
    r.setByMonthDay("28,29,30,31");
    r.setBySetPos("-1");
    r.setDurationCount(12);
    ev.setExDates("20260430");
    ev.setHiddenList("20260531T093000");
    ev.setRDates("20260415T093000");
    EXPECT_EQ(exported(ev),
              block({"BEGIN:VCALENDAR", "VERSION:1.0", kProductId, "X-QVR-METHOD:PUBLISH", "BEGIN:VEVENT", "UID:dev-3",
                     "DTSTART:20260331T093000", "X-KSP-VIEWFROM:20260331T093000", "X-KSP-PRIORWARN:3",
                     "X-KSP-AUTODELETE:2", "SUMMARY:Caf\xE9 ?", "X-KSP-SUMMARY-UTF8:436166C3A920E29895",
                     "LAST-MODIFIED:20260301T081500", "RRULE:MD1 LD #12", "EXDATE:20260430T093000,20260531T093000",
                     "RDATE:20260415T093000", "TRANSP:1", "END:VEVENT", "END:VCALENDAR"}));
}

TEST_F(Export, RuleLines) {
    struct Case {
        int frequency;
        int interval;
        int count;
        DateTime until;
        bool monthEnd;
        const char* line;
    } cases[] = {
        {clsCalRRule::kYearly, 1, 0, {}, false, "RRULE:YD1"},
        {clsCalRRule::kMonthly, 1, 0, {}, true, "RRULE:MD1 LD"},
        {clsCalRRule::kWeekly, 2, 0, {}, false, "RRULE:W2"},
        {clsCalRRule::kDaily, 3, 7, {}, false, "RRULE:D3 #7"},
        {clsCalRRule::kDaily, 1, 0, d(2026, 3, 24), false, "RRULE:D1 #5"},  // the until date as a count
        // A bounded rule with nothing left: "#0" would be endless on the device.
        {clsCalRRule::kDaily, 1, 0, d(2026, 3, 1), false, ""},
    };
    for (const auto& c : cases) {
        clsCalEvent ev = recurring(d(2026, 3, 20, 9, 0), c.frequency);
        clsCalRRule& r = *ev.RRule(1);
        r.setInterval(c.interval);
        r.setDurationCount(c.count);
        r.setDurationUntil(c.until, true);
        if (c.monthEnd) {
            r.setByMonthDay("28,29,30,31");
            r.setBySetPos("-1");
        }
        EXPECT_EQ(line(ev, "RRULE:"), c.line) << c.line;
        EXPECT_EQ(line(ev, "X-KSP-EVENTMAP2:"), "") << c.line;
    }
}

TEST_F(Export, DayMapForRulesTheDeviceCannotEdit) {
    // Every day for the whole range: runs of 400, then the rest.
    clsCalEvent daily = recurring(d(2026, 1, 1), clsCalRRule::kDaily, true);
    daily.RRule(1)->setByDay("MO,TU,WE,TH,FR,SA,SU");
    EXPECT_EQ(line(daily, "X-KSP-EVENTMAP2:"), "X-KSP-EVENTMAP2:400x400x296x");
    EXPECT_EQ(line(daily, "RRULE:"), "");
    // An extra date inside the map is marked "r"; one past it is not.
    daily.setRDates("20260315,20400101");
    EXPECT_EQ(line(daily, "X-KSP-EVENTMAP2:"), "X-KSP-EVENTMAP2:3xr400x400x292x");

    // First occurrence two days after the view date: "o" first; the map ends
    // with the last occurrence.
    clsCalEvent fridays = recurring(d(2026, 3, 13), clsCalRRule::kWeekly, true);
    fridays.RRule(1)->setByDay("FR");
    fridays.RRule(1)->setDurationCount(3);
    EXPECT_EQ(line(fridays, "X-KSP-EVENTMAP2:"), "X-KSP-EVENTMAP2:ox6ox6ox");

    // Hourly rules went out as "RRULE:1"; they take the map, a day a character
    // (the expansion gives a sub-daily rule every day its filters allow).
    clsCalEvent hourly = recurring(d(2026, 3, 20, 9, 0), clsCalRRule::kHourly);
    hourly.RRule(1)->setInterval(12);
    hourly.RRule(1)->setDurationCount(4);
    EXPECT_EQ(line(hourly, "RRULE:"), "");
    EXPECT_EQ(line(hourly, "X-KSP-EVENTMAP2:"), "X-KSP-EVENTMAP2:8o4x");

    // Nothing left in the range: no map line at all.
    clsCalEvent past = recurring(d(2025, 1, 6), clsCalRRule::kWeekly, true);
    past.RRule(1)->setByDay("MO");
    past.RRule(1)->setDurationCount(2);
    EXPECT_EQ(line(past, "X-KSP-EVENTMAP2:"), "");
}

TEST_F(Export, DayMapFromTodayWhenTheViewDateIsNull) {
    clsCalEvent ev = recurring(d(2026, 3, 14), clsCalRRule::kWeekly, true);
    ev.RRule(1)->setByDay("SA");
    ev.RRule(1)->setDurationCount(2);
    ev.setViewFromDate(DateTime());
    EXPECT_EQ(line(ev, "X-KSP-EVENTMAP2:"), "X-KSP-EVENTMAP2:2ox6ox");
}

TEST_F(Export, RunLengthCoding) {
    EXPECT_EQ(iCalExport::runLengthMap(""), "");
    EXPECT_EQ(iCalExport::runLengthMap("1"), "x");
    EXPECT_EQ(iCalExport::runLengthMap("0011r"), "2o2xr");
    EXPECT_EQ(iCalExport::runLengthMap(std::string(801, '0') + "rr1"), "400o400oo2rx");
}

TEST_F(Export, ExceptionTextsAndRawLinesWithoutLineBreaks) {
    clsCalEvent ev;
    ev.setEventStart(d(2026, 3, 20, 9, 30));
    ev.setAllDayEvent(false);
    ev.setDescription(std::string("two\r\nlines\0end", 14));
    ev.setHasExceptions(true);
    ev.setDescExceptions("\t20260320093000=Dentist\r\nroom 4\t20260327093000=Other \t");
    const std::string text = exported(ev);
    EXPECT_NE(text.find("\r\nSUMMARY:two  lines end\r\n"), std::string::npos);
    EXPECT_NE(text.find("\r\nX-KSP-SUMMARY-UTF8:74776F0D0A6C696E657300656E64\r\n"), std::string::npos);
    EXPECT_NE(text.find("\r\nX-KSP-SUMMARY-EXCEPTION:20260320093000=Dentist  room 4\r\n"
                        "X-KSP-SUMMARY-EXCEPTION-UNIB:"
                        "\\u0032\\u0030\\u0032\\u0036\\u0030\\u0033\\u0032\\u0030\\u0030\\u0039\\u0033\\u0030"
                        "\\u0030\\u0030\\u003D\\u0044\\u0065\\u006E\\u0074\\u0069\\u0073\\u0074\\u000D\\u000A"
                        "\\u0072\\u006F\\u006F\\u006D\\u0020\\u0034\r\n"
                        "X-KSP-SUMMARY-EXCEPTION:20260327093000=Other \r\n"),
              std::string::npos);
    // The closing TAB is no entry of its own; no NUL reaches the wire.
    EXPECT_EQ(text.find("X-KSP-SUMMARY-EXCEPTION:\r\n"), std::string::npos);
    EXPECT_EQ(text.find('\0'), std::string::npos);
}

TEST_F(Export, DateListsOfAnAllDayEvent) {
    clsCalEvent ev;
    ev.setEventStart(d(2026, 3, 20));
    ev.setExDates("20260327,20260327,junk");
    ev.setRDates("20260328");
    EXPECT_EQ(line(ev, "EXDATE:"), "EXDATE:20260327");
    EXPECT_EQ(line(ev, "RDATE:"), "RDATE:20260328T000000");
    ev.setExDates("");
    ev.setRDates("");
    EXPECT_EQ(line(ev, "EXDATE:"), "");
    EXPECT_EQ(line(ev, "RDATE:"), "");
}

TEST_F(Export, SyncTimeReplies) {
    clsCalendar cal;
    cal.setTimeDiff(-42);
    EXPECT_EQ(writer.syncTime(cal, iCalExport::kSyncOK),
              block({"BEGIN:QVR-SYNC-TIME", "X-QVR-SYNC-STATUS:OK", "X-QVR-TIME-DIFF:-42", "END:QVR-SYNC-TIME"}));
    EXPECT_EQ(writer.syncTime(cal, iCalExport::kSyncIncompatibleVersion),
              block({"BEGIN:QVR-SYNC-TIME", "X-QVR-SYNC-STATUS:INCOMPATIBLE-VERSION", "END:QVR-SYNC-TIME"}));
    EXPECT_EQ(writer.syncTime(cal, iCalExport::kSyncIncompatibleTime),
              block({"BEGIN:QVR-SYNC-TIME", "X-QVR-SYNC-STATUS:INCOMPATIBLE-TIME", "END:QVR-SYNC-TIME"}));
    cal.setTimeDiff(2209075200LL);
    EXPECT_EQ(writer.syncTime(cal, iCalExport::kSyncOK),
              block({"BEGIN:QVR-SYNC-TIME", "X-QVR-SYNC-STATUS:OK", "X-QVR-TIME-DIFF:2209075200", "END:QVR-SYNC-TIME"}));
}

TEST_F(Export, ExportEndAndEncodedDate) {
    EXPECT_EQ(writer.ExportEnd(), "BEGIN:QVR-EXPORT-END\r\nEND:QVR-EXPORT-END");
    EXPECT_EQ(iCalExport::KSP_encodeDate(d(2026, 3, 11, 10, 5), true), std::string("\x07\xF1\x03\x0B\x0A\x05", 6));
    EXPECT_EQ(iCalExport::KSP_encodeDate(d(2026, 3, 11, 10, 5), false), std::string("\x07\xF1\x03\x0B.", 5));
}

TEST_F(Export, MethodByRequest) {
    EXPECT_EQ(iCalExport::methodText(0), "PUBLISH");
    EXPECT_EQ(iCalExport::methodText(2), "PUBLISH");
    EXPECT_EQ(iCalExport::methodText(1), "CANCEL");
    EXPECT_EQ(iCalExport::methodText(6), "REQUEST<");
    EXPECT_EQ(iCalExport::methodText(7), "REQUEST>");
}
