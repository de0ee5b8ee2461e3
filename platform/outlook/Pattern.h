#pragma once

// A recurrence pattern as the object model shows it, and its two ways to and
// from the RRULE of a calendar file. The file's rule is the truth: a pattern
// read from a rule another program wrote is the closest one, marked inexact
// when its occurrences would differ.

#include <libical/ical.h>

#include <string>
#include <vector>

#include "platform/clock/DateTime.h"
#include "platform/outlook/IcalHandles.h"
#include "platform/outlook/IcsTime.h"

namespace wendra::outlook::ics {

struct PatternData {
    enum class End { none, count, until };

    int type = 1;  // olRecursWeekly
    int interval = 1;
    int mask = 0;
    int instance = 1;
    int dayOfMonth = 1;
    int monthOfYear = 1;
    End end = End::none;
    int count = 0;
    DateTime until;  // the last day, at 00:00
    bool exact = true;

    bool operator==(const PatternData&) const = default;
};

// Where a series starts and how its file writes times: what a rule is read against.
struct SeriesStart {
    DateTime wall;  // DTSTART in the clock of its own form
    bool allDay = false;
    TimeForm form;
    icaltimetype dtstart() const { return fromWall(wall, form, allDay); }
};

// The pattern a one-off becomes: weekly on its start's weekday, without end.
PatternData weeklyPatternFor(DateTime start);
// What changing the type does: the days come from the start again, and the
// interval starts at every day, week, month or year.
void resetForType(PatternData& p, int type, DateTime start);

// The pattern closest to a series' rules.
PatternData patternOf(const std::vector<std::string>& rrules, bool extraDates, const SeriesStart& start);
// The rule of a pattern in libical's own form; raises an Error for a pattern
// no rule can hold (a yearly interval that is no whole number of years, no weekday).
std::string ruleOf(const PatternData& p, const SeriesStart& start);

// The day of the nth occurrence (1 = the first), or noDate() when there are fewer.
DateTime dayOfOccurrence(const std::string& rrule, const SeriesStart& start, int n);
// How many occurrences fall on or before the last day.
int countThrough(const std::string& rrule, const SeriesStart& start, DateTime lastDay);
// The first occurrence of the rule, in the series' wall clock; noDate() when there is none.
DateTime firstOccurrence(const std::string& rrule, const SeriesStart& start);

// Walks a rule's occurrences from DTSTART in libical's order, while `each`
// answers true; never more than `limit` of them. With `from` (in the clock of
// DTSTART), a rule without a count starts near it rather than at DTSTART: the
// occurrences before it may or may not come.
template <class F>
void walkRule(const struct icalrecurrencetype& rule, const icaltimetype& dtstart, F&& each, int limit = 200000,
              const icaltimetype* from = nullptr) {
    if (rule.freq == ICAL_NO_RECURRENCE) return;
    IteratorPtr it(icalrecur_iterator_new(rule, dtstart));
    if (!it) return;
    if (from && rule.count == 0 && icaltime_compare(*from, dtstart) > 0 && !icalrecur_iterator_set_start(it.get(), *from)) {
        // libical refuses a start past the rule's end: nothing is left from there.
        if (!icaltime_is_null_time(rule.until) && icaltime_compare(*from, rule.until) > 0) return;
        it.reset(icalrecur_iterator_new(rule, dtstart));
        if (!it) return;
    }
    for (int i = 0; i < limit; ++i) {
        const icaltimetype t = icalrecur_iterator_next(it.get());
        if (icaltime_is_null_time(t) || !each(t)) return;
    }
}

}  // namespace wendra::outlook::ics
