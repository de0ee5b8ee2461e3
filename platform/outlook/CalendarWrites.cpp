#include "platform/outlook/CalendarWrites.h"

#include "platform/outlook/Errors.h"
#include "platform/outlook/Expansion.h"
#include "platform/outlook/ObjectModel.h"
#include "platform/outlook/Pattern.h"

namespace wendra::outlook::ics {

namespace {

[[noreturn]] void gone() {
    throw Error(err::kItemDeleted, "The item has been moved or deleted.", kErrorSource);
}

std::shared_ptr<const ZoneTable> borrowed(const ZoneTable& zones) {
    return std::shared_ptr<const ZoneTable>(&zones, [](const ZoneTable*) {});
}

std::vector<std::string> rulesOf(icalcomponent* event) {
    std::vector<std::string> out;
    for (icalproperty* p = icalcomponent_get_first_property(event, ICAL_RRULE_PROPERTY); p;
         p = icalcomponent_get_next_property(event, ICAL_RRULE_PROPERTY)) {
        struct icalrecurrencetype r = icalproperty_get_rrule(p);
        out.push_back(takeString(icalrecurrencetype_as_string_r(&r)));
    }
    return out;
}

void removeComponent(icalcomponent* calendar, icalcomponent* c) {
    icalcomponent_remove_component(calendar, c);
    icalcomponent_free(c);
}

void writeCommon(icalcomponent* event, const ItemChanges& c, const TimeForm& form) {
    if (c.subject) writeSubject(event, *c.subject);
    if (c.timing) writeTiming(event, *c.timing, form);
    if (c.reminder) writeReminder(event, *c.reminder);
    for (const UserPropData& p : c.props) writeUserProperty(event, p);
}

// After the rule or the start changed: deleted and changed occurrences that
// the series no longer has would name starts that do not exist.
void pruneExceptions(icalcomponent* calendar, icalcomponent* master, const std::string& uid, const ZoneTable& zones) {
    const auto overrides = findOverrides(calendar, uid);
    const AppointmentData a = readAppointment(master, {}, borrowed(zones));
    std::vector<icalproperty*> stale;
    for (icalproperty* p = icalcomponent_get_first_property(master, ICAL_EXDATE_PROPERTY); p;
         p = icalcomponent_get_next_property(master, ICAL_EXDATE_PROPERTY))
        if (!isSeriesStart(a, localTimeOf(p, zones))) stale.push_back(p);
    for (icalproperty* p : stale) {
        icalcomponent_remove_property(master, p);
        icalproperty_free(p);
    }
    for (icalcomponent* o : overrides)
        if (!isSeriesStart(a, localTimeOf(icalcomponent_get_first_property(o, ICAL_RECURRENCEID_PROPERTY), zones)))
            removeComponent(calendar, o);
}

// A series whose start moved takes its deleted and changed occurrences along,
// by as much as its start moved in its own clock, as calendar programs do; a
// changed occurrence that kept its time stays at its place in the series.
void moveExceptions(icalcomponent* calendar, icalcomponent* master, const std::string& uid, const SeriesStart& before,
                    const SeriesStart& after, const ZoneTable& zones) {
    const std::int64_t by = after.wall.seconds() - before.wall.seconds();
    const auto moved = [&](DateTime local) {
        const DateTime wall = wallTime(fromLocal(local, before.form, before.allDay));
        return toLocal(fromWall(wall.addSeconds(by), after.form, after.allDay), after.form);
    };
    std::vector<icalproperty*> exdates;
    for (icalproperty* p = icalcomponent_get_first_property(master, ICAL_EXDATE_PROPERTY); p;
         p = icalcomponent_get_next_property(master, ICAL_EXDATE_PROPERTY))
        exdates.push_back(p);
    std::vector<DateTime> deleted;
    for (icalproperty* p : exdates) {
        deleted.push_back(moved(localTimeOf(p, zones)));
        icalcomponent_remove_property(master, p);
        icalproperty_free(p);
    }
    for (DateTime d : deleted) addExdate(master, d, zones);
    const Timing series = readTiming(master, zones);
    for (icalcomponent* o : findOverrides(calendar, uid)) {
        const DateTime original = localTimeOf(icalcomponent_get_first_property(o, ICAL_RECURRENCEID_PROPERTY), zones);
        const DateTime now = moved(original);
        writeRecurrenceId(o, after, now);
        const Timing t = readTiming(o, zones);
        if (t.start == original)
            writeTiming(o, Timing{now, t.allDay == after.allDay ? t.duration : series.duration, after.allDay}, after.form);
    }
}

void writePattern(icalcomponent* event, const PatternData& pattern, const ZoneTable& zones) {
    const SeriesStart start = seriesOf(event, zones);
    const std::string rule = ruleOf(pattern, start);
    const DateTime first = firstOccurrence(rule, start);
    if (first == noDate()) throw Error(err::kBadPattern, "The pattern gives no occurrence.", kErrorSource);
    if (first != start.wall) {
        // The series begins with its first occurrence, which other calendar
        // programs count as the first one whether or not the rule gives it.
        Timing t = readTiming(event, zones);
        t.start = toLocal(fromWall(first, start.form, start.allDay), start.form);
        writeTiming(event, t, start.form);
    }
    writeRule(event, rule);
}

}  // namespace

icalcomponent* findSeries(icalcomponent* calendar, const std::string& uid) {
    for (icalcomponent* c = icalcomponent_get_first_component(calendar, ICAL_VEVENT_COMPONENT); c;
         c = icalcomponent_get_next_component(calendar, ICAL_VEVENT_COMPONENT))
        if (!isOverride(c) && uidOf(c) == uid) return c;
    return nullptr;
}

std::vector<icalcomponent*> findOverrides(icalcomponent* calendar, const std::string& uid) {
    std::vector<icalcomponent*> out;
    for (icalcomponent* c = icalcomponent_get_first_component(calendar, ICAL_VEVENT_COMPONENT); c;
         c = icalcomponent_get_next_component(calendar, ICAL_VEVENT_COMPONENT))
        if (isOverride(c) && uidOf(c) == uid) out.push_back(c);
    return out;
}

void saveSeries(icalcomponent* calendar, const std::string& uid, bool isNew, const ItemChanges& changes, DateTime now,
                const ZoneTable& zones) {
    icalcomponent* event = nullptr;
    if (isNew) {
        event = newEvent(uid, now);
        icalcomponent_add_component(calendar, event);
        if (!changes.subject) writeSubject(event, "");
    } else {
        event = findSeries(calendar, uid);
        if (!event) gone();
    }
    const SeriesStart before = seriesOf(event, zones);
    const std::vector<std::string> rulesBefore = rulesOf(event);
    writeCommon(event, changes, before.form);
    if (changes.clearPattern) {
        writeRule(event, "");
        for (icalcomponent* o : findOverrides(calendar, uid)) removeComponent(calendar, o);
    } else if (changes.pattern) {
        writePattern(event, *changes.pattern, zones);
    }
    const SeriesStart after = seriesOf(event, zones);
    const bool startMoved = after.wall != before.wall || after.allDay != before.allDay;
    if (!isNew && startMoved && !rulesBefore.empty() && !rulesOf(event).empty())
        moveExceptions(calendar, event, uid, before, after, zones);
    if (!isNew && (startMoved || rulesOf(event) != rulesBefore)) pruneExceptions(calendar, event, uid, zones);
    touch(event, now);
}

void saveOccurrence(icalcomponent* calendar, const std::string& uid, DateTime original, const ItemChanges& changes,
                    DateTime now, const ZoneTable& zones) {
    icalcomponent* master = findSeries(calendar, uid);
    if (!master) gone();
    const AppointmentData a = readAppointment(master, {}, borrowed(zones));
    if (a.deletedAt(original) || !isSeriesStart(a, original)) gone();
    icalcomponent* occurrence = nullptr;
    for (icalcomponent* o : findOverrides(calendar, uid))
        if (localTimeOf(icalcomponent_get_first_property(o, ICAL_RECURRENCEID_PROPERTY), zones) == original)
            occurrence = o;
    if (!occurrence) {
        occurrence = newOverride(master, original, now, zones);
        icalcomponent_add_component(calendar, occurrence);
    }
    writeCommon(occurrence, changes, a.series.form);
    touch(occurrence, now);
    touch(master, now);
}

void deleteSeries(icalcomponent* calendar, const std::string& uid) {
    std::vector<icalcomponent*> doomed = findOverrides(calendar, uid);
    if (icalcomponent* master = findSeries(calendar, uid)) doomed.push_back(master);
    for (icalcomponent* c : doomed) removeComponent(calendar, c);
}

void deleteOccurrence(icalcomponent* calendar, const std::string& uid, DateTime original, DateTime now,
                      const ZoneTable& zones) {
    icalcomponent* master = findSeries(calendar, uid);
    if (!master) gone();
    for (icalcomponent* o : findOverrides(calendar, uid))
        if (localTimeOf(icalcomponent_get_first_property(o, ICAL_RECURRENCEID_PROPERTY), zones) == original)
            removeComponent(calendar, o);
    addExdate(master, original, zones);
    touch(master, now);
}

}  // namespace wendra::outlook::ics
