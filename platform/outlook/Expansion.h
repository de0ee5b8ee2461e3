#pragma once

// The occurrences of one appointment, expanded by libical's rule iterator in
// the series' own clock and shown in local time: the rules' starts and the
// extra dates, less the deleted ones, changed ones at their new start.

#include <optional>
#include <vector>

#include "platform/clock/DateTime.h"
#include "platform/outlook/IcsEvent.h"

namespace wendra::outlook::ics {

struct Occurrence {
    DateTime original;  // its start in the series
    Timing timing;      // where it is now
    const OverrideData* changed = nullptr;  // points into the appointment's data
};

// Every live occurrence that starts before `end` (and not before `from`), in order of start.
std::vector<Occurrence> occurrencesOf(const AppointmentData& a, DateTime end, std::optional<DateTime> from = std::nullopt);
// The live occurrence that starts exactly at `start`.
std::optional<Occurrence> occurrenceAt(const AppointmentData& a, DateTime start);
// Whether the series' rules or extra dates give this start (deleted or not).
bool isSeriesStart(const AppointmentData& a, DateTime original);

}  // namespace wendra::outlook::ics
