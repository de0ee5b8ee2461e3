#pragma once

// The store: one object over the program's database file WendraWin.dt, shared
// by the main program and the gadget library (each opens the file with a store
// of its own). It writes the events, their links to foreign calendars, the
// foreign calendars themselves and the device copies that the merge starts from.
//
// Every statement is written in the desktop dialect that platform/db translates;
// values reach it only through the sql* members below, which quote texts and
// write dates in one literal form. Keys of events are integers: an id that comes
// in as text and is not a whole number finds nothing and writes nothing.
//
// One thread. Record sets are read into memory when a statement runs, so a walk
// over a query may go on while other statements (a Find, a Save, a whole
// synchronisation) run on the same connection.

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/clock/DateTime.h"
#include "platform/db/Connection.h"
#include "platform/db/RecordSet.h"
#include "store/SaveCodes.h"
#include "store/StoreHost.h"
#include "store/clsCalEvent.h"
#include "store/clsSettings.h"

namespace wendra {

// The key of an event row (column WendraWinID).
using EventKey = std::int64_t;

// How a store is built: the two deliverables differ only in these.
struct StoreOptions {
    // The folder that holds WendraWin.dt. Empty: the DataDir setting, read when
    // the file is opened (the gadget library, which lives in a folder of its own).
    std::string dataFolder;
    // Whether the update of an event of the Outlook calendar records the Outlook
    // copy's creation time; the gadget library never writes that column on update.
    bool updateMSOCreated = true;
    // Whom a synchronisation's deletions are saved through and reported to. Without
    // a host the store only marks them (the gadget library).
    StoreHost* host = nullptr;
    // Where SelectNewToMobile queues its requests; without one they are dropped.
    SyncItemSink* syncItems = nullptr;
    // How long a statement waits for the other program's lock on the file.
    std::chrono::milliseconds busyTimeout = db::Connection::kDefaultBusyTimeout;

    static StoreOptions mainProgram(std::string programFolder, StoreHost* host = nullptr,
                                    SyncItemSink* syncItems = nullptr);
    static StoreOptions gadgetLibrary();
};

// The events one query answered, with a position of its own: several walks may
// be under way at once, and none is disturbed by other statements of the store.
// The rows were read when the query ran.
class EventCursor {
public:
    EventCursor() = default;

    // The first row's event. On an empty cursor: a new event with its start
    // values; test EndOfEvents before using it.
    clsCalEvent GetFirstEvent();
    // Steps to the next row and answers its event (a new event past the end).
    clsCalEvent GetNextEvent();
    bool EndOfEvents() const { return rows_.eof(); }
    std::size_t count() const { return rows_.recordCount(); }

private:
    friend class clsDataQVR;
    EventCursor(db::RecordSet rows, int defaultPriorWarning)
        : rows_(std::move(rows)), defaultPriorWarning_(defaultPriorWarning) {}
    clsCalEvent current() const;

    db::RecordSet rows_;
    int defaultPriorWarning_ = 0;
};

class clsDataQVR {
public:
    // The id of the program's own calendar.
    static constexpr int kLocalCalendarId = -1;
    // The identity under which a calendar without one of its own is registered.
    static constexpr std::string_view kUnnamedCalendar = "VCalendar File";

    // Link states (XData.Status).
    static constexpr int kLinkLive = 0;
    static constexpr int kLinkDeleted = 1;
    static constexpr int kLinkHidden = 2;
    static constexpr int kNoLink = -1;

    // The settings must outlive the store.
    clsDataQVR(const clsSettings& settings, StoreOptions options);
    clsDataQVR(const clsDataQVR&) = delete;
    clsDataQVR& operator=(const clsDataQVR&) = delete;

    void setHost(StoreHost* host) { options_.host = host; }
    void setSyncItemSink(SyncItemSink* sink) { options_.syncItems = sink; }
    SyncItemSink* syncItemSink() const { return options_.syncItems; }

