// The two rule grammars of the reader, as tables of rule texts and the rules
// they give.

#include <gtest/gtest.h>

#include <string>

#include "exchange/ExchangeTexts.h"
#include "tests/support/ImportRig.h"

using namespace wendra;
using namespace wendra::test;

namespace {

constexpr const char* kAllDays = "MO,TU,WE,TH,FR,SA,SU";

// What a rule text should give; empty texts are expected empty.
struct Expected {
    int frequency;
    int interval = 1;
    int count = 0;
    bool recurring = true;
    std::string byDay = {};
    std::string byMonthDay = {};
    std::string bySetPos = {};
    DateTime until = {};
};

struct Case {
    const char* text;
    Expected want;
    const char* logged = nullptr;  // a message the log must hold
};

struct Parsed {
    clsCalEvent ev;
    RecordingLog log;
};

Parsed parse(bool vcal10, std::string_view text, int startDay = 10) {
    Parsed p;
    p.ev.setEventStart(DateTime::ymd(2026, 1, startDay, 9, 0));
    if (vcal10)
        iCalImport::parseVCalRRule(p.ev, text, p.log);
    else
        iCalImport::parseICalRRule(p.ev, text, p.log);
    return p;
}

void check(bool vcal10, const Case& c) {
    SCOPED_TRACE(c.text);
    const Parsed p = parse(vcal10, c.text);
    ASSERT_EQ(p.ev.RRulesCount(), 1);
    const clsCalRRule& r = *p.ev.RRule(1);
    EXPECT_TRUE(r.isValid());
    EXPECT_EQ(r.Frequency(), c.want.frequency);
    EXPECT_EQ(r.Interval(), c.want.interval);
    EXPECT_EQ(r.DurationCount(), c.want.count);
    EXPECT_EQ(p.ev.IsRecurring(), c.want.recurring);
    EXPECT_EQ(r.ByDay(), c.want.byDay);
    EXPECT_EQ(r.ByMonthDay(), c.want.byMonthDay);
    EXPECT_EQ(r.BySetPos(), c.want.bySetPos);
    EXPECT_EQ(r.DurationUntil(), c.want.until);
    if (c.logged) {
        EXPECT_TRUE(p.log.has(c.logged)) << c.logged;
    }
}

DateTime d(int y, int m, int day, int h = 0) { return DateTime::ymd(y, m, day, h); }

}  // namespace

TEST(VCalRRule, RuleTexts) {
    const Case cases[] = {
        {"MD1 LD #12", {clsCalRRule::kMonthly, 1, 12, true, kAllDays, "", "-1"}},
        {"W2 #0", {clsCalRRule::kWeekly, 2, 0}},
        {"D1 #1", {clsCalRRule::kDaily, 1, 1, false}},
        {"D", {clsCalRRule::kDaily}},
        {"YD1 20261231T000000", {clsCalRRule::kYearly, 1, 0, true, "", "", "", d(2026, 12, 31)}},
        {"md3 ld", {clsCalRRule::kMonthly, 3, 0, true, kAllDays, "", "-1"}},
        // Count and until for every code: these were endless before.
        {"YM1 6 #5", {clsCalRRule::kYearly, 1, 5}},
        {"MP1 1+ MO 20261231", {clsCalRRule::kMonthly, 1, 0, true, "", "", "", d(2026, 12, 31)}},
        {"D99999", {clsCalRRule::kDaily}, texts::kIntervalTooLarge10},
        {"D123456789012345678901234567890", {clsCalRRule::kDaily}, texts::kIntervalTooLarge10},
        {"W0", {clsCalRRule::kWeekly}, texts::kValueChanged},
        {"D1 #", {clsCalRRule::kDaily}, texts::kBadValue},
        {"D1 #5x", {clsCalRRule::kDaily}, texts::kBadValue},
        {"D1 #5000", {clsCalRRule::kDaily, 1, 999}, texts::kDurationTooLarge10},
        {"D1 #99999999999999999999999999", {clsCalRRule::kDaily, 1, 999}, texts::kDurationTooLarge10},
        {"W1 MO TU 15", {clsCalRRule::kWeekly}},
    };
    for (const auto& c : cases) check(true, c);
}

