#pragma once

// The time zones a calendar's times are given in (DTSTART;TZID=...): the
// VTIMEZONE components of the calendar, and the machine's zone database for a
// zone the calendar does not define. The program keeps local times, so a time
// in a named zone is turned into the machine's local time.
//
// A VTIMEZONE is read as the calendar programs write one: observances that
// start at their DTSTART, at RDATEs, or each year by a yearly RRULE of a
// month and a weekday of it (BYMONTH=10;BYDAY=-1SU) or a day of it. An
// observance of any other rule starts at its DTSTART only. Only zones defined
// before the times that use them are known: calendar programs write them first.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/clock/DateTime.h"

namespace wendra {

class iCalZones {
public:
    // One line of a VTIMEZONE, from its BEGIN line to its END line, as its
    // key (no blanks, upper case) and value. Answers whether the component
    // is still open after it.
    bool zoneLine(const std::string& key, const std::string& value);

    // The machine's local time of a wall-clock time in the zone; nullopt when
    // the zone is neither defined here nor in the machine's database.
    std::optional<DateTime> toLocal(const std::string& tzid, DateTime wall) const;

    // The zone database's local time of a wall-clock time in a zone of it;
    // nullopt for a name that is none of its zones. A name with a prefix of
    // the program that wrote it ("/example.org/2007_1/Europe/Berlin") is
    // looked up by its trailing parts.
    static std::optional<DateTime> systemZoneToLocal(std::string_view tzid, DateTime wall);

private:
    struct Observance {
        DateTime start;  // wall time, in offsetFrom
        int offsetFrom = 0, offsetTo = 0;  // seconds east of UTC
        bool offsetsRead = false;
        bool yearly = false;
        int month = 0;            // 0: the start's month
        int ordinal = 0;          // of the weekday: 1..5, -1..-5; 0: none
        int weekday = 0;          // 1 = Sunday .. 7; 0: none
        int monthDay = 0;         // the first of BYMONTHDAY; 0: none
        std::optional<DateTime> until;  // as UTC when untilUtc
        bool untilUtc = false;
        int count = 0;  // 0: none
        std::vector<DateTime> starts;   // RDATEs
    };
    struct Zone {
        std::string id;
        std::vector<Observance> observances;
    };

    // The offset of the zone at a wall-clock time.
    static int offsetAt(const Zone& zone, DateTime wall);
    // The observance's onset in a year, if it has one there.
    static std::optional<DateTime> onsetIn(const Observance& o, int year);
    static void readRule(Observance& o, const std::string& value);

    std::vector<Zone> zones_;
    bool open_ = false;
    bool inObservance_ = false;
    Observance observance_;  // the one being read
};

}  // namespace wendra
