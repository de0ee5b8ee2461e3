#pragma once

// The two ways between an event's recurrence rule and an Outlook recurrence
// pattern. A pattern has a handful of shapes (daily, weekly on some days,
// monthly on a day or on the n-th of some weekdays, yearly the same within one
// month); reading one gives the rule that repeats the same way, and a rule is
// written only when one of those shapes repeats exactly as it does. A rule no
// shape can hold is refused rather than turned into another series.

#include <optional>
#include <string>

#include "platform/clock/DateTime.h"
#include "store/clsCalEvent.h"
#include "store/clsCalRRule.h"

namespace wendra {

// The pattern members that say how it repeats, with the pattern's own numbering.
struct PatternShape {
    int type = 1;           // olRecursDaily (0) .. olRecursYearNth (6)
    int interval = 1;       // as the pattern counts it: months for the yearly types
    int mask = 0;           // DayOfWeekMask
    int instance = 0;       // 1 to 4 the first to fourth, 5 the last; 0 for none
    int dayOfMonth = 0;     // the monthly and yearly types
    int monthOfYear = 0;    // the yearly types
    bool operator==(const PatternShape&) const = default;
};

struct PatternEnd {
    enum class Kind { none, count, until };
    Kind kind = Kind::none;
    int count = 0;
    DateTime until;  // the last day
    bool operator==(const PatternEnd&) const = default;
};

struct PatternPlan {
    PatternShape shape;
    PatternEnd end;
};

// Whether the event is a series as Outlook sees it: recurring, with a first rule
// that has a frequency.
bool repeatsInOutlook(const clsCalEvent& ev);
// Whether the event repeats in a way the program does not know: recurring by a
// rule without a frequency, as an appointment reads whose pattern is none of
// the pattern types (a rule another calendar program made). Such a repeat is
// never written over, nor taken for a one-off.
bool repeatsUnknown(const clsCalEvent& ev);

// The pattern that repeats exactly as the event's first rule from its start;
// nullopt, with `why` told, when no pattern can.
std::optional<PatternPlan> patternForEvent(const clsCalEvent& ev, std::string& why);

// The reading side: the rule's frequency, interval and BY lists from a pattern's
// shape. The days of the week and the position become ByDay and BySetPos
// (maskToByDay); a monthly day past the 28th becomes its month-end list.
void ruleFromPattern(clsCalRRule& rule, const PatternShape& shape);
void maskToByDay(clsCalRRule& rule, const PatternShape& shape);

}  // namespace wendra
