#include "platform/outlook/AppointmentForm.h"

#include <algorithm>
#include <array>
#include <utility>

namespace wendra::outlook {

namespace {

constexpr std::array<std::pair<Repeat, std::string_view>, 6> kNames{{{Repeat::none, "none"},
                                                                     {Repeat::daily, "daily"},
                                                                     {Repeat::weekly, "weekly"},
                                                                     {Repeat::monthly, "monthly"},
                                                                     {Repeat::yearly, "yearly"},
                                                                     {Repeat::other, "other"}}};

Repeat repeatOf(int type) {
    switch (type) {
    case olRecursDaily: return Repeat::daily;
    case olRecursWeekly: return Repeat::weekly;
    case olRecursMonthly:
    case olRecursMonthNth: return Repeat::monthly;
    case olRecursYearly:
    case olRecursYearNth: return Repeat::yearly;
    default: return Repeat::other;
    }
}

int typeOf(Repeat r) {
    switch (r) {
    case Repeat::daily: return olRecursDaily;
    case Repeat::monthly: return olRecursMonthly;
    case Repeat::yearly: return olRecursYearly;
    default: return olRecursWeekly;
    }
}

}  // namespace

std::string_view repeatName(Repeat r) {
    for (const auto& [repeat, name] : kNames)
        if (repeat == r) return name;
    return "none";
}

std::optional<Repeat> repeatFromName(std::string_view name) {
    for (const auto& [repeat, text] : kNames)
        if (text == name) return repeat;
    return std::nullopt;
}

AppointmentFields readFields(AppointmentItem& item) {
    AppointmentFields f;
    f.subject = item.Subject();
    f.start = item.Start();
    f.allDay = item.AllDayEvent();
    f.duration = item.Duration();
    const int state = item.RecurrenceState();
    f.occurrence = state == olApptOccurrence || state == olApptException;
    if (item.IsRecurring()) f.repeat = repeatOf(item.GetRecurrencePattern()->RecurrenceType());
    return f;
}

void applyFields(AppointmentItem& item, const AppointmentFields& before, const AppointmentFields& after) {
    if (after.subject != before.subject) item.setSubject(after.subject);
    if (after.allDay != before.allDay) item.setAllDayEvent(after.allDay);
    if (after.allDay) {
        if (after.start.date() != before.start.date() || after.allDay != before.allDay) item.setStart(after.start.date());
        const long days = std::max(1L, after.duration / 1440);
        if (after.duration != before.duration) item.setDuration(days * 1440);
    } else {
        if (after.start != before.start || after.allDay != before.allDay) item.setStart(after.start);
        if (after.duration != before.duration || after.allDay != before.allDay) item.setDuration(after.duration);
    }
    if (!after.occurrence && after.repeat != before.repeat && after.repeat != Repeat::other) {
        if (after.repeat == Repeat::none) item.ClearRecurrencePattern();
        else item.GetRecurrencePattern()->setRecurrenceType(typeOf(after.repeat));
    }
}

void saveFields(AppointmentItem& item, const AppointmentFields& before, const AppointmentFields& after) {
    applyFields(item, before, after);
    item.Save();
}

}  // namespace wendra::outlook
