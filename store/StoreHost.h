#pragma once

// The calls the store makes upwards, to whoever owns it. The store sits below
// the main window and the gadget library and includes neither: each of them
// implements these small interfaces in its own way and hands them to the store.

#include <optional>
#include <string>

#include "store/ProgramState.h"
#include "store/SaveCodes.h"
#include "store/clsCalEvent.h"

namespace wendra {

// The owner of the store: the main window in the main program. The gadget
// library has no window to report to and gives the store no host.
class StoreHost {
public:
    virtual ~StoreHost() = default;

    // Saves an event the way the owner saves every change (its store save, its
    // Outlook copy, the update counter).
    virtual SaveResult doSave(clsCalEvent& event, SaveMode updateMode, bool excludeOutlook) = 0;

    // Marks the list rows of the event with this store key as deleted.
    virtual void ListShowDeleted(const std::string& id) = 0;

    // The store id of the Outlook calendar, when it is known. The store records
    // an Outlook copy's creation time when it updates an event of that calendar.
    virtual std::optional<int> OutlookCalendarId() { return std::nullopt; }
};

// Where the store puts the requests it queues for a device synchronisation.
class SyncItemSink {
public:
    virtual ~SyncItemSink() = default;
    // Appends a tagged request; key is the store key of the event it names.
    virtual void addSyncItem(const std::string& item, const std::string& key) = 0;
};

// The program's own request queue (ProgramState::gSyncItems) as a sink. Like the
// queue itself it drops requests while no synchronisation has made a queue.
class ProgramStateSyncItems final : public SyncItemSink {
public:
    explicit ProgramStateSyncItems(ProgramState& state) : state_(state) {}
    void addSyncItem(const std::string& item, const std::string&) override { wendra::addSyncItem(state_, item); }

private:
    ProgramState& state_;
};

}  // namespace wendra
