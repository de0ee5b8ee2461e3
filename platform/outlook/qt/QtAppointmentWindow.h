#pragma once

// The appointment window that Display opens on a desktop: subject, start,
// all-day, duration and a simple recurrence choice, with Save, Delete and
// Close. Modal; what it does to the item goes through AppointmentForm. A Save
// the calendar refuses is told in a message, and the window stays open with
// what was typed.

#include <functional>

#include "platform/outlook/ObjectModel.h"

class QDialog;
class QWidget;

namespace wendra::outlook::qt {

class QtAppointmentWindow final : public AppointmentWindow {
public:
    explicit QtAppointmentWindow(QWidget* parent = nullptr) : parent_(parent) {}

    // Runs with the dialog once it is on screen (tests drive it from here).
    std::function<void(QDialog&)> onShown;

    void show(AppointmentItem& item) override;

private:
    QWidget* parent_;
};

}  // namespace wendra::outlook::qt
