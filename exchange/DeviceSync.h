#pragma once

// The synchronisation with the mobile companion, one message at a time: the
// answer to its clock, the requests its list of events calls for, the merge of
// each event it sends, the record of each confirmation, and what goes back to it
// next until the export ends.
//
// One exchange is one session, from the device's list to the end of the export:
// the device's calendar, the request queue, whether the local events it lacks
// were queued and whether the list was a full one. A cancel ends the session, and
// so does a device that cannot be registered; whatever was still under way for an
// ended session queues and sends nothing. A message that names no calendar is
// taken for the open session's; one with no session to go to, or from another
// device than the open session's, is noted and moves nothing.
//
// The exchange reaches the window only through SyncHost and the store only
// through its public members; it reads messages through the calendar reader,
// whose end events and services it implements.

#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>

#include "exchange/SyncHost.h"
#include "exchange/SyncItem.h"
#include "exchange/clsCalendar.h"
#include "exchange/iCalExport.h"
#include "exchange/iCalImportEvents.h"
#include "store/StoreHost.h"
#include "store/clsDataQVR.h"
#include "store/clsSettings.h"

namespace wendra {

struct SyncSession {
    int calendarId = 0;      // the device's calendar in the store; 0 until registered
    bool fullSync = false;   // the list named the companion: what it left out is gone there
    bool addsQueued = false;  // the local events it lacks were queued, which happens once
    bool ended = false;
    bool listOpen = true;    // the device's list is being read
    std::deque<SyncItem> queue;
    // What went to the device, so that a confirmation can be told from nonsense: the
    // local events sent, each with the device id it went under (empty for an Add),
    // and the device ids of the updates and deletions.
    std::map<std::string, std::string> sentEvents;
    std::set<std::string> sentDeviceIds;
    // The device events unknown here that were requested and have not come yet: one
    // of them may be a copy of a local event, which must then not be added.
    std::set<std::string> awaitedEvents;
    // The device's list: each id and the change time it gave; and the id of the
    // last event requested, which the next event it sends answers, under whatever UID.
    std::map<std::string, DateTime> listed;
    std::string lastRequested;
};

class DeviceSync final : public iCalImportListener, public iCalImportHost {
public:
    // Everything given must outlive the exchange.
    DeviceSync(clsDataQVR& store, const clsSettings& settings, SyncHost& host, std::string webAddress);
    DeviceSync(const DeviceSync&) = delete;
    DeviceSync& operator=(const DeviceSync&) = delete;

    // ---- the reader's end events ------------------------------------------------
    // The clock and version check and its answer, sent in every case; a refusal beeps
    // and is shown in the error banner.
    void EndSyncTime(clsCalendar& cal) override;
    // A full list: the local events linked to the device that it no longer lists are
    // deleted, then the first request goes out.
    void EndSyncData(clsCalendar& cal) override;
    // The event is merged, then the next request goes out.
    void EndVEvent(clsCalendar& cal, clsCalEvent& evt, bool usable) override;
    void EndVCalendar(clsCalendar& cal) override;
    // The device holds the event sent: its id becomes the live link and the copy sent
    // the base of the next merge; then the next request goes out.
    void Confirmed(clsCalendar& cal, clsCalEvent& evt) override;

    // ---- the reader's services -----------------------------------------------------
    int RegisterXCalendar(const std::string& uniqueId) override;
    // A device list begins: a new session, the old one ended.
    void beginSyncList() override;
    void markLinksNotFound(int calendarId) override;
    // One entry of the device's list judged against the store into a request.
    void createRequest(clsCalEvent& oEv_Import, clsCalendar& oCal) override;
    int DefaultPriorWarning() override;
    void showSyncInProgress() override;

    // ---- the exchange itself ----------------------------------------------------------
    // The device cancelled: the session ends.
    void cancel();
    // Brings the store in line with an event the device sent (its XCalendarId set):
    // a new event, a link to an equal unlinked one, a deletion for the device, or a
    // merge with the program's copy and the base.
    void syncImport(clsCalEvent& oEv_Import);
    // Sends the next request of the open session to the device of `calendarId`, or
    // ends the export.
    void sendNextToMobile(int calendarId);

    // The latest session, ended or not; nullptr before the first.
    const SyncSession* session() const { return session_.get(); }
    bool sessionOpen() const { return isOpen(session_); }
    // ">" and the first 18 characters of the description, "..." and blanks.
    static std::string sendingText(const std::string& description);

private:
    using Session = std::shared_ptr<SyncSession>;

    // The program's copy of a device event, as far as the store knows it.
    struct LocalCopy {
        std::optional<clsCalEvent> event;
        int status = clsDataQVR::kNoLink;
        std::string key;
    };

    static bool isOpen(const Session& s) { return s && !s->ended; }
    Session openSession() const { return isOpen(session_) ? session_ : nullptr; }
    // The message's calendar, or the open session's for a message that names none.
    int calendarFor(const clsCalendar& cal) const;
    void end(const Session& s);

    LocalCopy findLocal(int calendarId, const std::string& xid);
    void markFound(int calendarId, const std::string& key, const std::string& xid);
    // The device id the event's live link names; empty for none.
    std::string linkedId(int calendarId, const std::string& key);
    bool linkDuplicate(clsCalEvent& device, LocalCopy& local);
    void mergeFound(const Session& s, clsCalEvent& device, const LocalCopy& local);
    void syncImport(clsCalEvent& device, const Session& s);
    void queue(const Session& s, SyncItem::Kind kind, const std::string& localId, const clsCalEvent& ev);
    void queueAdds(const Session& s);
    void sendNext(const Session& s, int calendarId);
    clsCalEvent eventToSend(const SyncItem& item, SyncSession& s);
    bool acceptConfirmation(const SyncSession& s, clsCalEvent& evt);

    // Whether an entry of the list is not to be requested: its event came back unusable
    // at an earlier exchange and the device has not changed it since.
    bool knownUnusable(int calendarId, const std::string& xid, DateTime listedChange) const;
    bool queueAddsNow(const Session& s);

    clsDataQVR& store_;
    const clsSettings& settings_;
    SyncHost& host_;
    iCalExport export_;
    Session session_;
    // Kept while the program runs, across exchanges, by device calendar:
    // the events the device sent unusable in answer to a request, with the change time
    // the list gave them then; and the device events awaited in vain at the last
    // exchange, which keep the local events waiting one exchange, not for ever.
    std::map<std::pair<int, std::string>, DateTime> unusable_;
    std::map<int, std::set<std::string>> awaitedInVain_;
};

}  // namespace wendra
