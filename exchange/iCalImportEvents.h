#pragma once

// What the calendar reader calls while it reads a message, all of it
// synchronously, before the read goes on with the next line: the end events
// of the blocks it reads, and the few services it asks of the store and the
// window that own the exchange.

#include <string>

#include "exchange/clsCalendar.h"
#include "store/clsCalEvent.h"

namespace wendra {

// The five end events.
class iCalImportListener {
public:
    virtual ~iCalImportListener() = default;
    // "X-KSP-END:SYNC-TIME": the device's version and clock are in the calendar.
    virtual void EndSyncTime(clsCalendar& cal) = 0;
    // "X-KSP-END:SYNC-DATA": the device's list was handed on, entry by entry.
    virtual void EndSyncData(clsCalendar& cal) = 0;
    // "END:VEVENT". `usable` is false for an event that must not be merged (no
    // UID, no readable start, not closed); its end still moves the exchange on.
    virtual void EndVEvent(clsCalendar& cal, clsCalEvent& evt, bool usable) = 0;
    // "END:VCALENDAR".
    virtual void EndVCalendar(clsCalendar& cal) = 0;
    // "X-KSP-END:CONFIRM": the device confirms one event.
    virtual void Confirmed(clsCalendar& cal, clsCalEvent& evt) = 0;
};

// The services the reader needs from its owner.
class iCalImportHost {
public:
    virtual ~iCalImportHost() = default;
    // The store's id of the device calendar with this identity, registered when
    // new; 0 or less when it could not be had.
    virtual int RegisterXCalendar(const std::string& uniqueId) = 0;
    // A device list is handed on: the request queue starts afresh.
    virtual void beginSyncList() = 0;
    // Every link of the calendar counts as not found until the list names it.
    virtual void markLinksNotFound(int calendarId) = 0;
    // One entry of the device's list, with its XID, LastModified and XCalendarId.
    virtual void createRequest(clsCalEvent& evt, clsCalendar& cal) = 0;
    // The settings' default prior warning, in days.
    virtual int DefaultPriorWarning() = 0;
    // Something of an exchange was read: the status shows the sync in progress.
    virtual void showSyncInProgress() = 0;
};

}  // namespace wendra
