#pragma once

// What the Outlook reconciliation asks of the window that shows the list: the
// mode display and the Outlook status picture, the rows of one event, and the
// window's flags of the connection. The main window implements it; the tests
// record it.

#include <optional>
#include <string>

namespace wendra {

class OutlookSyncHost {
public:
    virtual ~OutlookSyncHost() = default;

    // Panel 1 and the toolbar as the settings and the connection have them now.
    virtual void showModeFromSettings() = 0;
    // The Outlook status picture beside the toolbar ("imgOutlook" once connected).
    virtual void showOutlookStatus(const std::string& imageKey) = 0;
    // A connection failed for this reason (the calendar's words, may be empty);
    // nullopt: it succeeded, and a failure shown before is over.
    virtual void showConnectionFailure(const std::optional<std::string>& reason) = 0;

    // The list shows the current state of the event with this store key.
    virtual void updateList(const std::string& id) = 0;
    // The list marks the rows of the event with this store key as deleted.
    virtual void ListShowDeleted(const std::string& id) = 0;

    // The mode display shows "[Checking for updates]" until the minute timer ends it.
    virtual void setCheckingForUpdates(bool on) = 0;
    // Updates of single events wait for the next full rebuild of the list.
    virtual void setRefreshPending(bool on) = 0;
    // Outlook's calendar is being linked for the first time: appointments new to
    // the store whose view date has passed are hidden as they come.
    virtual bool outlookFirstPass() const = 0;
    virtual void setOutlookFirstPass(bool on) = 0;
};

}  // namespace wendra
