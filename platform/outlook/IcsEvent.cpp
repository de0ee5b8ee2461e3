#include "platform/outlook/IcsEvent.h"

#include <strings.h>

#include <algorithm>
#include <cstdio>
#include <random>

#include "platform/outlook/IcalHandles.h"
#include "platform/outlook/ObjectModel.h"

namespace wendra::outlook::ics {

namespace {

constexpr const char* kNameParameter = "X-NAME";
constexpr const char* kTypeParameter = "X-TYPE";
constexpr const char* kEmptyParameter = "X-EMPTY";
constexpr const char* kEmptyValue = "EMPTY";
// The reminder a new VALARM gives: a quarter of an hour ahead.
constexpr int kReminderMinutes = 15;

std::vector<icalproperty*> propertiesOf(icalcomponent* c, icalproperty_kind kind) {
    std::vector<icalproperty*> out;
    for (icalproperty* p = icalcomponent_get_first_property(c, kind); p; p = icalcomponent_get_next_property(c, kind))
        out.push_back(p);
    return out;
}

void removeAll(icalcomponent* c, icalproperty_kind kind) {
    for (icalproperty* p : propertiesOf(c, kind)) {
        icalcomponent_remove_property(c, p);
        icalproperty_free(p);
    }
}

const char* xParameter(icalproperty* p, const char* name) {
    for (icalparameter* a = icalproperty_get_first_parameter(p, ICAL_X_PARAMETER); a;
         a = icalproperty_get_next_parameter(p, ICAL_X_PARAMETER)) {
        if (const char* n = icalparameter_get_xname(a); n && strcasecmp(n, name) == 0) return icalparameter_get_xvalue(a);
    }
    return nullptr;
}

bool isUserProperty(icalproperty* p) {
    const char* name = icalproperty_get_x_name(p);
    return name && strcasecmp(name, kUserPropertyName) == 0;
}

std::vector<UserPropData> readUserProperties(const std::vector<icalproperty*>& xs) {
    std::vector<UserPropData> out;
    for (icalproperty* p : xs) {
        if (!isUserProperty(p)) continue;
        const char *name = nullptr, *type = nullptr, *empty = nullptr;
        for (icalparameter* a = icalproperty_get_first_parameter(p, ICAL_X_PARAMETER); a;
             a = icalproperty_get_next_parameter(p, ICAL_X_PARAMETER)) {
            const char* n = icalparameter_get_xname(a);
            if (!n) continue;
            if (strcasecmp(n, kNameParameter) == 0) name = icalparameter_get_xvalue(a);
            else if (strcasecmp(n, kTypeParameter) == 0) type = icalparameter_get_xvalue(a);
            else if (strcasecmp(n, kEmptyParameter) == 0) empty = icalparameter_get_xvalue(a);
        }
        if (!name || !*name) continue;
        // The same name twice (a hand edit): the first one counts.
        if (std::any_of(out.begin(), out.end(), [&](const UserPropData& o) { return strcasecmp(o.name.c_str(), name) == 0; }))
            continue;
        UserPropData d;
        d.name = name;
        d.type = type ? std::atoi(type) : 1;
        if (const char* v = icalproperty_get_x(p); v && !(empty && strcasecmp(empty, "TRUE") == 0)) d.text = v;
        out.push_back(std::move(d));
    }
    return out;
}

icaltimetype timeOf(icalproperty* p) { return icalvalue_get_datetime(icalproperty_get_value(p)); }


bool hasAlarm(icalcomponent* c) { return icalcomponent_get_first_component(c, ICAL_VALARM_COMPONENT) != nullptr; }

// The properties of one VEVENT that the object model reads, found in one pass.
struct EventProps {
    icalproperty* uid = nullptr;
    icalproperty* summary = nullptr;
    icalproperty* dtstart = nullptr;
    icalproperty* dtend = nullptr;
    icalproperty* duration = nullptr;
    icalproperty* created = nullptr;
    icalproperty* lastModified = nullptr;
    icalproperty* dtstamp = nullptr;
    icalproperty* recurrenceId = nullptr;
    std::vector<icalproperty*> rrules, rdates, exdates, xs;

