#pragma once

// Times between the program's local wall clock and the forms a calendar file
// writes them in: dates, floating local times, UTC, and times in a named zone.
// Local means the machine's time zone, as the C library knows it.

#include <libical/ical.h>

#include <ctime>
#include <map>
#include <memory>
#include <string>

#include "platform/clock/DateTime.h"

namespace wendra::outlook::ics {

// The time zones one calendar names: its own VTIMEZONE definitions first, then
// the system's zone database. Zones are made once and live with the table.
class ZoneTable {
public:
    ZoneTable() = default;
    ~ZoneTable();
    ZoneTable(const ZoneTable&) = delete;
    ZoneTable& operator=(const ZoneTable&) = delete;

    // Takes copies of the calendar's VTIMEZONE components.
    void addDefinitions(icalcomponent* calendar);
    // nullptr when the zone is unknown (its times then read as floating).
    icaltimezone* find(const std::string& tzid) const;

private:
    std::map<std::string, icaltimezone*> own_;
};

// How a series writes its times: floating local (our own form), UTC, or in a zone.
struct TimeForm {
    enum class Kind { floating, utc, zoned };
    Kind kind = Kind::floating;
    std::string tzid;
    icaltimezone* zone = nullptr;  // for zoned
    bool operator==(const TimeForm& o) const { return kind == o.kind && tzid == o.tzid; }
};

// The form a property's time is written in.
TimeForm formOf(icalproperty* property, const ZoneTable& zones);

// The local wall-clock time of a value; a date reads at 00:00.
DateTime toLocal(const icaltimetype& t, const TimeForm& form);
// The time in the clock of its own form (a zone's wall clock, UTC, or floating).
DateTime wallTime(const icaltimetype& t);
// A local time written in a form; a date when `date`.
icaltimetype fromLocal(DateTime local, const TimeForm& form, bool date = false);
// A wall-clock time of a form, as libical holds it.
icaltimetype fromWall(DateTime wall, const TimeForm& form, bool date = false);

// The years the program's store keeps: a date outside them is none it can show.
inline constexpr int kFirstYear = 1601;
inline constexpr int kLastYear = 9999;
inline bool inStoreRange(const icaltimetype& t) { return t.year >= kFirstYear && t.year <= kLastYear; }

// UTC values (CREATED, LAST-MODIFIED, DTSTAMP) read and written as local times.
DateTime utcToLocal(const icaltimetype& t);
icaltimetype localToUtc(DateTime local);

std::time_t localToTimeT(DateTime local);
DateTime timeTToLocal(std::time_t t);

}  // namespace wendra::outlook::ics
