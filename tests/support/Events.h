#pragma once

#include <string>

#include "store/clsCalEvent.h"
#include "store/clsCalRRule.h"

namespace wendra::test {

// An event as the editor leaves a new one: listed from its start.
inline clsCalEvent oneOff(std::string desc, DateTime start, bool allDay = false) {
    clsCalEvent ev;
    ev.setDescription(std::move(desc));
    ev.setEventStart(start);
    ev.setAllDayEvent(allDay);
    ev.setViewFromDate(start);
    return ev;
}

// The same, repeating at the frequency up to the date (none: for ever).
inline clsCalEvent repeating(std::string desc, DateTime start, DateTime until, int frequency = clsCalRRule::kDaily,
                             bool allDay = false) {
    clsCalEvent ev = oneOff(std::move(desc), start, allDay);
    clsCalRRule& r = ev.addRRule();
    r.setFrequency(frequency);
    if (!until.isNull()) r.setDurationUntil(until, true);
    ev.setIsRecurring(true);
    return ev;
}

inline clsCalEvent daily(std::string desc, DateTime start, DateTime until, bool allDay = false) {
    return repeating(std::move(desc), start, until, clsCalRRule::kDaily, allDay);
}

inline clsCalEvent weekly(std::string desc, DateTime start) {
    return repeating(std::move(desc), start, DateTime::null(), clsCalRRule::kWeekly);
}

}  // namespace wendra::test
