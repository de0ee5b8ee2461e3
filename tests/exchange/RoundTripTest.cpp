// What the writer sends, the reader reads back: every field that travels.

#include <gtest/gtest.h>

#include <string>

#include "exchange/iCalExport.h"
#include "tests/support/ImportRig.h"

using namespace wendra;
using namespace wendra::test;

namespace {

DateTime d(int y, int m, int day, int h = 0, int mi = 0) { return DateTime::ymd(y, m, day, h, mi); }

class RoundTrip : public ImportTest {
protected:
    const clsCalEvent& through(const clsCalEvent& ev) {
        std::string wire;
        iCalExport("https://www.wendrawin.example").Export(ev, wire);
        rec.events.clear();
        return readOne(wire);
    }
};

clsCalEvent timedWeekly() {
    clsCalEvent ev;
    ev.setXID("dev-1");
    ev.setDescription("Caf\xC3\xA9 \xE2\x98\x95 \xCE\xA9 \"quoted\" a:b;c");
    ev.setEventStart(d(2026, 3, 20, 9, 0));
    ev.setAllDayEvent(false);
    ev.setViewFromDate(d(2026, 3, 20, 9, 0));
    ev.setPriorWarningIsDefault(false);
    ev.setPriorWarning(5);
    ev.setAutoDelete("3");
    ev.setLastModified(d(2026, 3, 1, 7, 45));
    ev.setIsRecurring(true);
    clsCalRRule& r = ev.addRRule();
    r.setFrequency(clsCalRRule::kWeekly);
    r.setInterval(2);
    r.setDurationCount(10);
    ev.setExDates("20260403T090000");
    ev.setRDates("20260405T090000");
    return ev;
}

clsCalEvent allDayMonthEnd() {
    clsCalEvent ev;
    ev.setWendraWinId("12");
    ev.setDescription("Rent");
    ev.setEventStart(d(2026, 3, 31));
    ev.setViewFromDate(d(2026, 3, 31));
    ev.setLastModified(d(2026, 2, 2, 2, 2));
    ev.setIsRecurring(true);
    clsCalRRule& r = ev.addRRule();
    r.setFrequency(clsCalRRule::kMonthly);
    r.setByMonthDay("28,29,30,31");
    r.setBySetPos("-1");
    ev.setExDates("20260430");
    ev.setRDates("20260415");
    return ev;
}

}  // namespace

TEST_F(RoundTrip, FieldsThatTravelComeBack) {
    for (const clsCalEvent& sent : {timedWeekly(), allDayMonthEnd(), clsCalEvent()}) {
        const clsCalEvent& got = through(sent);
        SCOPED_TRACE(sent.Description());
        EXPECT_EQ(got.XID(), sent.XID().empty() ? "QVRID-" + sent.WendraWinId() : sent.XID());
        EXPECT_EQ(got.Description(), sent.Description());
        EXPECT_EQ(got.EventStart(), sent.EventStart());
        EXPECT_EQ(got.AllDayEvent(), sent.AllDayEvent());
        EXPECT_EQ(got.ViewFromDate(), sent.ViewFromDate());
        EXPECT_EQ(got.PriorWarningIsDefault(), sent.PriorWarningIsDefault());
        if (!sent.PriorWarningIsDefault()) {
            EXPECT_EQ(got.PriorWarning(), sent.PriorWarning());
        }
        EXPECT_EQ(got.AutoDelete(), sent.AutoDelete());
        EXPECT_EQ(got.LastModified(), sent.LastModified());
        EXPECT_EQ(got.ExDates(), sent.ExDates());
        EXPECT_EQ(got.RDates(), sent.RDates());
        EXPECT_EQ(got.IsRecurring(), sent.IsRecurring());
        ASSERT_EQ(got.RRulesCount(), sent.RRulesCount());
        if (sent.RRulesCount() == 0) continue;
        const clsCalRRule& a = *sent.RRule(1);
        const clsCalRRule& b = *got.RRule(1);
        EXPECT_EQ(b.Frequency(), a.Frequency());
        EXPECT_EQ(b.Interval(), a.Interval());
        EXPECT_EQ(b.DurationCount(), a.DurationCount());
        EXPECT_EQ(b.isMonthEnd(), a.isMonthEnd());
    }
}

TEST_F(RoundTrip, AnUntilDateComesBackAsItsCount) {
    clsCalEvent ev = timedWeekly();
    ev.RRule(1)->setDurationCount(0);
    ev.RRule(1)->setDurationUntil(d(2026, 5, 1), true);  // 20 Mar, 3, 17 Apr, 1 May
    // The extra date of 5 April travels in RDATE: counted into the rule too,
    // it would carry the device's rule on to 15 May.
    EXPECT_EQ(through(ev).RRule(1)->DurationCount(), 4);
}

TEST_F(RoundTrip, ADescriptionWithLineBreaksComesBackWhole) {
    clsCalEvent ev = timedWeekly();
    ev.setDescription("first\r\nsecond\nthird");
    EXPECT_EQ(through(ev).Description(), "first\r\nsecond\nthird");
}