    explicit EventProps(icalcomponent* c) {
        xs.reserve(8);  // the program keeps seven user properties on each appointment
        for (icalproperty* p = icalcomponent_get_first_property(c, ICAL_ANY_PROPERTY); p;
             p = icalcomponent_get_next_property(c, ICAL_ANY_PROPERTY)) {
            switch (icalproperty_isa(p)) {
            case ICAL_UID_PROPERTY: first(uid, p); break;
            case ICAL_SUMMARY_PROPERTY: first(summary, p); break;
            case ICAL_DTSTART_PROPERTY: first(dtstart, p); break;
            case ICAL_DTEND_PROPERTY: first(dtend, p); break;
            case ICAL_DURATION_PROPERTY: first(duration, p); break;
            case ICAL_CREATED_PROPERTY: first(created, p); break;
            case ICAL_LASTMODIFIED_PROPERTY: first(lastModified, p); break;
            case ICAL_DTSTAMP_PROPERTY: first(dtstamp, p); break;
            case ICAL_RECURRENCEID_PROPERTY: first(recurrenceId, p); break;
            case ICAL_RRULE_PROPERTY: rrules.push_back(p); break;
            case ICAL_RDATE_PROPERTY: rdates.push_back(p); break;
            case ICAL_EXDATE_PROPERTY: exdates.push_back(p); break;
            case ICAL_X_PROPERTY: xs.push_back(p); break;
            default: break;
            }
        }
    }
    static void first(icalproperty*& slot, icalproperty* p) {
        if (!slot) slot = p;
    }
    std::string subject() const {
        const char* s = summary ? icalproperty_get_summary(summary) : nullptr;
        return s ? s : "";
    }
    // A program that writes no LAST-MODIFIED stamps each write with DTSTAMP.
    DateTime modified() const {
        icalproperty* p = lastModified ? lastModified : dtstamp;
        return p ? utcToLocal(timeOf(p)) : noDate();
    }
};

void addTimeProperty(icalcomponent* c, icalproperty* p, const TimeForm& form, bool date) {
    if (!date && form.kind != TimeForm::Kind::utc && !form.tzid.empty())
        icalproperty_add_parameter(p, icalparameter_new_tzid(form.tzid.c_str()));
    icalcomponent_add_property(c, p);
}

// Drawn afresh for every id: a generator seeded once would give a process
// forked from ours the same ids as ours.
std::string randomHex(std::random_device& g, int digits) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string out;
    for (int i = 0; i < digits; ++i) out += kHex[g() & 15];
    return out;
}

}  // namespace

DateTime localTimeOf(icalproperty* p, const ZoneTable& zones) { return toLocal(timeOf(p), formOf(p, zones)); }

Timing timingOf(const EventProps& e, const ZoneTable& zones) {
    Timing t;
    if (!e.dtstart) return t;
    t.allDay = timeOf(e.dtstart).is_date != 0;
    t.start = localTimeOf(e.dtstart, zones);
    long seconds = t.allDay ? DateTime::kSecondsPerDay : 0;
    if (e.dtend) seconds = localTimeOf(e.dtend, zones).seconds() - t.start.seconds();
    else if (e.duration) seconds = icaldurationtype_as_int(icalproperty_get_duration(e.duration));
    t.duration = std::max(0L, seconds / 60);
    // A date-valued event that ends on its own day still lasts its day.
    if (t.allDay && t.duration < 1440) t.duration = 1440;
    return t;
}

Timing readTiming(icalcomponent* c, const ZoneTable& zones) { return timingOf(EventProps(c), zones); }

SeriesStart seriesFrom(icalproperty* start, const ZoneTable& zones) {
    SeriesStart s;
    if (!start) return s;
    const icaltimetype t = timeOf(start);
    s.allDay = t.is_date != 0;
    s.form = s.allDay ? TimeForm{} : formOf(start, zones);
    s.wall = wallTime(t);
    return s;
}

SeriesStart seriesOf(icalcomponent* master, const ZoneTable& zones) {
    return seriesFrom(icalcomponent_get_first_property(master, ICAL_DTSTART_PROPERTY), zones);
}

const OverrideData* AppointmentData::overrideAt(DateTime original) const {
    for (const OverrideData& o : overrides)
        if (o.original == original) return &o;
    return nullptr;
}

const PatternData& AppointmentData::pattern() const {
    if (!pattern_) pattern_ = patternOf(rrules, !rdates.empty(), series);
    return *pattern_;
}

bool AppointmentData::deletedAt(DateTime original) const {
    return std::find(exdates.begin(), exdates.end(), original) != exdates.end();
}

std::string uidOf(icalcomponent* event) {
    const char* uid = icalcomponent_get_uid(event);
    return uid ? uid : "";
}

bool isOverride(icalcomponent* event) {
    return icalcomponent_get_first_property(event, ICAL_RECURRENCEID_PROPERTY) != nullptr;
}

