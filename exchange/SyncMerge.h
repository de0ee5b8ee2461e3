#pragma once

// The three-way merge of an event the device sent with the program's copy and
// the copy both sides last agreed on (the base). Plain functions over event
// values: what to look up, save and send is the exchange's (DeviceSync).

#include "platform/clock/DateTime.h"
#include "store/clsCalEvent.h"

namespace wendra {

// The value to keep: the target's when the base is used and the source left the
// base's value as it was, else the source's.
template <typename T>
T mergeValue(const T& base, const T& target, const T& source, bool useBase) {
    return useBase && source == base ? target : source;
}
// The same for dates, equal to the second.
DateTime mergeDate(DateTime base, DateTime target, DateTime source, bool useBase);

// Merges source into target, property by property, and takes the schedule (start,
// all day, recurring and the first rule) as a whole from the source when the
// target's copy is the device's day map or the source changed it. The result is
// the target.
clsCalEvent mergeEvent(const clsCalEvent& base, clsCalEvent target, const clsCalEvent& source, bool useBase);

// Whether the two copies differ in anything the device and the program exchange.
bool rruleChanged(const clsCalEvent& a, const clsCalEvent& b);

// Rebuilds the merged event's excluded and hidden dates from the program's copy
// and the device's (which sends both kinds as excluded dates): a date the
// program hides stays hidden, one it excludes stays excluded, a date still to
// come is excluded, and a past one is hidden unless `deleteSetting` deletes.
// `present` is the current date-time.
void mergeDateLists(clsCalEvent& merged, const clsCalEvent& program, const clsCalEvent& device, int deleteSetting,
                    DateTime present);

// The per-occurrence texts of one copy into the other, with the flag that says
// there are some: without it the editor would take the event for a plain one and
// drop them.
void copyDescExceptions(const clsCalEvent& from, clsCalEvent& to);

}  // namespace wendra
