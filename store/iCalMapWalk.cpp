#include "store/iCalMapWalk.h"

#include <algorithm>
#include <cstdint>

namespace wendra {

void iCalMapWalk::Source::advance() {
    next = reader.getNextOccur();
    nextAllDay = reader.AllDayOccur();
    done = reader.endOfOccurs();
}

void iCalMapWalk::clear() {
    sources_.clear();
    end_ = true;
    allDay_ = true;
}

void iCalMapWalk::addMap(std::string_view encodedMap) {
    Source& s = sources_.emplace_back();
    s.reader.setEncodedEventMap(encodedMap);
    s.advance();
    end_ = false;
}

int iCalMapWalk::getOccurCount() const {
    if (sources_.size() == 1) return sources_.front().reader.getOccurCount();
    std::vector<std::int64_t> days;
    for (const auto& s : sources_) {
        const auto marked = s.reader.markedDays();
        days.insert(days.end(), marked.begin(), marked.end());
    }
    std::sort(days.begin(), days.end());
    return static_cast<int>(std::unique(days.begin(), days.end()) - days.begin());
}

DateTime iCalMapWalk::getNextOccur() {
    // The earliest offer; at equal times the maps' order decides.
    Source* first = nullptr;
    for (auto& s : sources_)
        if (!s.done && (!first || s.next < first->next)) first = &s;
    if (!first) {
        end_ = true;
        allDay_ = sources_.empty() ? true : sources_.front().reader.AllDayEvent();
        return DateTime();
    }
    const DateTime d = first->next;
    const bool allDay = first->nextAllDay;
    // Every map that offers the same occurrence moves past it, as often as it
    // offers it (two extra dates written differently can name one moment).
    for (auto& s : sources_)
        while (!s.done && s.next == d && s.nextAllDay == allDay) s.advance();
    end_ = false;
    allDay_ = allDay;
    return d;
}

}  // namespace wendra
