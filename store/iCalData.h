#pragma once

// The rule column of an event row: its extra dates, its removed dates and its
// recurrence rules as one text of tags "<" key "=" value ">", with nothing
// between the tags.
//
//   event:  R extra dates, X removed dates (only when asked for)
//   a rule: # "R" (or "X" for an exclusion rule), F frequency, I interval,
//           C count, U until, M W Y T D H N S P the BY lists (month, week
//           number, year day, month day, day, hour, minute, second, set
//           position), K week start
//
// A tag whose value is blank is not written, nor are the values a new rule
// starts with (interval 1, count 0 or 1, no until date, week start 2).

#include <string>
#include <string_view>

#include "store/clsCalEvent.h"

namespace wendra {

std::string makeiCalData(const clsCalEvent& event, bool includeExDates);

// Reads a rule column into an event that the caller has just created. The
// text may come from a damaged row or an older file: a tag that cannot be read
// is passed over, a number that is not one or is out of its field's range
// takes the field's default, and rule tags with no recurrence rule to go to
// (before the first "#" tag, or after an exclusion rule's) are ignored. A
// value ends at the first ">" after its "=", and the reading goes on after
// that ">", so no text inside a value is read as a tag; a value is read as the
// writer would store it, so a text read and written again stays as written.
// It does not set IsRecurring; the caller does that from the rule count.
void parseICalData(clsCalEvent& event, std::string_view text);

}  // namespace wendra
