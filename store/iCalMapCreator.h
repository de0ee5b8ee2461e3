#pragma once

// The recurrence engine: turns one event and one of its rules into the
// encoded event map (iCalMapCodec.h) of a date window, a day string with "1"
// on every day the event occurs plus the extra and excluded instances that a
// day string cannot carry.
//
// Pure: no I/O, no event loop; for a given event, rule, window and clock the
// map is always the same.

#include <string>

#include "platform/clock/DateTime.h"
#include "store/clsCalRRule.h"

namespace wendra {

class clsCalEvent;

class iCalMapCreator {
public:
    iCalMapCreator() = default;
    explicit iCalMapCreator(const clsCalEvent& event) : event_(&event) {}

    // The event to expand; it must outlive the calls that use it.
    void setCalEvent(const clsCalEvent* event) { event_ = event; }
    const clsCalEvent* CalEvent() const { return event_; }

    // The map of the event under `rule` for the window fromDate to toDate.
    // fromDate carries the event's time of day (callers combine it); the map
    // starts no earlier than it and, when fromDate lies on or after the first
    // day expanded, ends with toDate's day.
    //
    // No rule, an event that does not recur, or a rule of no known frequency:
    // the single occurrence at the event's start, unless it is removed or
    // hidden. A rule with a COUNT and no UNTIL gets the UNTIL of its last
    // counted day written back (the null date when the window ends before the
    // count is reached): the rest of the program relies on it. Nothing else of
    // the rule changes. Without a bound event the map is empty.
    std::string makeEventBitMap(clsCalRRule* rule, DateTime fromDate, DateTime toDate);

    // Whether the date's text (with its time unless allDay) appears in the
    // event's ExDates (when asked) or HiddenList (when asked). A substring
    // test: an all-day text also finds a timed entry of the same day.
    bool isDateDeleted(DateTime d, bool allDay, bool checkExDates, bool checkHidden) const;

private:
    std::string makeSingleDateMap() const;

    const clsCalEvent* event_ = nullptr;
};

}  // namespace wendra