    // ---- connection and schema ----------------------------------------------
    // Opens the existing WendraWin.dt of the data folder; it never makes one. A file
    // that is no database or lacks one of the four tables is refused and left as it is.
    bool OpenData();
    bool isOpen() const { return connection_.isOpen(); }
    // Adds the AutoDelete column to a file made before it existed, with "M"
    // (manual) for every event there. True when the column is there afterwards.
    bool updateTables();
    int CalendarId() const { return kLocalCalendarId; }
    // Why the last statement failed, for a log; empty after one that succeeded.
    const std::string& lastError() const { return connection_.lastError(); }
    // The store's connection, for what works on the whole file (the rolling backup).
    db::Connection& connection() { return connection_; }
    // The connection text OpenData opens: the data folder and WendraWin.dt.
    std::string connectionText() const;
    // One write transaction held open over many operations (the handling of one
    // message from the device), so that the file is written once for all of them:
    // each operation's own transaction becomes a part of it, undone alone when that
    // operation fails. False when it could not begin; the operations then commit
    // one by one as they always do. Held ones nest: only the outermost ends it.
    bool holdTransaction();
    // Ends what holdTransaction began: committed, or undone when commit is false.
    bool releaseTransaction(bool commit);

    // ---- SQL values ---------------------------------------------------------
    // The text without trailing blanks, quoted: 'text', each "'" doubled; the
    // text is stored exactly as typed.
    static std::string sqlText(std::string_view text);
    static std::string sqlBool(bool value) { return value ? "True" : "False"; }
    // #d Mon yyyy hh:mm:ss#, English month abbreviations in both deliverables.
    static std::string sqlDate(DateTime d);
    // "Jan" to "Dec"; the empty text for a number outside 1 to 12.
    static std::string shortMonthName(int month);
    static std::string_view eventColumnList();
    // The key a text names: a whole number, blanks around it aside; nullopt for
    // any other text (which then finds nothing).
    static std::optional<EventKey> toEventKey(std::string_view text);

    // ---- saving and deleting events -------------------------------------------
    // Brings the event's derived dates up to date, inserts or updates its row
    // (and its link), then deletes the row when the event asks for it or has
    // nothing left to show. A new event gets its key here.
    bool Save(clsCalEvent& ev, SaveMode mode);
    // Removes the row, marks its links deleted (1) or hidden (2) and removes its
    // device copies, in one transaction. A row already gone counts as removed.
    bool DeleteEvent(clsCalEvent& ev);
    // False when the event's row does not exist.
    bool storeMSOCreatedTime(const clsCalEvent& ev, DateTime t);
    // The SET list of an update of the event's row; also compares two events.
    std::string getEventDetail(const clsCalEvent& ev) const;
    // Whether exactly one stored event has the same start, description and
    // rules (excluded dates aside); dup receives it. The event with the key
    // `other` is left out: a stored event asks for another one than itself.
    bool isDuplicate(const clsCalEvent& ev, clsCalEvent& dup, std::optional<EventKey> other = std::nullopt);
    // A hook consulted before an event row is changed; it keeps nothing.
    bool ArchiveEvent(std::string_view id, bool deleting);

    // ---- event queries and cursors ------------------------------------------
    // Events whose view date is at most today + n days (all of them for 32767),
    // in order of their first occurrence. nullopt when the query failed.
    std::optional<EventCursor> reminderEvents(int daysAhead);
    // Every event, in order of their first occurrence.
    std::optional<EventCursor> syncEvents();
    // The longest prior warning an event of the store has of its own, in days; 0
    // when none has one (or the store cannot say).
    int longestPriorWarning();

    // The same walk kept in the store, for callers that walk one query at a time.
    // A query replaces the store's cursor.
    bool SelectReminderEvents(int daysAhead);  // true when there is a first event
    bool SelectSyncEvents();                   // true when the query ran
    // nullopt without a cursor (no query, or a failed one).
    std::optional<clsCalEvent> GetFirstEvent();
    std::optional<clsCalEvent> GetNextEvent();
    bool EndOfEvents() const;  // true also without a cursor
    void closeEvents();

    // The event with this key (local calendar), or linked live to this foreign id
    // (any other calendar). ev is left as it was when nothing is found.
    bool Find(clsCalEvent& ev, int calendarId, std::string_view id);
    bool Find(clsCalEvent& ev, EventKey key);

