#pragma once

// What the appointment window shows and edits, without Qt: the fields read
// from an item, and writing back the ones the user changed before it saves.
// The Qt window and the scripted window of the tests both go through here.

#include <optional>
#include <string>
#include <string_view>

#include "platform/clock/DateTime.h"
#include "platform/outlook/ObjectModel.h"

namespace wendra::outlook {

// The window's simple recurrence choice; `other` is a pattern it cannot show,
// which it keeps.
enum class Repeat { none, daily, weekly, monthly, yearly, other };

std::string_view repeatName(Repeat r);
std::optional<Repeat> repeatFromName(std::string_view name);

struct AppointmentFields {
    std::string subject;
    DateTime start;
    bool allDay = false;
    long duration = 30;  // minutes
    Repeat repeat = Repeat::none;
    bool occurrence = false;  // one occurrence of a series: its repeat cannot change

    bool operator==(const AppointmentFields&) const = default;
};

AppointmentFields readFields(AppointmentItem& item);
// Writes every field that differs from `before` into the item.
void applyFields(AppointmentItem& item, const AppointmentFields& before, const AppointmentFields& after);
// Writes them and saves the item.
void saveFields(AppointmentItem& item, const AppointmentFields& before, const AppointmentFields& after);

}  // namespace wendra::outlook
