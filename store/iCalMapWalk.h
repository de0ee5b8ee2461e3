#pragma once

// The occurrence walk of one event over the maps of all its rules: every map
// read at once and merged in date-time order, an occurrence that several maps
// hold (the event's start and its extra dates are in each of them) handed out
// once.

#include <string_view>
#include <vector>

#include "platform/clock/DateTime.h"
#include "store/iCalMapReader.h"

namespace wendra {

class iCalMapWalk {
public:
    // Back to no maps: the walk is over at once.
    void clear();
    // Adds one map and stands it before its first occurrence.
    void addMap(std::string_view encodedMap);

    // Days that hold an occurrence in any of the maps' day strings, each day once.
    int getOccurCount() const;
    // The next occurrence over all maps, or the null date (and endOfOccurs)
    // when none is left.
    DateTime getNextOccur();
    bool endOfOccurs() const { return end_; }
    bool AllDayOccur() const { return allDay_; }

private:
    struct Source {
        iCalMapReader reader;
        DateTime next;  // the occurrence this map offers next
        bool nextAllDay = true;
        bool done = false;
        void advance();
    };
    std::vector<Source> sources_;
    bool end_ = true;
    bool allDay_ = true;
};

}  // namespace wendra
