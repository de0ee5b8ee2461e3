#pragma once

// The changes one Save or Delete makes to a calendar: each finds its
// appointment by UID in a fresh reading and touches nothing else.

#include <libical/ical.h>

#include <string>
#include <vector>

#include "platform/clock/DateTime.h"
#include "platform/outlook/IcsEvent.h"

namespace wendra::outlook::ics {

icalcomponent* findSeries(icalcomponent* calendar, const std::string& uid);
std::vector<icalcomponent*> findOverrides(icalcomponent* calendar, const std::string& uid);

// A new series gets a VEVENT; a series that is gone raises kItemDeleted. A new
// or changed pattern moves the start to the pattern's first occurrence, and
// deleted or changed occurrences the new rule no longer gives are dropped.
void saveSeries(icalcomponent* calendar, const std::string& uid, bool isNew, const ItemChanges& changes, DateTime now,
                const ZoneTable& zones);
// An occurrence saved becomes a changed occurrence of its own VEVENT; the
// series' modification time moves with it.
void saveOccurrence(icalcomponent* calendar, const std::string& uid, DateTime original, const ItemChanges& changes,
                    DateTime now, const ZoneTable& zones);
void deleteSeries(icalcomponent* calendar, const std::string& uid);
void deleteOccurrence(icalcomponent* calendar, const std::string& uid, DateTime original, DateTime now,
                      const ZoneTable& zones);

}  // namespace wendra::outlook::ics
