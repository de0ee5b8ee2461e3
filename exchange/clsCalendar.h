#pragma once

// One calendar received from the device: what a message says about the device
// (its version, clock, identity and id prefix), the id under which the store
// keeps it, and the events the message carries. The reader fills it; the
// handlers of the reader's end events read it.

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "store/clsCalEvent.h"

namespace wendra {

class clsCalendar {
public:
    bool isValid() const { return isValid_; }
    void setIsValid(bool v) { isValid_ = v; }
    bool importError() const { return !isValid_; }

    // Writing the version text also reads its major number: the whole part of a
    // numeric text ("1.5" is version 1), held within 16 bits. The calendar is
    // valid only for versions 1 and 2; a text that is no number makes it
    // invalid and leaves VersionMajor as it was.
    const std::string& VersionText() const { return versionText_; }
    void setVersionText(std::string text);
    int VersionMajor() const { return versionMajor_; }

    // Seconds, device minus PC. 64 bits: a device clock decades off is still
    // a difference that can be answered.
    std::int64_t TimeDiff() const { return timeDiff_; }
    void setTimeDiff(std::int64_t v) { timeDiff_ = v; }

    const std::string& KSPUniqueID() const { return kspUniqueId_; }
    void setKSPUniqueID(std::string v) { kspUniqueId_ = std::move(v); }
    const std::string& UIDPrefix() const { return uidPrefix_; }
    void setUIDPrefix(std::string v) { uidPrefix_ = std::move(v); }
    // The store's id of the device's calendar; 0 while none is known.
    int XCalendarId() const { return xCalendarId_; }
    void setXCalendarId(int v) { xCalendarId_ = v; }
    bool fullSync() const { return fullSync_; }
    void setFullSync(bool v) { fullSync_ = v; }

    // A new event at the end of the calendar's events. The reference stays
    // good until that event is removed.
    clsCalEvent& addCalEvent() { return events_.emplace_back(); }
    void removeLastCalEvent() {
        if (!events_.empty()) events_.pop_back();
    }
    int CalEventCount() const { return static_cast<int>(events_.size()); }
    // The entries of the device's list that could not be read: the ids (as listed,
    // without the prefix) of those whose id could still be told, and whether one
    // named no id that could be trusted. Such an entry is neither found nor gone.
    void addUnreadEntry(std::string id) {
        if (id.empty()) unnamedUnreadEntry_ = true;
        else unreadEntries_.push_back(std::move(id));
    }
    const std::vector<std::string>& UnreadEntries() const { return unreadEntries_; }
    bool hasUnnamedUnreadEntry() const { return unnamedUnreadEntry_; }
    // Index from 1; nullptr outside 1..CalEventCount.
    clsCalEvent* CalEvent(int index);
    const std::deque<clsCalEvent>& CalEvents() const { return events_; }

private:
    bool isValid_ = true;
    std::string versionText_;
    int versionMajor_ = 0;
    std::int64_t timeDiff_ = 0;
    std::string kspUniqueId_;
    std::string uidPrefix_;
    int xCalendarId_ = 0;
    bool fullSync_ = false;
    std::deque<clsCalEvent> events_;  // a deque, so a reference survives later additions
    std::vector<std::string> unreadEntries_;
    bool unnamedUnreadEntry_ = false;
};

}  // namespace wendra
