#include "platform/outlook/IcsTime.h"

namespace wendra::outlook::ics {

namespace {

DateTime fromFields(const icaltimetype& t) {
    return DateTime::fromParts(t.year, t.month, t.day, t.is_date ? 0 : t.hour, t.is_date ? 0 : t.minute,
                               t.is_date ? 0 : t.second)
        .value_or(DateTime::null());
}

icaltimetype fieldsOf(DateTime d, bool date) {
    icaltimetype t = icaltime_null_time();
    t.year = d.year();
    t.month = d.month();
    t.day = d.day();
    if (date) {
        t.is_date = 1;
    } else {
        t.hour = d.hour();
        t.minute = d.minute();
        t.second = d.second();
    }
    return t;
}

}  // namespace

ZoneTable::~ZoneTable() {
    for (auto& [id, zone] : own_) icaltimezone_free(zone, 1);
}

void ZoneTable::addDefinitions(icalcomponent* calendar) {
    for (icalcomponent* c = icalcomponent_get_first_component(calendar, ICAL_VTIMEZONE_COMPONENT); c;
         c = icalcomponent_get_next_component(calendar, ICAL_VTIMEZONE_COMPONENT)) {
        icalproperty* id = icalcomponent_get_first_property(c, ICAL_TZID_PROPERTY);
        if (!id || !icalproperty_get_tzid(id) || own_.count(icalproperty_get_tzid(id))) continue;
        icaltimezone* zone = icaltimezone_new();
        if (!icaltimezone_set_component(zone, icalcomponent_new_clone(c))) {
            icaltimezone_free(zone, 1);
            continue;
        }
        own_.emplace(icalproperty_get_tzid(id), zone);
    }
}

icaltimezone* ZoneTable::find(const std::string& tzid) const {
    if (tzid.empty()) return nullptr;
    if (auto it = own_.find(tzid); it != own_.end()) return it->second;
    if (tzid == "UTC" || tzid == "Etc/UTC" || tzid == "Z") return icaltimezone_get_utc_timezone();
    // The system's zone database, by location ("Europe/Berlin") or by libical's own prefixed id.
    if (icaltimezone* z = icaltimezone_get_builtin_timezone(tzid.c_str())) return z;
    return icaltimezone_get_builtin_timezone_from_tzid(tzid.c_str());
}

TimeForm formOf(icalproperty* property, const ZoneTable& zones) {
    TimeForm form;
    if (!property) return form;
    const icaltimetype t = icalvalue_get_datetime(icalproperty_get_value(property));
    if (icaltime_is_utc(t)) {
        form.kind = TimeForm::Kind::utc;
        return form;
    }
    if (icalparameter* p = icalproperty_get_first_parameter(property, ICAL_TZID_PARAMETER)) {
        if (const char* id = icalparameter_get_tzid(p)) form.tzid = id;
        form.zone = zones.find(form.tzid);
        if (form.zone == icaltimezone_get_utc_timezone()) {
            form.kind = TimeForm::Kind::utc;
            form.zone = nullptr;
            form.tzid.clear();
        } else if (form.zone) {
            form.kind = TimeForm::Kind::zoned;
        }
        // An unknown zone keeps its name and reads as floating.
    }
    return form;
}

DateTime wallTime(const icaltimetype& t) { return fromFields(t); }

DateTime toLocal(const icaltimetype& t, const TimeForm& form) {
    if (icaltime_is_null_time(t)) return DateTime::null();
    if (t.is_date) return fromFields(t);
    if (icaltime_is_utc(t) || form.kind == TimeForm::Kind::utc)
        return timeTToLocal(icaltime_as_timet_with_zone(t, icaltimezone_get_utc_timezone()));
    if (form.kind == TimeForm::Kind::zoned && form.zone)
        return timeTToLocal(icaltime_as_timet_with_zone(t, form.zone));
    return fromFields(t);
}

icaltimetype fromLocal(DateTime local, const TimeForm& form, bool date) {
    if (date || form.kind == TimeForm::Kind::floating || (form.kind == TimeForm::Kind::zoned && !form.zone))
        return fieldsOf(local, date);
    if (form.kind == TimeForm::Kind::utc) return localToUtc(local);
    // The zone's wall clock; libical marks it as UTC, which it is not: the
    // property's TZID names its zone.
    icaltimetype t = icaltime_from_timet_with_zone(localToTimeT(local), 0, form.zone);
    t.zone = nullptr;
    return t;
}

icaltimetype fromWall(DateTime wall, const TimeForm& form, bool date) {
    icaltimetype t = fieldsOf(wall, date);
    if (date) return t;
    if (form.kind == TimeForm::Kind::utc) t.zone = icaltimezone_get_utc_timezone();
    else if (form.kind == TimeForm::Kind::zoned) t.zone = form.zone;
    return t;
}

DateTime utcToLocal(const icaltimetype& t) {
    if (icaltime_is_null_time(t)) return DateTime::null();
    if (!icaltime_is_utc(t)) return fromFields(t);  // written without its Z: taken as local
    return timeTToLocal(icaltime_as_timet_with_zone(t, icaltimezone_get_utc_timezone()));
}

icaltimetype localToUtc(DateTime local) {
    return icaltime_from_timet_with_zone(localToTimeT(local), 0, icaltimezone_get_utc_timezone());
}

std::time_t localToTimeT(DateTime local) {
    std::tm tm{};
    tm.tm_year = local.year() - 1900;
    tm.tm_mon = local.month() - 1;
    tm.tm_mday = local.day();
    tm.tm_hour = local.hour();
    tm.tm_min = local.minute();
    tm.tm_sec = local.second();
    tm.tm_isdst = -1;
    return std::mktime(&tm);
}

DateTime timeTToLocal(std::time_t t) {
    std::tm tm{};
    if (!localtime_r(&t, &tm)) return DateTime::null();
    return DateTime::fromParts(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec)
        .value_or(DateTime::null());
}

}  // namespace wendra::outlook::ics
