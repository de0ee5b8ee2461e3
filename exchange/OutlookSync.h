#pragma once

// Outlook mode's side of the main window: connecting to the Outlook calendar,
// and reconciling one event between the store and the calendar after the user
// worked on it in the calendar's own window. There is no pass over the whole
// calendar: each reconciliation starts from one event's ids.
//
// The store copy and the Outlook copy of the event are compared by their
// modification times; the later one is written over the other. An appointment
// is taken to be gone only when the calendar said so: a search that failed
// changes nothing on either side. Every change of the store made here moves the
// update counter the gadget library watches, as the window's own saves do.
//
// It reaches the window only through OutlookSyncHost.

#include <string>

#include "exchange/OutlookBinding.h"
#include "exchange/OutlookSyncHost.h"
#include "store/ProgramState.h"
#include "store/clsDataQVR.h"
#include "store/clsSettings.h"

namespace wendra {

class OutlookSync {
public:
    // The calendar id of a caller that did not find the event in a calendar of
    // its own (the main window's edit commands).
    static constexpr int kNoSyncCalendar = -99;
    static constexpr std::string_view kHideAll = "HideAll";

    // Everything given must outlive the reconciliation.
    OutlookSync(clsDataQVR& store, clsSettings& settings, OutlookBinding& outlook, ProgramState& state,
                OutlookSyncHost& host);
    OutlookSync(const OutlookSync&) = delete;
    OutlookSync& operator=(const OutlookSync&) = delete;

    // Opens the calendar. Connected, the status picture shows it, the flags are set
    // from whether the store holds any link to the calendar, the pending items
    // start empty and the mode display shows the check for updates; not connected,
    // the reason is shown and the mode display is shown again. True when connected.
    bool connectOutlook();

    // Brings one event into step: `nQVRId` its store key (may be empty),
    // `nXCalendarId` Outlook's calendar id, `sEntryId` its appointment's entry id
    // (may be empty), `nSyncCalendarId` the calendar the caller found it under.
    // Nothing runs while the calendar is not connected.
    void syncOutlook(const std::string& nQVRId, int nXCalendarId, const std::string& sEntryId, int nSyncCalendarId);

    // Adds the item under its key to gPendingOutlookItems, once per key.
    void queuePendingOutlookItem(const std::string& key, const std::string& item);

private:
    // The store changed: the gadget library is told through the update counter.
    void changed();
    // Another stored event equal to `ev` (its start, description and rules); never `ev` itself.
    bool otherDuplicate(const clsCalEvent& ev, clsCalEvent& dup);
    void bothFound(clsCalEvent& storeCopy, clsCalEvent& outlookCopy);
    // `to` takes the rules and the excluded and extra dates of `from`.
    static void keepRules(const clsCalEvent& from, clsCalEvent& to);
    void outlookOnly(clsCalEvent& outlookCopy, const std::string& storeId, int status, int syncCalendarId);
    void storeOnly(clsCalEvent& storeCopy, int status);

    clsDataQVR& store_;
    clsSettings& settings_;
    OutlookBinding& outlook_;
    ProgramState& state_;
    OutlookSyncHost& host_;
};

}  // namespace wendra
