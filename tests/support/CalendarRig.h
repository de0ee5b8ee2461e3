#pragma once

// A calendar file in a fresh temporary folder, a clock the test sets, one time
// zone for the machine, and a scripted appointment window: what every test of
// the Outlook calendar and of its callers starts from.

#include <chrono>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>

#include "platform/clock/FakeClock.h"
#include "platform/outlook/IcsCalendar.h"
#include "platform/outlook/ScriptedWindow.h"
#include "tests/support/EnvironmentOverride.h"
#include "tests/support/TempFolder.h"

namespace wendra::test {

inline DateTime at(int y, int mo, int d, int h = 9, int mi = 0, int s = 0) { return DateTime::ymd(y, mo, d, h, mi, s); }

// The number of the calendar error the call raised; 0 when it raised none.
inline long errorOf(const std::function<void()>& call) {
    try {
        call();
    } catch (const outlook::Error& e) {
        return e.Number();
    }
    return 0;
}

class CalendarRig {
public:
    explicit CalendarRig(DateTime now = DateTime::ymd(2024, 3, 5, 10, 0, 0), const char* zone = "Europe/Berlin")
        : zone_(zone), clock_(now), clockOverride_(clock_) {}

    std::filesystem::path file() const { return folder_ / "Outlook.ics"; }
    const std::filesystem::path& folder() const { return folder_.path(); }
    FakeClock& clock() { return clock_; }

    outlook::CalendarOptions options() const {
        outlook::CalendarOptions o;
        o.file = file();
        o.window = window;
        o.horizonDays = horizonDays;
        return o;
    }
    std::shared_ptr<outlook::Application> app() const { return outlook::openCalendar(options()); }
    std::shared_ptr<outlook::Items> items() const {
        return app()->GetNamespace("MAPI")->GetDefaultFolder(outlook::olFolderCalendar)->Items();
    }
    // A saved one-off.
    std::shared_ptr<outlook::AppointmentItem> add(const std::string& subject, DateTime start, long duration = 30,
                                                  bool allDay = false) const {
        auto item = items()->Add();
        item->setSubject(subject);
        item->setStart(start);
        item->setDuration(duration);
        if (allDay) item->setAllDayEvent(true);
        item->Save();
        return item;
    }

    std::string text() const {
        std::ifstream in(file(), std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    // Puts the same bytes into a new file, so the next reading parses the file
    // rather than what the process holds from its own last write.
    void reread() const {
        const std::string bytes = text();
        std::filesystem::remove(file());
        write(bytes);
    }
    void write(const std::string& text) const {
        std::ofstream out(file(), std::ios::binary);
        out << text;
    }
    // As a file nobody is writing now (its time an hour back): a reading takes
    // what it holds at once rather than waiting for a writer to finish.
    void writeSettled(const std::string& text) const {
        write(text);
        std::filesystem::last_write_time(file(), std::filesystem::file_time_type::clock::now() - std::chrono::hours(1));
    }

    std::shared_ptr<outlook::ScriptedWindow> window = std::make_shared<outlook::ScriptedWindow>();
    int horizonDays = 3 * 366;

private:
    TempFolder folder_;
    TimeZoneOverride zone_;
    FakeClock clock_;
    ClockOverride clockOverride_;
};

}  // namespace wendra::test
