#pragma once

// Reads an encoded event map (iCalMapCodec.h) and hands its occurrences out
// one at a time, in ascending date-time order: the marked days at each of
// their time slots, the extra dates merged in where they fall, and the
// excluded instances left out.
//
// A reader can serve several maps in turn; setting a map starts a clean walk.
// It works on maps the creator just made, so it does no checking beyond what
// keeps a damaged text from being read past its end.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/clock/DateTime.h"

namespace wendra {

class iCalMapReader {
public:
    // EncodedEventMap: decodes the map and stands the walk before its first
    // occurrence. An empty text is a map without occurrences.
    void setEncodedEventMap(std::string_view map);

    // The map has no time of day (its start stamp carries none).
    bool AllDayEvent() const { return allDayMap_; }
    // The date of the first day of the day string; for a timed map with the
    // time before which nothing on that day is an occurrence.
    DateTime getMapStartDate() const { return mapStart_; }
    // Days marked in the day string; extra and excluded dates are not counted.
    int getOccurCount() const;
    // The day numbers (DateTime::dayNumber) of the marked days, ascending.
    std::vector<std::int64_t> markedDays() const;

    // Back to the first day of the map; extras and exclusions already passed
    // stay passed.
    DateTime getFirstOccur();
    // The next occurrence, or the null date (and endOfOccurs) when none is left.
    DateTime getNextOccur();
    bool endOfOccurs() const { return end_; }
    // Whether the occurrence last returned has no time of day.
    bool AllDayOccur() const { return currentAllDay_; }

    // Stands the walk on `d`, so that the next getNextOccur returns the first
    // occurrence after it. False, and nothing moves, when `d` lies outside the
    // day string or, for a timed position, is not one of the day's slots.
    bool moveToDate(DateTime d, bool allDay);

private:
    int slotCount() const;
    int slotSecondOfDay(int slot) const;  // slot counts from 1

    DateTime mapStart_;
    bool allDayMap_ = true;
    std::string days_;
    std::size_t dayPos_ = 0;  // where the next search for a marked day starts
    int slot_ = 0;            // slot last returned on the current day; 0 none
    bool end_ = true;
    bool currentAllDay_ = true;
    std::vector<int> hours_, minutes_, seconds_;
    std::vector<DateTime> extras_;
    std::vector<bool> extraAllDay_;
    std::size_t extraIndex_ = 0;
    std::vector<DateTime> exclusions_;
    std::size_t exclusionIndex_ = 0;
};

}  // namespace wendra
