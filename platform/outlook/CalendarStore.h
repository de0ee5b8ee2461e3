#pragma once

// One calendar file as the process sees it: its text in pieces and its
// appointments read into values, kept while the file stays as it was, read
// again when anyone (another application object, another process, another
// calendar program) has replaced it; and the one way to change it, a write
// under the lock on a fresh reading. Every application object of the process
// over one file shares its store.
//
// The file belongs to its user and to the other programs that share it: a
// write puts back the bytes it read, less the appointments it deleted, with the
// ones it changed spliced in and the new ones after them. A component libical
// cannot read, or one this program does not know, stays in the file as text.

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/outlook/CalendarFile.h"
#include "platform/outlook/CalendarText.h"
#include "platform/outlook/IcalHandles.h"
#include "platform/outlook/IcsEvent.h"
#include "platform/outlook/IcsTime.h"
#include "platform/outlook/ObjectModel.h"

namespace wendra::outlook::ics {

// The calendar's appointments at one moment; never changes once made.
struct Snapshot {
    std::vector<std::shared_ptr<const AppointmentData>> items;  // in file order
    std::unordered_map<std::string, std::size_t> index;         // by UID
    std::string calendarId;                                     // empty when the file has none yet

    std::shared_ptr<const AppointmentData> find(const std::string& uid) const;
};

class CalendarStore {
public:
    // A reading that looks like a file half written (empty, not yet a whole
    // calendar, fewer appointments than before) is taken only once the file
    // stayed as it is for kSettleWait (looked at every kSettleStep), else it
    // is read again, for up to kSettleLimit in all.
    static constexpr std::chrono::milliseconds kSettleStep{10};
    static constexpr std::chrono::milliseconds kSettleWait{100};
    static constexpr std::chrono::milliseconds kSettleLimit{1000};

    static std::shared_ptr<CalendarStore> open(const std::filesystem::path& file);
    explicit CalendarStore(std::filesystem::path file);

    const std::filesystem::path& file() const { return file_; }

    // The calendar as the file holds it now; raises when it is damaged, empty or unreadable.
    std::shared_ptr<const Snapshot> current();

    // A change of one appointment: edits the calendar, which holds that
    // appointment's VEVENTs (none for a new one), and may add VEVENTs of it. It
    // may run more than once (when another program replaced the file
    // meanwhile), each time on a fresh reading.
    using Change = std::function<void(icalcomponent* calendar, const ZoneTable& zones)>;
    // Under the lock: reads the file afresh, gives it an id when it has none,
    // changes the appointment `uid` (none when empty), writes the text back with
    // only what changed replaced, into a temporary file that takes the
    // calendar's place in one step. A file that is damaged, read-only, empty, or
    // holds fewer appointments than at the last reading is never written.
    std::shared_ptr<const Snapshot> write(const std::string& uid, const Change& change);

    // What one reading of the calendar's text holds. The VEVENTs are read into
    // values and let go: a write parses again only those of the appointment it changes.
    struct Parsed {
        CalendarText text;
        std::vector<std::string> uids;      // by piece: the UID of a VEVENT that can be read, else empty
        std::vector<bool> madeUids;         // by piece: that UID was made for a VEVENT without one
        std::size_t eventPieces = 0;        // VEVENT pieces, read or not
        std::string calendarId;
        std::shared_ptr<ZoneTable> zones;
        std::shared_ptr<Snapshot> snapshot;
    };

private:
    struct Reading {
        std::optional<std::string> text;
        FileStamp stamp;
        FileHold hold;
        std::optional<Parsed> parsed;   // when it is a calendar
        std::optional<Error> failure;   // when it is not
        bool same = false;              // the text last read or written: not parsed again
    };
    Reading readSettled(std::size_t heldBefore);
    void take(Reading reading);
    std::string render(icalcomponent* calendar, const std::vector<std::pair<icalcomponent*, std::size_t>>& read,
                       Parsed& next) const;

    std::filesystem::path file_;
    Parsed parsed_;
    bool exists_ = false;  // the reading came from a file
    std::string text_;     // the bytes parsed_ was read from or written as
    FileStamp stamp_;
    FileHold hold_;
    bool fresh_ = false;  // parsed_ is what the file with stamp_ holds
};

}  // namespace wendra::outlook::ics