AppointmentData readAppointment(icalcomponent* master, const std::vector<icalcomponent*>& overrides,
                                std::shared_ptr<const ZoneTable> zones) {
    AppointmentData a;
    const ZoneTable& z = *zones;
    const EventProps e(master);
    if (e.uid && icalproperty_get_uid(e.uid)) a.uid = icalproperty_get_uid(e.uid);
    a.subject = e.subject();
    a.timing = timingOf(e, z);
    a.series = seriesFrom(e.dtstart, z);
    a.reminder = hasAlarm(master);
    a.created = e.created ? utcToLocal(timeOf(e.created)) : noDate();
    a.lastModified = e.modified();
    a.props = readUserProperties(e.xs);
    for (icalproperty* p : e.rrules) {
        struct icalrecurrencetype r = icalproperty_get_rrule(p);
        a.rrules.push_back(takeString(icalrecurrencetype_as_string_r(&r)));
    }
    for (icalproperty* p : e.rdates) {
        const struct icaldatetimeperiodtype r = icalproperty_get_rdate(p);
        const icaltimetype t = icaltime_is_null_time(r.time) ? r.period.start : r.time;
        if (inStoreRange(t)) a.rdates.push_back(toLocal(t, formOf(p, z)));
    }
    for (icalproperty* p : e.exdates)
        if (inStoreRange(timeOf(p))) a.exdates.push_back(localTimeOf(p, z));
    for (icalcomponent* c : overrides) {
        const EventProps oe(c);
        OverrideData o;
        if (oe.recurrenceId) o.original = localTimeOf(oe.recurrenceId, z);
        o.timing = timingOf(oe, z);
        o.subject = oe.subject();
        o.reminder = hasAlarm(c);
        o.lastModified = oe.modified();
        o.props = readUserProperties(oe.xs);
        a.overrides.push_back(std::move(o));
    }
    std::stable_sort(a.overrides.begin(), a.overrides.end(),
                     [](const OverrideData& x, const OverrideData& y) { return x.original < y.original; });
    a.zones = std::move(zones);
    return a;
}

std::string newUid() {
    std::random_device generator;
    return randomHex(generator, 8) + "-" + randomHex(generator, 4) + "-4" + randomHex(generator, 3) + "-a" +
           randomHex(generator, 3) + "-" + randomHex(generator, 12);
}

icalcomponent* newEvent(const std::string& uid, DateTime now) {
    icalcomponent* event = icalcomponent_new(ICAL_VEVENT_COMPONENT);
    icalcomponent_add_property(event, icalproperty_new_uid(uid.c_str()));
    icalcomponent_add_property(event, icalproperty_new_created(localToUtc(now)));
    touch(event, now);
    return event;
}

void touch(icalcomponent* event, DateTime now) {
    removeAll(event, ICAL_LASTMODIFIED_PROPERTY);
    removeAll(event, ICAL_DTSTAMP_PROPERTY);
    icalcomponent_add_property(event, icalproperty_new_dtstamp(localToUtc(now)));
    icalcomponent_add_property(event, icalproperty_new_lastmodified(localToUtc(now)));
}

// libical refuses a property without a value when it reads one ("SUMMARY:"),
// so nothing is written with an empty value: no subject is no SUMMARY.
void writeSubject(icalcomponent* event, const std::string& subject) {
    removeAll(event, ICAL_SUMMARY_PROPERTY);
    if (!subject.empty()) icalcomponent_add_property(event, icalproperty_new_summary(subject.c_str()));
}

void writeTiming(icalcomponent* event, const Timing& t, const TimeForm& form) {
    const bool asDuration = icalcomponent_get_first_property(event, ICAL_DURATION_PROPERTY) != nullptr;
    removeAll(event, ICAL_DTSTART_PROPERTY);
    removeAll(event, ICAL_DTEND_PROPERTY);
    removeAll(event, ICAL_DURATION_PROPERTY);
    if (t.allDay) {
        const long days = std::max(1L, t.duration / 1440);
        icalcomponent_add_property(event, icalproperty_new_dtstart(fromLocal(t.start, form, true)));
        icalcomponent_add_property(event, icalproperty_new_dtend(fromLocal(t.start.addDays(days), form, true)));
        return;
    }
    addTimeProperty(event, icalproperty_new_dtstart(fromLocal(t.start, form)), form, false);
    if (asDuration)
        icalcomponent_add_property(event,
                                   icalproperty_new_duration(icaldurationtype_from_int(static_cast<int>(t.duration * 60))));
    else
        addTimeProperty(event, icalproperty_new_dtend(fromLocal(t.start.addMinutes(t.duration), form)), form, false);
}

