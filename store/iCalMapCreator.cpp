#include "store/iCalMapCreator.h"

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

#include "store/clsCalEvent.h"
#include "store/iCalMapCodec.h"
#include "store/iCalRuleExpansion.h"
#include "store/modFuncs.h"

namespace wendra {

namespace {

using Day = std::int64_t;

bool contains(const std::vector<int>& values, int v) { return std::find(values.begin(), values.end(), v) != values.end(); }

// The map of one window while its passes run: the day string from d0's day,
// and the instances kept beside it.
struct MapWork {
    std::string days;
    DateTime d0;  // the first day; for a timed map its time is a lower limit on that day
    std::vector<std::pair<DateTime, bool>> extras;  // date-time and all-day flag
    std::vector<DateTime> exclusions;

    Day firstDay() const { return d0.dayNumber(); }
    // The 1-based place of the day of `d` in the day string.
    Day place(DateTime d) const { return d.dayNumber() - firstDay() + 1; }
    Day length() const { return static_cast<Day>(days.size()); }
};

// The time slots of a timed rule: every hour x minute x second.
struct Slots {
    const ExpansionRule& rule;
    bool allDayEvent;

    // The rule yields exactly one slot, and it is this time.
    bool onlySlot(DateTime d) const {
        return !allDayEvent && rule.hours.size() == 1 && rule.minutes.size() == 1 && rule.seconds.size() == 1 &&
               rule.hours[0] == d.hour() && rule.minutes[0] == d.minute() && rule.seconds[0] == d.second();
    }
    bool isSlot(DateTime d) const {
        return !allDayEvent && contains(rule.hours, d.hour()) && contains(rule.minutes, d.minute()) &&
               contains(rule.seconds, d.second());
    }
    // The time of the day's last slot.
    int lastSecondOfDay() const {
        return *std::max_element(rule.hours.begin(), rule.hours.end()) * 3600 +
               *std::max_element(rule.minutes.begin(), rule.minutes.end()) * 60 +
               *std::max_element(rule.seconds.begin(), rule.seconds.end());
    }
};

// COUNT: the map ends with the count-th day the rule produced, and that day
// becomes the rule's UNTIL; fewer days than the count leave the map whole and
// the UNTIL null. Days are counted, not time slots, and only the rule's own
// days (extra dates are added and removed dates taken out afterwards).
void applyCount(MapWork& map, int count, const Slots& slots, clsCalRRule& rule, DateTime eventStart) {
    if (count < 1) return;
    DateTime until;
    std::size_t p = std::string::npos;
    int found = 0;
    while (found < count) {
        p = map.days.find('1', p == std::string::npos ? 0 : p + 1);
        if (p == std::string::npos) break;
        ++found;
    }
    if (found == count) {
        map.days.resize(p + 1);
        until = eventStart.date().addDays(static_cast<Day>(p) + (map.firstDay() - eventStart.dayNumber()));
        if (!slots.allDayEvent) until = until.addSeconds(slots.lastSecondOfDay());
    }
    rule.setDurationUntil(until, slots.allDayEvent);
}

bool hasTime(std::string_view text) { return text.find('T') != std::string_view::npos; }

// Extra dates, and the event's start, which is always an occurrence.
void addRDates(MapWork& map, const clsCalEvent& ev, const Slots& slots, DateTime toDate) {
    auto add = [&](DateTime d, bool allDay) {
        const Day i = map.place(d);
        if ((i < 1 || i > map.length()) && d.dayNumber() > toDate.dayNumber()) return;
        const bool marked = i >= 1 && i <= map.length() && map.days[static_cast<std::size_t>(i - 1)] == '1';
        const bool inDays = allDay || slots.onlySlot(d) || (slots.isSlot(d) && marked);
        if (inDays) {
            if (i < 1) return;
            // A day past the end of the string (after an UNTIL, before toDate)
            // lengthens it, so the day string carries the date like any other.
            if (i > map.length()) map.days.resize(static_cast<std::size_t>(i), '0');
            map.days[static_cast<std::size_t>(i - 1)] = '1';
        } else if (d >= map.d0) {
            map.extras.emplace_back(d, false);
        }
    };
    for (const auto& text : ev.RDatesArray())
        if (const auto d = parseICalDateTime(text)) add(*d, !hasTime(text));
    const DateTime start = ev.EventStart();
    add(ev.AllDayEvent() ? start.date() : start, ev.AllDayEvent());
}

// Removed and hidden dates. An all-day one clears its day; a timed one clears
// its day when it is the rule's only slot, and otherwise goes to the
// exclusions so that the reader skips just that instance (an extra date at one
// of the slots included: clearing its unmarked day would leave it standing).
void clearExAndHiddenDates(MapWork& map, const clsCalEvent& ev, const Slots& slots) {
    for (const auto& text : ev.ExAndHiddenDatesArray(true, true)) {
        const auto d = parseICalDateTime(text);
        if (!d) continue;
        const Day i = map.place(*d);
        const bool inMap = i >= 1 && i <= map.length();
        if (!hasTime(text)) {
            if (inMap) map.days[static_cast<std::size_t>(i - 1)] = '0';
        } else if (inMap && slots.onlySlot(*d)) {
            map.days[static_cast<std::size_t>(i - 1)] = '0';
        } else if (*d >= map.d0) {
            map.exclusions.push_back(*d);
        }
    }
}

// The window: from fromDate's day to toDate's day, when fromDate lies on or
// after the first day; extra dates outside it go with the days.
void cutToWindow(MapWork& map, DateTime fromDate, DateTime toDate) {
    const Day n = fromDate.dayNumber() - map.firstDay();
    if (n < 0) return;
    const Day keep = toDate.dayNumber() - fromDate.dayNumber() + 1;
    if (keep < 1 || n >= map.length()) map.days.clear();
    else map.days = map.days.substr(static_cast<std::size_t>(n), static_cast<std::size_t>(keep));
    // Callers give fromDate the event's time; should it be earlier on the
    // start's own day, the start's time stays the limit.
    map.d0 = std::max(map.d0, fromDate);
    std::erase_if(map.extras, [&](const std::pair<DateTime, bool>& e) {
        const bool early = e.second ? e.first.dayNumber() < fromDate.dayNumber() : e.first < fromDate;
        return early || e.first.dayNumber() > toDate.dayNumber();
    });
}

// Leading and trailing days without an occurrence go. When the map then
// starts on a later day, that day starts at midnight: the lower limit of the
// window's time of day belongs to the window's first day only.
void trim(MapWork& map) {
    const std::size_t first = map.days.find('1');
    if (first == std::string::npos) {
        map.d0 = map.d0.date().addDays(map.length());
        map.days.clear();
        return;
    }
    if (first > 0) {
        map.days.erase(0, first);
        map.d0 = map.d0.date().addDays(static_cast<Day>(first));
    }
    map.days.resize(map.days.find_last_of('1') + 1);
}

void appendStampList(std::string& out, char letter, const std::string& stamps) {
    if (stamps.empty()) return;
    out += letter;
    out += hexLength8(stamps.size());
    out += stamps;
}

std::string encode(const MapWork& map, const ExpansionRule& rule, bool allDayEvent) {
    std::string out = encodeMapDate(map.d0, !allDayEvent);
    if (!allDayEvent) {
        out += 'H';
        for (int v : rule.hours) out += mapChar(v);
        out += 'M';
        for (int v : rule.minutes) out += mapChar(v);
        out += 'S';
        for (int v : rule.seconds) out += mapChar(v);
    }
    out += 'B';
    out += hexLength8(map.days.size());
    out += map.days;
    std::string extras, exclusions;
    for (const auto& [d, allDay] : map.extras) extras += encodeMapDate(d, !allDay);
    for (DateTime d : map.exclusions) exclusions += encodeMapDate(d, true);
    appendStampList(out, 'R', extras);
    appendStampList(out, 'X', exclusions);
    return out;
}

}  // namespace

bool iCalMapCreator::isDateDeleted(DateTime d, bool allDay, bool checkExDates, bool checkHidden) const {
    if (!event_) return false;
    std::string lists;
    if (checkExDates) lists = event_->ExDates();
    // The comma keeps the end of one list and the start of the other from
    // reading as one date.
    if (checkHidden) lists += "," + event_->HiddenList();
    return lists.find(formatICalDateTime(d, !allDay)) != std::string::npos;
}

std::string iCalMapCreator::makeSingleDateMap() const {
    const clsCalEvent& ev = *event_;
    if (isDateDeleted(ev.EventStart(), ev.AllDayEvent(), true, true)) return {};
    return encodeMapDate(ev.EventStart(), !ev.AllDayEvent()) + "B" + hexLength8(1) + "1";
}

std::string iCalMapCreator::makeEventBitMap(clsCalRRule* rule, DateTime fromDate, DateTime toDate) {
    if (!event_) return {};
    const clsCalEvent& ev = *event_;
    if (!ev.IsRecurring() || !rule || !ruleExpands(*rule)) return makeSingleDateMap();

    const DateTime start = ev.EventStart();
    const bool allDayEvent = ev.AllDayEvent();
    const DateTime until = rule->DurationUntil();
    // A COUNT is counted from the start, so its years are expanded from there.
    const bool counting = until.isNull() && rule->DurationCount() > 0;
    // The calendar runs from the year 100 to 9999; a stray date outside it
    // is taken as its nearest end.
    const int firstYear = std::clamp(counting ? start.year() : fromDate.year(), 100, 9999);
    const int lastYear = std::clamp(toDate.year(), 100, 9999);

    const ExpansionRule working = prepareRule(*rule, start);
    const Slots slots{working, allDayEvent};
    MapWork map;
    map.days = expandRuleDays(working, start, firstYear, lastYear);
    map.d0 = DateTime::ymd(firstYear, 1, 1);

    // Nothing before the start; on the start's own day nothing before its time.
    const Day beforeStart = start.dayNumber() - map.firstDay();
    if (beforeStart >= 0) {
        map.days.erase(0, static_cast<std::size_t>(std::min(beforeStart, map.length())));
        map.d0 = start;
    }

    if (!until.isNull()) {
        const Day k = until.dayNumber() - map.firstDay() + 1;
        if (k < 1) map.days.clear();
        else if (k < map.length()) map.days.resize(static_cast<std::size_t>(k));
    } else {
        applyCount(map, rule->DurationCount(), slots, *rule, start);
    }

    addRDates(map, ev, slots, toDate);
    clearExAndHiddenDates(map, ev, slots);
    cutToWindow(map, fromDate, toDate);
    trim(map);
    return encode(map, working, allDayEvent);
}

}  // namespace wendra