TEST(VCalRRule, UnreadableRulesLeaveTheEvent) {
    for (const char* text : {"X1", "D1X", "", "   ", "#3"}) {
        const Parsed p = parse(true, text);
        EXPECT_EQ(p.ev.RRulesCount(), 0) << text;
        EXPECT_FALSE(p.ev.IsRecurring()) << text;
        EXPECT_TRUE(p.log.has(texts::kRuleDropped)) << text;
    }
}

TEST(VCalRRule, MonthlyFromTheLastDaysKeepsToEachMonthsLast) {
    struct {
        int day;
        const char* days;
        const char* setPos;
    } cases[] = {{29, "28,29", "-1"}, {30, "28,29,30", "-1"}, {31, "28,29,30,31", "-1"}, {28, "", ""}};
    for (const auto& c : cases) {
        const Parsed p = parse(true, "MD1", c.day);
        EXPECT_EQ(p.ev.RRule(1)->ByMonthDay(), c.days) << c.day;
        EXPECT_EQ(p.ev.RRule(1)->BySetPos(), c.setPos) << c.day;
    }
    // With "LD" the rule already names the last day.
    const Parsed p = parse(true, "MD1 LD", 29);
    EXPECT_EQ(p.ev.RRule(1)->ByMonthDay(), "");
    EXPECT_TRUE(p.ev.RRule(1)->isMonthEnd());
}

TEST(VCalRRule, OnlyTheFirstHundredTokensAreRead) {
    std::string text = "D1";
    for (int i = 0; i < 100; ++i) text += " MO";
    EXPECT_EQ(parse(true, text + " #3").ev.RRule(1)->DurationCount(), 0);
    std::string within = "D1";
    for (int i = 0; i < 99; ++i) within += " MO";
    EXPECT_EQ(parse(true, within + " #3").ev.RRule(1)->DurationCount(), 3);
}

TEST(ICalRRule, RuleTexts) {
    const Case cases[] = {
        {"FREQ=WEEKLY;INTERVAL=2;BYDAY=MO,WE;WKST=SU", {clsCalRRule::kWeekly, 2, 0, true, "MO,WE"}},
        {"freq=daily;count=5", {clsCalRRule::kDaily, 1, 5}},
        {"FREQ=DAILY;COUNT=1", {clsCalRRule::kDaily, 1, 1, false}},
        {"FREQ=HOURLY", {clsCalRRule::kHourly}},
        {"FREQ=DAILY;COUNT=5000", {clsCalRRule::kDaily, 1, 999}, texts::kValueChanged},
        {"FREQ=DAILY;COUNT=-3", {clsCalRRule::kDaily, 1, 0}, texts::kValueChanged},
        {"FREQ=DAILY;COUNT=x", {clsCalRRule::kDaily}, texts::kCountNotNumeric20},
        {"FREQ=DAILY;INTERVAL=0", {clsCalRRule::kDaily}, texts::kValueChanged},
        {"FREQ=DAILY;INTERVAL=-4", {clsCalRRule::kDaily}, texts::kValueChanged},
        {"FREQ=DAILY;INTERVAL=40000", {clsCalRRule::kDaily}, texts::kIntervalTooLarge20},
        {"FREQ=DAILY;INTERVAL=1e10", {clsCalRRule::kDaily}, texts::kIntervalTooLarge20},
        {"FREQ=DAILY;INTERVAL=two", {clsCalRRule::kDaily}, texts::kIntervalNotNumeric20},
        {"FREQ=MONTHLY;UNTIL=20261231", {clsCalRRule::kMonthly, 1, 0, true, "", "", "", d(2026, 12, 31)}},
        {"FREQ=MONTHLY;UNTIL=20261231T120000", {clsCalRRule::kMonthly, 1, 0, true, "", "", "", d(2026, 12, 31, 12)}},
        {"FREQ=MONTHLY;UNTIL=someday", {clsCalRRule::kMonthly}, texts::kUntilNotDate20},
        {"FREQ=MONTHLY;UNTIL=00010101", {clsCalRRule::kMonthly}, texts::kUntilNotDate20},
        {"FREQ=MONTHLY;BYMONTHDAY=1,-1,0,32,x,15,1.5", {clsCalRRule::kMonthly, 1, 0, true, "", "1,-1,15"},
         texts::kRuleItemsDropped},
        {"FREQ=MONTHLY;BYDAY=MO,2TU,-1FR,XX,0MO,54MO,+1SU,MOTU;BYSETPOS=-1,0,400",
         {clsCalRRule::kMonthly, 1, 0, true, "MO,2TU,-1FR,+1SU", "", "-1"}, texts::kRuleItemsDropped},
        {"FREQ=YEARLY;X-NAME=1;;NOEQUALS", {clsCalRRule::kYearly}},
    };
    for (const auto& c : cases) check(false, c);
}

