#pragma once

// One calendar file as the process sees it: the parsed calendar with its
// appointments read into values, kept while the file stays as it was, read
// again when anyone (another application object, another process, another
// calendar program) has replaced it; and the one way to change it, a write
// under the lock on a fresh reading. Every application object of the process
// over one file shares its store.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/outlook/CalendarFile.h"
#include "platform/outlook/IcalHandles.h"
#include "platform/outlook/IcsEvent.h"
#include "platform/outlook/IcsTime.h"

namespace wendra::outlook::ics {

// The calendar's appointments at one moment; never changes once made.
struct Snapshot {
    std::vector<std::shared_ptr<const AppointmentData>> items;  // in file order
    std::unordered_map<std::string, std::size_t> index;         // by UID
    std::string calendarId;                                     // empty when the file has none yet

    std::shared_ptr<const AppointmentData> find(const std::string& uid) const;
};

// The text of a calendar, checked: a calendar with anything libical could not
// read, or more than one calendar, is damaged. Raises an Error for those.
ComponentPtr parseCalendar(const std::string& text, const std::filesystem::path& file);
std::string serializeCalendar(icalcomponent* calendar);
// A new, empty calendar of our own: VERSION and PRODID.
ComponentPtr newCalendar();
// Every write gives a calendar without one its id, which then never changes.
void ensureCalendarId(icalcomponent* calendar);

class CalendarStore {
public:
    static std::shared_ptr<CalendarStore> open(const std::filesystem::path& file);
    explicit CalendarStore(std::filesystem::path file);

    const std::filesystem::path& file() const { return file_; }

    // The calendar as the file holds it now; raises when it is damaged or unreadable.
    std::shared_ptr<const Snapshot> current();

    // A change: edits the calendar, answers the UIDs of the appointments it
    // changed. It may run more than once (when another program replaced the
    // file meanwhile), each time on a fresh reading.
    using Change = std::function<std::vector<std::string>(icalcomponent* calendar, const ZoneTable& zones)>;
    // Under the lock: reads the file afresh, gives it an id when it has none, changes it, writes a temporary
    // file and renames it over the calendar. A damaged file is never written.
    std::shared_ptr<const Snapshot> write(const Change& change);

private:
    void reload();
    void load(std::optional<std::string> text, const FileStamp& stamp, FileHold hold);
    void rebuild(const std::vector<std::string>& changed);

    std::filesystem::path file_;
    ComponentPtr root_;
    std::string text_;  // the bytes root_ was read from or written as
    FileStamp stamp_;
    FileHold hold_;
    bool fresh_ = false;  // root_ is what the file with stamp_ holds
    std::shared_ptr<ZoneTable> zones_;
    std::shared_ptr<const Snapshot> snapshot_;
};

}  // namespace wendra::outlook::ics
