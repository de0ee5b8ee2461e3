// The event's occurrence walk, its rule durations and its next view date.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/clock/FakeClock.h"
#include "store/clsCalEvent.h"
#include "store/modFuncs.h"

namespace wendra {
namespace {

using Texts = std::vector<std::string>;

DateTime at(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) { return DateTime::ymd(y, mo, d, h, mi, s); }

class EventWalk : public ::testing::Test {
protected:
    // Wednesday 11 March 2026, 10:00.
    FakeClock clock_{at(2026, 3, 11, 10, 0)};
    ClockOverride override_{clock_};

    static clsCalEvent recurring(DateTime start, bool allDay = true) {
        clsCalEvent ev;
        ev.setDescription("Walk");
        ev.setEventStart(start);
        ev.setAllDayEvent(allDay);
        ev.setViewFromDate(start);
        ev.setIsRecurring(true);
        return ev;
    }
    static clsCalRRule& addRule(clsCalEvent& ev, int frequency, const std::string& byDay = "") {
        clsCalRRule& r = ev.addRRule();
        r.setFrequency(frequency);
        r.setByDay(byDay);
        return r;
    }
    // The walk from fromDate to toDate as date texts.
    static Texts walk(clsCalEvent& ev, DateTime fromDate, DateTime toDate) {
        Texts out;
        ev.generateOccurs(fromDate, toDate);
        for (ev.firstOccur(); !ev.endOfOccurs() && out.size() < 1000; ev.nextOccur())
            out.push_back(formatICalDateTime(ev.OccurDate(), !ev.AllDayOccur()));
        return out;
    }
};

// ---- the walk ---------------------------------------------------------------------------------------------------

TEST_F(EventWalk, WalksTheOccurrencesOfTheWindowAndEnds) {
    clsCalEvent ev = recurring(at(2026, 3, 2, 9, 0), false);
    addRule(ev, clsCalRRule::kWeekly);
    EXPECT_EQ(walk(ev, at(2026, 3, 9), at(2026, 3, 23)), (Texts{"20260309T090000", "20260316T090000", "20260323T090000"}));
    EXPECT_EQ(ev.getOccurCount(), 3);
    EXPECT_TRUE(ev.endOfOccurs());
    EXPECT_TRUE(ev.OccurDate().isNull());
    ev.nextOccur();
    EXPECT_TRUE(ev.endOfOccurs());
}

TEST_F(EventWalk, NothingIsWalkedBeforeAWalkIsPrepared) {
    clsCalEvent ev = recurring(at(2026, 3, 2));
    addRule(ev, clsCalRRule::kDaily);
    EXPECT_EQ(ev.getOccurCount(), 0);
    ev.firstOccur();
    EXPECT_TRUE(ev.endOfOccurs());
}

TEST_F(EventWalk, TheWindowStartsAtTheEventsTimeOfDay) {
    clsCalEvent ev = recurring(at(2026, 3, 2, 12, 0), false);
    clsCalRRule& r = addRule(ev, clsCalRRule::kDaily);
    r.setByHour("8,12,18");
    // From 9 March at any time: the walk starts at 12:00 that day.
    EXPECT_EQ(walk(ev, at(2026, 3, 9, 7, 0), at(2026, 3, 10)),
              (Texts{"20260309T120000", "20260309T180000", "20260310T080000", "20260310T120000", "20260310T180000"}));
}

TEST_F(EventWalk, OccurrenceDescriptionsComeFromTheirEntries) {
    clsCalEvent ev = recurring(at(2026, 3, 2));
    addRule(ev, clsCalRRule::kWeekly);
    ev.setDescExceptions("\t20260309000000=Changed\t20260316000000=Moved\t");
    Texts descs;
    ev.generateOccurs(at(2026, 3, 2), at(2026, 3, 23));
    for (ev.firstOccur(); !ev.endOfOccurs(); ev.nextOccur()) descs.push_back(ev.OccurDesc());
    EXPECT_EQ(descs, (Texts{"Walk", "Changed", "Moved", "Walk"}));

    // The last entry without its closing TAB is not found.
    ev.setDescExceptions("\t20260309000000=Changed");
    ev.generateOccurs(at(2026, 3, 9), at(2026, 3, 9));
    ev.firstOccur();
    EXPECT_EQ(ev.OccurDesc(), "Walk");
    // A blank entry gives the description.
    ev.setDescExceptions("\t20260309000000=  \t");
    ev.generateOccurs(at(2026, 3, 9), at(2026, 3, 9));
    ev.firstOccur();
    EXPECT_EQ(ev.OccurDesc(), "Walk");
}

TEST_F(EventWalk, EveryRuleIsWalkedAndSharedOccurrencesComeOnce) {
    // Mondays and Wednesdays from two rules; the start and the extra Thursday
    // are in both rules' maps.
    clsCalEvent ev = recurring(at(2026, 3, 2));
    addRule(ev, clsCalRRule::kWeekly, "MO");
    addRule(ev, clsCalRRule::kWeekly, "WE");
    ev.setRDates("20260305");
    EXPECT_EQ(walk(ev, at(2026, 3, 2), at(2026, 3, 15)),
              (Texts{"20260302", "20260304", "20260305", "20260309", "20260311"}));
    EXPECT_EQ(ev.getOccurCount(), 5);

    // The first rule has nothing left in the window; the second still shows.
    ev.RRule(1)->setDurationUntil(at(2026, 3, 1), true);
    EXPECT_EQ(walk(ev, at(2026, 3, 9), at(2026, 3, 15)), (Texts{"20260311"}));
}

TEST_F(EventWalk, SharedTimeSlotsComeOnce) {
    clsCalEvent ev = recurring(at(2026, 3, 9, 9, 0), false);
    addRule(ev, clsCalRRule::kDaily).setByHour("9");
    addRule(ev, clsCalRRule::kDaily).setByHour("9,17");
    EXPECT_EQ(walk(ev, at(2026, 3, 9), at(2026, 3, 10)),
              (Texts{"20260309T090000", "20260309T170000", "20260310T090000", "20260310T170000"}));
}

TEST_F(EventWalk, OneMomentWrittenTwiceComesOnce) {
    clsCalEvent ev = recurring(at(2026, 3, 2, 9, 0), false);
    addRule(ev, clsCalRRule::kWeekly);
    ev.setRDates("20260304T100000,20260304T10");
    EXPECT_EQ(walk(ev, at(2026, 3, 2), at(2026, 3, 8)), (Texts{"20260302T090000", "20260304T100000"}));
}

TEST_F(EventWalk, OneOffEventsAndRulesOfNoKnownFrequencyGiveTheStart) {
    clsCalEvent ev = recurring(at(2026, 3, 2, 9, 30), false);
    ev.setIsRecurring(false);
    EXPECT_EQ(walk(ev, at(2026, 6, 1), at(2026, 6, 30)), (Texts{"20260302T093000"}));

    ev.setIsRecurring(true);  // no rule
    EXPECT_EQ(walk(ev, at(2026, 3, 1), at(2026, 3, 31)), (Texts{"20260302T093000"}));

    addRule(ev, clsCalRRule::kNone);
    addRule(ev, 42);
    EXPECT_EQ(walk(ev, at(2026, 3, 1), at(2026, 3, 31)), (Texts{"20260302T093000"}));
}

// ---- durations --------------------------------------------------------------------------------------------------

TEST_F(EventWalk, CountedRulesGetTheirUntil) {
    clsCalEvent ev = recurring(at(2026, 3, 10, 8, 0), false);
    clsCalRRule& counted = addRule(ev, clsCalRRule::kDaily);
    counted.setDurationCount(5);
    clsCalRRule& bounded = addRule(ev, clsCalRRule::kWeekly);
    bounded.setDurationCount(3);
    bounded.setDurationUntil(at(2026, 12, 1), true);
    addRule(ev, clsCalRRule::kMonthly);
    ev.CalcRRuleDurations();
    EXPECT_EQ(ev.RRule(1)->DurationUntil(), at(2026, 3, 14, 8, 0));
    EXPECT_FALSE(ev.RRule(1)->DurationUntil_AllDay());
    EXPECT_EQ(ev.RRule(2)->DurationUntil(), at(2026, 12, 1));  // an UNTIL already there stays
    EXPECT_TRUE(ev.RRule(3)->DurationUntil().isNull());       // no count, no end
}

TEST_F(EventWalk, ACountPastTheHorizonHasNoUntil) {
    clsCalEvent ev = recurring(at(2026, 3, 10));
    clsCalRRule& r = addRule(ev, clsCalRRule::kYearly);
    r.setDurationCount(10);
    EXPECT_TRUE(ev.calcDurationUntil(r).isNull());
    r.setDurationCount(6);  // 2026 to 2031, the horizon's year
    EXPECT_EQ(ev.calcDurationUntil(r), at(2031, 3, 10));
}

TEST_F(EventWalk, DurationCountCountsEveryOccurrenceAndLeavesTheEventAlone) {
    clsCalEvent ev = recurring(at(2026, 3, 10));
    clsCalRRule& r = addRule(ev, clsCalRRule::kDaily);
    r.setDurationCount(5);
    ev.CalcRRuleDurations();
    ev.setExDates("20260311");
    ev.setHiddenList("20260312,20260313");
    ev.setViewFromDate(at(2026, 3, 14));
    EXPECT_EQ(ev.calcDurationCount(*ev.RRule(1)), 5);
    EXPECT_EQ(ev.ExDates(), "20260311");
    EXPECT_EQ(ev.HiddenList(), "20260312,20260313");
    EXPECT_EQ(ev.ViewFromDate(), at(2026, 3, 14));
    EXPECT_EQ(ev.RRule(1)->DurationUntil(), at(2026, 3, 14));
}

TEST_F(EventWalk, DurationCountOfASpanBeyondSixteenBits) {
    clsCalEvent ev = recurring(at(1900, 1, 1));
    ev.setHiddenList("19500101");
    clsCalRRule& r = addRule(ev, clsCalRRule::kDaily);
    r.setDurationUntil(at(2026, 12, 31), true);
    const auto expected = at(2026, 12, 31).dayNumber() - at(1900, 1, 1).dayNumber() + 1;
    ASSERT_GT(expected, 32767);
    EXPECT_EQ(ev.calcDurationCount(r), expected);
    EXPECT_EQ(ev.HiddenList(), "19500101");
}

TEST_F(EventWalk, DurationCountWithoutAnUntilIsZero) {
    clsCalEvent ev = recurring(at(2026, 3, 10));
    EXPECT_EQ(ev.calcDurationCount(addRule(ev, clsCalRRule::kDaily)), 0);
}

// ---- next view date ---------------------------------------------------------------------------------------------

TEST_F(EventWalk, AnOccurrenceStillInViewStaysTheViewDate) {
    clsCalEvent ev = recurring(at(2026, 2, 2));
    addRule(ev, clsCalRRule::kWeekly);
    ev.setViewFromDate(at(2026, 3, 9));  // last Monday, not hidden
    EXPECT_EQ(ev.calcNextViewDate(), at(2026, 3, 9));
    ev.AddHidden(at(2026, 3, 9), true);
    EXPECT_EQ(ev.calcNextViewDate(), at(2026, 3, 16));
}

TEST_F(EventWalk, AViewDateInTheFutureIsSearchedAgainFromNow) {
    clsCalEvent ev = recurring(at(2026, 2, 5));  // Thursdays
    addRule(ev, clsCalRRule::kWeekly);
    ev.setViewFromDate(at(2026, 4, 9));
    EXPECT_EQ(ev.calcNextViewDate(), at(2026, 3, 12));
    ev.setViewFromDate(DateTime());  // none stored: from the start
    EXPECT_EQ(ev.calcNextViewDate(), at(2026, 2, 5));
}

TEST_F(EventWalk, TheEarliestNextOccurrenceOverAllRules) {
    clsCalEvent ev = recurring(at(2026, 2, 2));
    addRule(ev, clsCalRRule::kWeekly);                      // Mondays: the 16th next
    addRule(ev, clsCalRRule::kMonthly).setByMonthDay("15");  // the 15th
    ev.setViewFromDate(at(2026, 3, 11));
    EXPECT_EQ(ev.calcNextViewDate(), at(2026, 3, 15));
}

TEST_F(EventWalk, OpenRulesWithNothingLeftKeepTheHorizon) {
    clsCalEvent ev = recurring(at(2026, 3, 2));
    addRule(ev, clsCalRRule::kYearly);
    ev.setHiddenList("20260302,20270302,20280302,20290302,20300302,20310302");
    EXPECT_EQ(ev.calcNextViewDate(), at(2031, 12, 31));
    // A bounded rule with nothing left gives the null date.
    ev.RRule(1)->setDurationUntil(at(2031, 12, 31), true);
    EXPECT_TRUE(ev.calcNextViewDate().isNull());
}

TEST_F(EventWalk, OneOffEventsKeepTheirStartUntilHidden) {
    clsCalEvent ev = recurring(at(2025, 6, 1, 14, 0), false);
    ev.setIsRecurring(false);
    EXPECT_EQ(ev.calcNextViewDate(), at(2025, 6, 1, 14, 0));
    ev.setHiddenList("20250601T140000");
    EXPECT_TRUE(ev.calcNextViewDate().isNull());
}

TEST_F(EventWalk, ARuleOfNoKnownFrequencyIsAnsweredAsAOneOff) {
    clsCalEvent ev = recurring(at(2026, 1, 5));
    addRule(ev, clsCalRRule::kNone);
    EXPECT_EQ(ev.calcNextViewDate(), at(2026, 1, 5));
    ev.setIsRecurring(true);
    ev.deleteRRule(1);  // recurring without rules
    EXPECT_EQ(ev.calcNextViewDate(), at(2026, 1, 5));
}

TEST_F(EventWalk, ExtraDatesAfterTheRulesEndKeepTheEvent) {
    clsCalEvent ev = recurring(at(2026, 2, 2));
    addRule(ev, clsCalRRule::kWeekly).setDurationUntil(at(2026, 2, 23), true);
    ev.setRDates("20260215,20260401,20260501");
    ev.setViewFromDate(at(2026, 3, 11));
    EXPECT_EQ(ev.calcNextViewDate(), at(2026, 4, 1));
    ev.AddHidden(at(2026, 4, 1), true);
    EXPECT_EQ(ev.calcNextViewDate(), at(2026, 5, 1));
    ev.AddExDate(at(2026, 5, 1), true);
    EXPECT_TRUE(ev.calcNextViewDate().isNull());
}

TEST_F(EventWalk, TheLastOccurrenceOnAnAllDayUntilIsStillAhead) {
    // Daily at 09:00 until 11 March (a date without time); at 08:00 on the
    // 11th that morning's occurrence is the view date.
    clock_.set(at(2026, 3, 11, 8, 0));
    clsCalEvent ev = recurring(at(2026, 3, 2, 9, 0), false);
    addRule(ev, clsCalRRule::kDaily).setDurationUntil(at(2026, 3, 11), true);
    ev.setViewFromDate(at(2026, 3, 11, 9, 0));
    EXPECT_EQ(ev.calcNextViewDate(), at(2026, 3, 11, 9, 0));
}

TEST_F(EventWalk, PastExtraDatesDoNotMoveTheViewDateBack) {
    clsCalEvent ev = recurring(at(2026, 3, 2, 9, 0), false);
    addRule(ev, clsCalRRule::kWeekly);
    ev.setRDates("20260303T100000,20260304T100000,20260309T080000");
    ev.setViewFromDate(at(2026, 3, 9, 9, 0));
    EXPECT_EQ(ev.calcNextViewDate(), at(2026, 3, 9, 9, 0));
}

TEST_F(EventWalk, ACountedRuleGetsItsUntilWhileTheViewDateIsFound) {
    clsCalEvent ev = recurring(at(2026, 3, 10));
    addRule(ev, clsCalRRule::kDaily).setDurationCount(5);
    ev.setViewFromDate(at(2026, 3, 10));
    EXPECT_EQ(ev.calcNextViewDate(), at(2026, 3, 10));
    EXPECT_EQ(ev.RRule(1)->DurationUntil(), at(2026, 3, 14));
}

}  // namespace
}  // namespace wendra