    // ---- foreign calendars --------------------------------------------------
    // The id of the calendar with this identity (trimmed; blank becomes
    // "VCalendar File", which the caller's variable then holds), registered when
    // new. 0 when it could not be found or registered.
    int RegisterXCalendar(std::string& name);
    bool hasXData(int calendarId);
    // The link's status (Null reads 0), kNoLink without one. With no key the link
    // is looked up by foreign id, and key receives the event it links.
    int getXDataStatus(std::optional<EventKey>& key, int calendarId, std::string_view xid);
    // The same for a key held as text: blank looks up by foreign id (and receives
    // the linked key), a whole number by key, any other text finds nothing.
    int getXDataStatus(std::string& key, int calendarId, std::string_view xid);
    // Writes the event's link (XCalendarId, XID): inserted live when it has none,
    // else updated; status nullopt keeps the stored one. A link found by foreign id
    // hands its event key to ev.
    bool UpdateAddXData(clsCalEvent& ev, std::optional<int> status);
    bool setSyncFound(int calendarId, bool found, std::optional<EventKey> key = std::nullopt);
    // Marks found every link of the calendar to this foreign id, whichever event it names.
    bool setSyncFoundByXID(int calendarId, std::string_view xid);
    // The foreign id of the event's live link in that calendar, or the empty text.
    std::string getXID(int calendarId, EventKey key);

    // The device copy (the merge's base) of the event for that calendar, replaced.
    bool addSyncRecord(int calendarId, clsCalEvent& ev, bool confirmed);
    // Makes the copy last sent the confirmed one: true when it is confirmed
    // afterwards, false when the event has no copy for its calendar.
    bool confirmSyncRecord(const clsCalEvent& ev);
    // ev becomes a new event, then the copy when there is one.
    bool getSyncRecord(clsCalEvent& ev, int calendarId, EventKey key);

    // After a full synchronisation: each local event linked to the device calendar
    // that the device no longer listed is deleted or hidden through the host, and
    // its rows are marked. True when the links were read and every such save
    // succeeded.
    bool DeleteSyncEvents(int calendarId);
    // Queues an "Add" request for every event without any link to the calendar.
    bool SelectNewToMobile(int calendarId);

private:
    friend class EventCursor;

    struct LinkRow {
        std::int64_t rowid = 0;
        int status = 0;
        std::optional<EventKey> key;
    };

    bool executeSql(std::string_view sql, db::RecordSet* rs = nullptr);
    bool openRecordset(std::string_view sql, db::RecordSet* rs = nullptr);
    bool beginTrans();
    bool endTrans(bool commit);

    // Runs work inside one write transaction, committed when it answers true.
    bool writeTransaction(const std::function<bool()>& work);
    std::string findIdByXID(int calendarId, std::string_view xid);
    bool insertEvent(clsCalEvent& ev);
    // The Outlook calendar whose events' updates record their creation time in
    // MSOCreated; nullopt when none does (standalone mode, no owner, the library).
    std::optional<int> outlookCalendarOfUpdates();
    bool updateEvent(clsCalEvent& ev, SaveMode mode, std::optional<int> outlookCalendar);
    // The row's writes themselves, inside a transaction the caller holds.
    bool insertRow(clsCalEvent& ev);
    bool updateRow(clsCalEvent& ev, SaveMode mode, std::optional<int> outlookCalendar);
    static bool eventFromRecord(clsCalEvent& ev, const db::RecordSet& rs, int defaultPriorWarning);
    bool eventFromRecord(clsCalEvent& ev, const db::RecordSet& rs) const;
    std::string eventValues(const clsCalEvent& ev, int creator) const;
    int priorWarningValue(const clsCalEvent& ev) const;

    std::optional<LinkRow> findLink(std::optional<EventKey> key, int calendarId, std::string_view xid);
    bool insertXData(const clsCalEvent& ev);
    bool updateXData(const clsCalEvent& ev, std::optional<int> status, std::int64_t rowid, bool foundByKey);
    std::optional<EventCursor> eventQuery(const std::string& sql);

    const clsSettings& settings_;
    StoreOptions options_;
    db::Connection connection_;
    int held_ = 0;   // holdTransaction's depth; its transaction is open while above 0
    int parts_ = 0;  // the operations' own transactions open as parts of the held one
    std::optional<EventCursor> events_;
};

}  // namespace wendra
