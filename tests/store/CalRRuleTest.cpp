#include <gtest/gtest.h>

#include <stdexcept>

#include "store/clsCalRRule.h"

using namespace wendra;

TEST(CalRRule, NewRuleHasTheStartValues) {
    const clsCalRRule r;
    EXPECT_FALSE(r.isValid());
    EXPECT_EQ(r.RRuleType(), 0);
    EXPECT_EQ(r.Frequency(), clsCalRRule::kNone);
    EXPECT_EQ(r.Interval(), 1);
    EXPECT_EQ(r.DurationCount(), 0);
    EXPECT_TRUE(r.DurationUntil().isNull());
    EXPECT_TRUE(r.DurationUntil_AllDay());
    EXPECT_EQ(r.WeekStartDay(), 2);
    EXPECT_EQ(r.ByMonthCount() + r.ByWeekNoCount() + r.ByYearDayCount() + r.ByMonthDayCount() + r.ByDayCount() +
                  r.ByHourCount() + r.ByMinuteCount() + r.BySecondCount(),
              0);
    EXPECT_TRUE(r.BySetPosArray().empty());
    EXPECT_EQ(r.ByMonth() + r.ByWeekNo() + r.ByYearDay() + r.ByMonthDay() + r.ByDay() + r.ByHour() + r.ByMinute() +
                  r.BySecond() + r.BySetPos(),
              "");
}

TEST(CalRRule, ListWriteRebuildsItemsAndAddGrowsOnlyTheItems) {
    clsCalRRule r;
    r.setByMonthDay("1,15");
    ASSERT_EQ(r.ByMonthDayCount(), 2);
    EXPECT_EQ(r.ByMonthDayElement(1), 1);
    EXPECT_EQ(r.ByMonthDayElement(2), 15);
    r.ByMonthDayAdd(20);
    EXPECT_EQ(r.ByMonthDayCount(), 3);
    EXPECT_EQ(r.ByMonthDayElement(3), 20);
    EXPECT_EQ(r.ByMonthDay(), "1,15");
    // A new text starts the items afresh, added ones included.
    r.setByMonthDay("-1,");
    EXPECT_EQ(r.ByMonthDayArray(), std::vector<int>{-1});
    r.setByMonthDay("");
    EXPECT_EQ(r.ByMonthDayCount(), 0);
}

TEST(CalRRule, ElementOutsideTheItemsIsAnError) {
    clsCalRRule r;
    r.setByMonth("3,4");
    EXPECT_THROW((void)r.ByMonthElement(0), std::out_of_range);
    EXPECT_THROW((void)r.ByMonthElement(3), std::out_of_range);
    r.setByDay("MO");
    EXPECT_THROW((void)r.ByDayElement(2), std::out_of_range);
    EXPECT_EQ(r.ByDayElement(1), "MO");
}

TEST(CalRRule, NumberListLeavesOutItemsThatAreNoNumber) {
    clsCalRRule r;
    r.setByHour("9,x,,70000, 17,-3");
    EXPECT_EQ(r.ByHourArray(), (std::vector<int>{9, 17, -3}));
    EXPECT_EQ(r.ByHour(), "9,x,,70000, 17,-3");
    r.setBySetPos("-1");
    EXPECT_EQ(r.BySetPosArray(), std::vector<int>{-1});
    r.BySetPosAdd(2);
    EXPECT_EQ(r.BySetPosArray(), (std::vector<int>{-1, 2}));
    EXPECT_EQ(r.BySetPos(), "-1");
}

TEST(CalRRule, DayListKeepsItemsAsWritten) {
    clsCalRRule r;
    r.setByDay("2TU,-1FR, mo");
    EXPECT_EQ(r.ByDayArray(), (std::vector<std::string>{"2TU", "-1FR", " mo"}));
    r.ByDayAdd("SA");
    EXPECT_EQ(r.ByDayCount(), 4);
    EXPECT_EQ(r.ByDay(), "2TU,-1FR, mo");
}

TEST(CalRRule, SixteenBitFieldsAreClamped) {
    clsCalRRule r;
    r.setInterval(40000);
    EXPECT_EQ(r.Interval(), 32767);
    r.setWeekStartDay(-70000);
    EXPECT_EQ(r.WeekStartDay(), -32768);
}

namespace {
struct MonthCase {
    int frequency;
    const char* byMonthDay;
    const char* byDay;
    const char* bySetPos;
    bool monthEnd;
    bool month29Plus;
};
}  // namespace

TEST(CalRRule, MonthEndQuestions) {
    const MonthCase cases[] = {
        {1, "28,29,30,31", "", "-1", true, true},
        {1, "28,29", "", "-1", false, true},
        {1, "28,29,30", "", "-1", false, true},
        {1, "28,29,30,31", "", "-1 ", false, false},
        {1, "28,29,30,31", "", "", false, false},
        {2, "28,29,30,31", "", "-1", false, false},
        {1, "", "MO,TU,WE,TH,FR,SA,SU", "-1", true, false},
        {1, "", "su,sa,fr,th,we,tu,mo", "-1", true, false},
        {1, "", "1MO,TU,WE,TH,FR,SA,SU", "-1", false, false},
        {1, "", "MO,TU,WE,TH,FR,SA", "-1", false, false},
        // Days counted from the month's end hold every text "28," to "31,"
        // but are not the last day.
        {1, "-28,-29,-30,-31", "", "-1", false, false},
        {1, "128,29,30,31", "", "-1", false, false},
        // With 28 to 31 all present the last of the set is always the month's last day.
        {1, "1,28,29,30,31", "", "-1", true, false},
        {1, "27,28,29", "", "-1", false, false},
        {1, "28,30", "", "-1", false, false},
        {1, "28,29,31", "", "-1", false, false},
        {1, "28", "", "-1", false, false},
    };
    for (const auto& c : cases) {
        clsCalRRule r;
        r.setFrequency(c.frequency);
        r.setByMonthDay(c.byMonthDay);
        r.setByDay(c.byDay);
        r.setBySetPos(c.bySetPos);
        EXPECT_EQ(r.isMonthEnd(), c.monthEnd) << c.byMonthDay << " / " << c.byDay << " / '" << c.bySetPos << "'";
        EXPECT_EQ(r.isMonth29Plus(), c.month29Plus) << c.byMonthDay << " / '" << c.bySetPos << "'";
    }
}
