#pragma once

// The texts of the calendar exchange, each kept once: the lines the device and
// the program exchange and the messages the reader hands to its import log.

namespace wendra::texts {

// ---- block markers ---------------------------------------------------------
inline constexpr const char* kBeginSyncTime = "X-KSP-BEGIN:SYNC-TIME";
inline constexpr const char* kEndSyncTime = "X-KSP-END:SYNC-TIME";
inline constexpr const char* kBeginSyncData = "X-KSP-BEGIN:SYNC-DATA";
inline constexpr const char* kEndSyncData = "X-KSP-END:SYNC-DATA";
inline constexpr const char* kBeginConfirm = "X-KSP-BEGIN:CONFIRM";
inline constexpr const char* kEndConfirm = "X-KSP-END:CONFIRM";
inline constexpr const char* kBeginVCalendar = "BEGIN:VCALENDAR";
inline constexpr const char* kEndVCalendar = "END:VCALENDAR";
inline constexpr const char* kBeginVEvent = "BEGIN:VEVENT";
inline constexpr const char* kEndVEvent = "END:VEVENT";
inline constexpr const char* kBeginVTimezone = "BEGIN:VTIMEZONE";
inline constexpr const char* kEndSyncCancel = "X-KSP-END:SYNC-CANCEL";

// ---- the copies of received messages, one file a kind ------------------------
inline constexpr const char* kFileSyncTime = "SyncTime.txt";
inline constexpr const char* kFileSyncData = "SyncData.txt";
inline constexpr const char* kFileConfirm = "KSPoConfirm.txt";
inline constexpr const char* kFileVCalendar = "KSPo.vcal";
inline constexpr const char* kFileSyncCancel = "SyncCancel.txt";

// ---- properties the device sends -------------------------------------------
inline constexpr const char* kKspVersion = "X-KSP-VERSION:";
inline constexpr const char* kKspTime = "X-KSP-TIME:";
inline constexpr const char* kKspTimeDiff = "X-KSP-TIME-DIFF:";
inline constexpr const char* kKspProgramUid = "X-KSP-PROGRAM-UID";
inline constexpr const char* kKspUidPrefix = "X-KSP-UID-PREFIX:";
inline constexpr const char* kKspSync = "X-KSP-SYNC:";
inline constexpr const char* kKspEventQvrId = "X-KSP-EVENT-QVRID:";
inline constexpr const char* kKspEventUid = "X-KSP-EVENT-UID:";
inline constexpr const char* kKspLastModified = "X-KSP-LAST-MODIFIED:";
inline constexpr const char* kVersion = "VERSION";
inline constexpr const char* kUid = "UID";
inline constexpr const char* kDtStart = "DTSTART";
inline constexpr const char* kKspViewFrom = "X-KSP-VIEWFROM";
inline constexpr const char* kKspPriorWarn = "X-KSP-PRIORWARN";
inline constexpr const char* kKspAutoDelete = "X-KSP-AUTODELETE";
inline constexpr const char* kSummary = "SUMMARY";
inline constexpr const char* kKspSummaryUnib = "X-KSP-SUMMARY-UNIB";
inline constexpr const char* kKspSummaryUtf8 = "X-KSP-SUMMARY-UTF8";
inline constexpr const char* kDescription = "DESCRIPTION";
inline constexpr const char* kLastModified = "LAST-MODIFIED";
inline constexpr const char* kDtStamp = "DTSTAMP";
inline constexpr const char* kKspEventFormat = "X-KSP-EVENTFORMAT";
inline constexpr const char* kRRule = "RRULE";
inline constexpr const char* kRDate = "RDATE";
inline constexpr const char* kExDate = "EXDATE";
inline constexpr const char* kValueDate = "VALUE=DATE:";
inline constexpr const char* kPriorWarnDefault = "DEFAULT";

// ---- what the program writes -----------------------------------------------
inline constexpr const char* kProductName = "Wendra(win)";
inline constexpr const char* kMethodToDevice = "REQUEST<";
inline constexpr const char* kMethodFromDevice = "REQUEST>";
inline constexpr const char* kMethodCancel = "CANCEL";
inline constexpr const char* kMethodPublish = "PUBLISH";
inline constexpr const char* kLocalUidPrefix = "QVRID-";

// ---- the request queue's kinds ----------------------------------------------
inline constexpr const char* kRequestFromDevice = "Request>";
inline constexpr const char* kRequestToDevice = "Request<";
inline constexpr const char* kRequestDeleteAll = "DeleteAll";
inline constexpr const char* kRequestUpdate = "Update";
inline constexpr const char* kRequestAdd = "Add";

// ---- what the exchange tells the user ------------------------------------------
inline constexpr const char* kDeviceNotRegistered =
    "Cannot sync with remote device. The remote device could not be registered in the Wendra(win) database.";

// ---- what the exchange passes over, for the program's output --------------------
inline constexpr const char* kNoteNoSession = "device message with no synchronisation to go to, ignored";
inline constexpr const char* kNoteOtherDevice = "device message of another device than the one synchronising, ignored";
inline constexpr const char* kNoteNotFullList = "device list without the companion's id: nothing deleted, nothing sent";
inline constexpr const char* kNoteOtherCalendarItem = "request of another device's exchange dropped";
inline constexpr const char* kNoteOwnEvent = "device event under the program's own id and with no link, ignored";
inline constexpr const char* kNoteConfirmUnmatched = "confirmation of nothing the device was sent, ignored";
inline constexpr const char* kNoteLinkedSinceQueued = "local event linked to the device since it was queued, not added";
inline constexpr const char* kNoteHeldTwice = "event linked to a device event while it was added: the new copy goes";
inline constexpr const char* kNoteAddsPutOff =
    "device events requested and not received: local events are added at the next synchronisation";
inline constexpr const char* kNoteUnnamedEntry =
    "device list with an entry that names no id: nothing deleted for the events it left out";
inline constexpr const char* kNoteMergeFailed = "device event could not be merged";

// ---- import log messages ---------------------------------------------------
inline constexpr const char* kErrorSyncData = "Error reading Synchronise Data";
inline constexpr const char* kErrorVCalendar = "Error reading VCalendar file";
inline constexpr const char* kErrorConfirmation = "Error reading data-sync confirmation file";
inline constexpr const char* kUnsupportedVersion = "Unknown or unsupported vCalendar/iCalendar version number";
inline constexpr const char* kVersionNumberIs = "Version number=";
inline constexpr const char* kInvalidFrequency10 = "Invalid frequency found in recurrence rule";
inline constexpr const char* kIntervalTooLarge10 = "Recurrence interval too large for import, changed to interval default=1";
inline constexpr const char* kInvalidCharacters10 = "Invalid characters found in recurrence rule";
inline constexpr const char* kDurationTooLarge10 =
    "Recurrence duration too large for import, changed to duration maximum=999";
inline constexpr const char* kInvalidFrequency20 = "Invalid recurrence frequency";
inline constexpr const char* kIntervalTooLarge20 = "Recurrence interval too large for import, changed to interval=1 (default)";
inline constexpr const char* kIntervalNotNumeric20 = "Recurrence interval not numeric, changed to interval default=1";
inline constexpr const char* kCountNotNumeric20 = "Recurrence count not numeric, value ignored";
inline constexpr const char* kUntilNotDate20 = "Recurrence until date is not a valid date, value ignored";
inline constexpr const char* kInvalidWeekStart20 = "Invalid week start day";

// Messages of checks this program adds to the reader; seen only in the log.
inline constexpr const char* kBadValue = "Value not valid, property skipped";
inline constexpr const char* kValueChanged = "Value out of range, changed";
inline constexpr const char* kRuleDropped = "Recurrence rule not valid, rule skipped";
inline constexpr const char* kRuleItemsDropped = "Recurrence rule items out of range, items skipped";
inline constexpr const char* kLineTooLong = "Line too long, skipped";
inline constexpr const char* kBlockNotClosed = "Block not closed at the end of the message";
inline constexpr const char* kEventNotUsable = "Event not imported";
inline constexpr const char* kEventNoUid = "no UID";
inline constexpr const char* kEventNoStart = "no valid DTSTART";
inline constexpr const char* kEventNotClosed = "no END:VEVENT";
inline constexpr const char* kCalendarNotRegistered = "Foreign calendar could not be registered";
inline constexpr const char* kSyncEntrySkipped = "Sync entry without a valid time or id, skipped";
inline constexpr const char* kUnknownTimeZone = "Time zone not known, time read as local time";

}  // namespace wendra::texts
