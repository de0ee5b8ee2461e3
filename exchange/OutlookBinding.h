#pragma once

#include <string>

#include "platform/clock/DateTime.h"
#include "store/clsCalEvent.h"

namespace wendra {

// What a search of the Outlook calendar found: the appointment, certainly no
// appointment, or nothing certain because the calendar (or the store) failed.
// Only `absent` may be taken to mean that an appointment is gone.
enum class FindResult { found, absent, failed };

// The program's one contact with the Outlook calendar (the global gOutlook).
// The main window and its dialogs see only this interface; the calendar binding
// implements it, and NoOutlook stands in where no calendar can be reached.
//
// Row keys: Find takes the tagged text of a list row (clsCalEvent::GridKey).
// Asked with any calendar id other than Outlook's, it reads the key's "<Id>" as
// the store event whose linked appointment is wanted, so a caller holding only
// a store copy passes that copy's GridKey(), never the bare id.
class OutlookBinding {
public:
    virtual ~OutlookBinding() = default;

    // The calendar was reached.
    virtual bool OpenData() = 0;
    // Why the last OpenData failed, in the calendar's words, for the user; empty
    // after one that succeeded, or when the binding cannot say.
    virtual std::string connectionError() const { return {}; }
    // The store's id of the Outlook calendar; -1 when it cannot be had.
    virtual int CalendarId() = 0;
    // Reads the appointment that a row key names into `ev`.
    virtual bool Find(clsCalEvent& ev, int calendarId, const std::string& rowKey, const std::string& entryId) = 0;
    // Find that tells an appointment that is not there from a search that failed.
    // A binding that cannot tell the two apart answers `failed` for both, which
    // never lets a caller conclude that an appointment is gone.
    virtual FindResult findItem(clsCalEvent& ev, int calendarId, const std::string& rowKey,
                                const std::string& entryId) {
        return Find(ev, calendarId, rowKey, entryId) ? FindResult::found : FindResult::failed;
    }
    // The occurrence of ev's appointment at `when` exists; ev then holds it.
    virtual bool findOccur(clsCalEvent& ev, DateTime when) = 0;
    // The entry id of ev's appointment, or empty.
    virtual std::string getXID(const clsCalEvent& ev) = 0;
    // Writes ev to its appointment (entryId may be empty: a new one).
    virtual bool Save(clsCalEvent& ev, const std::string& entryId) = 0;
    // Writes ev to a new appointment and links it to ev in the store.
    virtual bool AddEvent(clsCalEvent&) { return false; }
    // Marks ev's appointment as compared now, with `lastModified` as the program's
    // modification time of it.
    virtual void updateCompareDates(const clsCalEvent&, DateTime /*lastModified*/) {}
    // Opens the calendar's own window for a new appointment; true when one was saved into `ev`.
    virtual bool displayAddForm(clsCalEvent& ev) = 0;
    // Opens the calendar's own window on ev's appointment (or its current
    // occurrence when `occurrence`); true when the user changed or deleted it.
    virtual bool displayEditForm(clsCalEvent& ev, bool occurrence) = 0;
};

// No calendar on this machine: every connection fails, nothing is found or written.
class NoOutlook final : public OutlookBinding {
public:
    bool OpenData() override { return false; }
    int CalendarId() override { return -1; }
    bool Find(clsCalEvent&, int, const std::string&, const std::string&) override { return false; }
    FindResult findItem(clsCalEvent&, int, const std::string&, const std::string&) override {
        return FindResult::failed;
    }
    bool findOccur(clsCalEvent&, DateTime) override { return false; }
    std::string getXID(const clsCalEvent&) override { return {}; }
    bool Save(clsCalEvent&, const std::string&) override { return false; }
    bool displayAddForm(clsCalEvent&) override { return false; }
    bool displayEditForm(clsCalEvent&, bool) override { return false; }
};

}  // namespace wendra