TEST(ICalRRule, OtherByListsAndWeekStart) {
    const Parsed p = parse(false, "FREQ=YEARLY;BYMONTH=0,1,12,13;BYWEEKNO=-53,54,1;BYYEARDAY=366,-367;"
                                  "BYHOUR=0,23,24;BYMINUTE=59,60;BYSECOND=60,61;WKST=XX");
    const clsCalRRule& r = *p.ev.RRule(1);
    EXPECT_EQ(r.ByMonth(), "1,12");
    EXPECT_EQ(r.ByWeekNo(), "-53,1");
    EXPECT_EQ(r.ByYearDay(), "366");
    EXPECT_EQ(r.ByHour(), "0,23");
    EXPECT_EQ(r.ByMinute(), "59");
    EXPECT_EQ(r.BySecond(), "60");
    EXPECT_EQ(r.WeekStartDay(), 2);
    EXPECT_TRUE(p.log.has(texts::kInvalidWeekStart20));
    const struct {
        const char* day;
        int start;
    } starts[] = {{"MO", 2}, {"TU", 3}, {"WE", 4}, {"TH", 5}, {"FR", 6}, {"SA", 7}, {"SU", 1}};
    for (const auto& s : starts)
        EXPECT_EQ(parse(false, std::string("FREQ=DAILY;WKST=") + s.day).ev.RRule(1)->WeekStartDay(), s.start);
}

TEST(ICalRRule, UnreadableRulesLeaveTheEvent) {
    for (const char* text : {"FREQ=FORTNIGHTLY", "INTERVAL=2", "", "FREQ=DAILY;FREQ=SOMETIMES"}) {
        const Parsed p = parse(false, text);
        EXPECT_EQ(p.ev.RRulesCount(), 0) << text;
        EXPECT_FALSE(p.ev.IsRecurring()) << text;
    }
}

// A rule that could not be read no longer stands first, where the merge and
// the writer take the event's rule from.
TEST_F(ImportTest, ReadableRuleStandsFirstAfterAnUnreadableOne) {
    const clsCalEvent& ev = readOne(vcal("2.0", {"UID:a", "DTSTART:20260320", "RRULE:FREQ=NEVER",
                                                 "RRULE:FREQ=WEEKLY;COUNT=4"}));
    ASSERT_EQ(ev.RRulesCount(), 1);
    EXPECT_EQ(ev.RRule(1)->Frequency(), clsCalRRule::kWeekly);
    EXPECT_EQ(ev.RRule(1)->DurationCount(), 4);
    EXPECT_TRUE(ev.IsRecurring());
}
