#pragma once

// The expansion of one recurrence rule into days, used by the map creator.
//
// A rule becomes a string of one character a day over whole years, "1" where
// the rule yields an occurrence. The BY parts act as filters on candidate
// days and intervals count from the event's start; the time of day plays no
// part here (the time slots come from the hour, minute and second lists).
//
// The expansion works on its own copy of the rule: the parts it fills in from
// the event's start (an unset month day, weekday or month) never reach the
// caller's rule, so a later expansion after the start changed starts afresh.

#include <string>
#include <vector>

#include "platform/clock/DateTime.h"
#include "store/clsCalRRule.h"

namespace wendra {

// Yearly, monthly, weekly, daily and the three sub-daily frequencies expand;
// "none" (7) and any code the program does not know expand as no rule.
bool ruleExpands(const clsCalRRule& rule);

// The rule as the expansion reads it, with its defaults filled in.
struct ExpansionRule {
    // A BY list is "given" when the rule names it at all: a list whose items
    // are all unreadable selects nothing rather than everything.
    struct NumberList {
        bool given = false;
        std::vector<int> values;
    };
    // A BYDAY item: an optional ordinal (0 for a plain weekday) and the weekday
    // counted from Sunday = 1.
    struct WeekdayItem {
        int ordinal = 0;
        int weekday = 1;
    };

    int frequency = clsCalRRule::kNone;
    int interval = 1;
    int weekStart = 2;  // Sunday = 1; anything outside 1..7 reads as Monday
    NumberList months, weekNos, yearDays, monthDays, setPos;
    bool byDayGiven = false;
    std::vector<WeekdayItem> byDay;
    // The rule named its own months (not the start month filled in).
    bool ownMonths = false;
    // The time lists, each value in range and once, in the rule's order;
    // never empty (an empty list takes the start's hour, minute or second).
    std::vector<int> hours, minutes, seconds;
};

// The working copy of `rule` with the defaults taken from `eventStart`.
ExpansionRule prepareRule(const clsCalRRule& rule, DateTime eventStart);

// The day string of the years firstYear to lastYear: one character a day from
// 1 January of firstYear to 31 December of lastYear. Empty when lastYear is
// before firstYear.
std::string expandRuleDays(const ExpansionRule& rule, DateTime eventStart, int firstYear, int lastYear);

}  // namespace wendra
