#pragma once

// The object model over an iCalendar file: every appointment a VEVENT (its
// EntryID the UID), read, written and expanded with libical.

#include <filesystem>
#include <memory>

#include "platform/outlook/ObjectModel.h"

namespace wendra::outlook {

struct CalendarOptions {
    // Empty: defaultCalendarFile().
    std::filesystem::path file;
    // What Display opens; without one Display raises.
    std::shared_ptr<AppointmentWindow> window;
    // How far past today a walk that includes recurrences lists occurrences,
    // unless a Restrict ends the starts it takes ("[Start] < '31 Dec 2050'").
    int horizonDays = 10 * 366;
};

// "Outlook.Application" (in any case) is the one object it creates.
class CalendarAutomation final : public Automation {
public:
    explicit CalendarAutomation(CalendarOptions options);
    std::shared_ptr<Application> CreateObject(const std::string& progId) override;

private:
    CalendarOptions options_;
};

// An application object over the options' file.
std::shared_ptr<Application> openCalendar(const CalendarOptions& options);

}  // namespace wendra::outlook