void writeReminder(icalcomponent* event, bool set) {
    if (set == hasAlarm(event)) return;  // an alarm another program made is kept as it is
    if (!set) {
        std::vector<icalcomponent*> alarms;
        for (icalcomponent* a = icalcomponent_get_first_component(event, ICAL_VALARM_COMPONENT); a;
             a = icalcomponent_get_next_component(event, ICAL_VALARM_COMPONENT))
            alarms.push_back(a);
        for (icalcomponent* a : alarms) {
            icalcomponent_remove_component(event, a);
            icalcomponent_free(a);
        }
        return;
    }
    icalcomponent* alarm = icalcomponent_new(ICAL_VALARM_COMPONENT);
    icalcomponent_add_property(alarm, icalproperty_new_action(ICAL_ACTION_DISPLAY));
    struct icaltriggertype trigger {};
    trigger.time = icaltime_null_time();
    trigger.duration = icaldurationtype_from_int(-kReminderMinutes * 60);
    icalcomponent_add_property(alarm, icalproperty_new_trigger(trigger));
    const char* subject = icalcomponent_get_summary(event);
    icalcomponent_add_property(alarm, icalproperty_new_description(subject && *subject ? subject : "Reminder"));
    icalcomponent_add_component(event, alarm);
}

void writeUserProperty(icalcomponent* event, const UserPropData& prop) {
    for (icalproperty* p : propertiesOf(event, ICAL_X_PROPERTY)) {
        const char* name = isUserProperty(p) ? xParameter(p, kNameParameter) : nullptr;
        if (name && strcasecmp(name, prop.name.c_str()) == 0) {
            icalcomponent_remove_property(event, p);
            icalproperty_free(p);
        }
    }
    // An empty text is marked by a parameter, its value a placeholder.
    icalproperty* p = icalproperty_new_x(prop.text.empty() ? kEmptyValue : prop.text.c_str());
    icalproperty_set_x_name(p, kUserPropertyName);
    icalparameter* name = icalparameter_new_x(prop.name.c_str());
    icalparameter_set_xname(name, kNameParameter);
    icalproperty_add_parameter(p, name);
    icalparameter* type = icalparameter_new_x(std::to_string(prop.type).c_str());
    icalparameter_set_xname(type, kTypeParameter);
    icalproperty_add_parameter(p, type);
    if (prop.text.empty()) {
        icalparameter* empty = icalparameter_new_x("TRUE");
        icalparameter_set_xname(empty, kEmptyParameter);
        icalproperty_add_parameter(p, empty);
    }
    icalcomponent_add_property(event, p);
}

void writeRule(icalcomponent* event, const std::string& rrule) {
    removeAll(event, ICAL_RRULE_PROPERTY);
    if (rrule.empty()) {
        removeAll(event, ICAL_RDATE_PROPERTY);
        removeAll(event, ICAL_EXDATE_PROPERTY);
        removeAll(event, ICAL_EXRULE_PROPERTY);
        return;
    }
    struct icalrecurrencetype r = icalrecurrencetype_from_string(rrule.c_str());
    icalcomponent_add_property(event, icalproperty_new_rrule(r));
    if (r.rscale) icalmemory_free_buffer(r.rscale);
}

icaltimetype occurrenceTime(const SeriesStart& series, DateTime localOriginal) {
    return fromLocal(localOriginal, series.form, series.allDay);
}

void addExdate(icalcomponent* master, DateTime original, const ZoneTable& zones) {
    for (icalproperty* p : propertiesOf(master, ICAL_EXDATE_PROPERTY))
        if (localTimeOf(p, zones) == original) return;
    const SeriesStart series = seriesOf(master, zones);
    addTimeProperty(master, icalproperty_new_exdate(occurrenceTime(series, original)), series.form, series.allDay);
}

void writeRecurrenceId(icalcomponent* occurrence, const SeriesStart& series, DateTime localOriginal) {
    removeAll(occurrence, ICAL_RECURRENCEID_PROPERTY);
    addTimeProperty(occurrence, icalproperty_new_recurrenceid(occurrenceTime(series, localOriginal)), series.form,
                    series.allDay);
}

icalcomponent* newOverride(icalcomponent* master, DateTime original, DateTime now, const ZoneTable& zones) {
    icalcomponent* o = icalcomponent_new_clone(master);
    // libical's clone of an X- property escapes its commas when it writes it
    // (a value "a,b" comes out "a\,b"); giving each its text again keeps it as it was.
    const auto from = propertiesOf(master, ICAL_X_PROPERTY);
    const auto to = propertiesOf(o, ICAL_X_PROPERTY);
    for (std::size_t i = 0; i < from.size() && i < to.size(); ++i)
        if (const char* x = icalproperty_get_x(from[i])) icalproperty_set_x(to[i], x);
    for (icalproperty_kind kind : {ICAL_RRULE_PROPERTY, ICAL_RDATE_PROPERTY, ICAL_EXDATE_PROPERTY, ICAL_EXRULE_PROPERTY})
        removeAll(o, kind);
    const SeriesStart series = seriesOf(master, zones);
    const Timing timing = readTiming(master, zones);
    writeRecurrenceId(o, series, original);
    writeTiming(o, Timing{original, timing.duration, timing.allDay}, series.form);
    touch(o, now);
    return o;
}

}  // namespace wendra::outlook::ics
