#pragma once

// One appointment as its VEVENTs hold it (the series and the changed
// occurrences that share its UID), read into values, and the writers that put
// one Save's changes back into those VEVENTs. Everything else a VEVENT holds
// (descriptions, locations, attendees, other programs' X- properties) is left
// as it is.

#include <libical/ical.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/clock/DateTime.h"
#include "platform/outlook/IcsTime.h"
#include "platform/outlook/Pattern.h"

namespace wendra::outlook::ics {

// The X- property that keeps one user property, its name and type as parameters.
inline constexpr const char* kUserPropertyName = "X-WENDRAWIN-PROPERTY";
// The calendar's own id, a property of the VCALENDAR.
inline constexpr const char* kCalendarIdName = "X-WENDRAWIN-CALENDAR-ID";

struct UserPropData {
    std::string name;
    int type = 1;
    std::string text;  // the stored form of the value
};

struct Timing {
    DateTime start;
    long duration = 30;  // minutes
    bool allDay = false;
    bool operator==(const Timing&) const = default;
};

// A changed occurrence (a VEVENT with a RECURRENCE-ID).
struct OverrideData {
    DateTime original;  // local
    Timing timing;
    std::string subject;
    bool reminder = false;
    DateTime lastModified;
    std::vector<UserPropData> props;
};

struct AppointmentData {
    std::string uid;
    std::string subject;
    Timing timing;
    bool reminder = false;
    DateTime created;
    DateTime lastModified;
    std::vector<UserPropData> props;
    SeriesStart series;
    std::vector<std::string> rrules;
    std::vector<DateTime> rdates;   // local
    std::vector<DateTime> exdates;  // local
    std::vector<OverrideData> overrides;  // in order of their original start
    std::shared_ptr<const ZoneTable> zones;  // keeps the zones of `series` alive

    bool recurring() const { return !rrules.empty(); }
    const OverrideData* overrideAt(DateTime original) const;
    bool deletedAt(DateTime original) const;
    // The pattern closest to its rules, worked out at the first asking: every
    // occurrence of a walk asks for it.
    const PatternData& pattern() const;

private:
    mutable std::optional<PatternData> pattern_;
};

// What one Save of an item or an occurrence writes; unset parts stay as they are.
struct ItemChanges {
    std::optional<std::string> subject;
    std::optional<Timing> timing;
    std::optional<bool> reminder;
    std::vector<UserPropData> props;
    std::optional<PatternData> pattern;
    bool clearPattern = false;
    bool empty() const { return !subject && !timing && !reminder && props.empty() && !pattern && !clearPattern; }
};

// Reading.
AppointmentData readAppointment(icalcomponent* master, const std::vector<icalcomponent*>& overrides,
                                std::shared_ptr<const ZoneTable> zones);
std::string uidOf(icalcomponent* event);
SeriesStart seriesOf(icalcomponent* master, const ZoneTable& zones);
Timing readTiming(icalcomponent* event, const ZoneTable& zones);
// The local time of a property's date or date-time.
DateTime localTimeOf(icalproperty* property, const ZoneTable& zones);
bool isOverride(icalcomponent* event);

// Writing.
std::string newUid();
icalcomponent* newEvent(const std::string& uid, DateTime now);
// LAST-MODIFIED and DTSTAMP move to now.
void touch(icalcomponent* event, DateTime now);
void writeSubject(icalcomponent* event, const std::string& subject);
void writeTiming(icalcomponent* event, const Timing& timing, const TimeForm& form);
void writeReminder(icalcomponent* event, bool set);
void writeUserProperty(icalcomponent* event, const UserPropData& prop);
void writeRule(icalcomponent* event, const std::string& rrule);  // empty: no rule, no extra or deleted dates
// The occurrence at `original` is deleted.
void addExdate(icalcomponent* master, DateTime original, const ZoneTable& zones);
// The occurrence start a RECURRENCE-ID, EXDATE or DTSTART of a series writes.
icaltimetype occurrenceTime(const SeriesStart& series, DateTime localOriginal);
// A changed occurrence's RECURRENCE-ID: the start it has in the series.
void writeRecurrenceId(icalcomponent* occurrence, const SeriesStart& series, DateTime localOriginal);
// A VEVENT for a changed occurrence: the series' own properties without its rule.
icalcomponent* newOverride(icalcomponent* master, DateTime original, DateTime now, const ZoneTable& zones);

}  // namespace wendra::outlook::ics
