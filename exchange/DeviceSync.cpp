#include "exchange/DeviceSync.h"

#include <algorithm>
#include <exception>
#include <utility>

#include "exchange/ExchangeTexts.h"
#include "exchange/SyncMerge.h"
#include "exchange/SyncTimeCheck.h"
#include "platform/clock/Clock.h"
#include "store/modFuncs.h"

namespace wendra {

std::string_view SyncItem::kindText(Kind kind) {
    switch (kind) {
        case Kind::RequestFromDevice: return texts::kRequestFromDevice;
        case Kind::RequestToDevice: return texts::kRequestToDevice;
        case Kind::DeleteAll: return texts::kRequestDeleteAll;
        case Kind::Update: return texts::kRequestUpdate;
        case Kind::Add: return texts::kRequestAdd;
    }
    return {};
}

namespace {

constexpr int kPanelChars = 18;

// The store's requests for the local events the device lacks, taken into one
// session's queue while SelectNewToMobile runs, and the store's own sink given
// back afterwards.
class AddCollector final : public SyncItemSink {
public:
    AddCollector(clsDataQVR& store, SyncSession& into) : store_(store), into_(into), previous_(store.syncItemSink()) {
        store_.setSyncItemSink(this);
    }
    ~AddCollector() override { store_.setSyncItemSink(previous_); }
    AddCollector(const AddCollector&) = delete;
    AddCollector& operator=(const AddCollector&) = delete;

    void addSyncItem(const std::string& item, const std::string& key) override {
        // The store's request is its envelope and the event's row key; the row key
        // is kept to show, the rest is known already.
        const std::string envelope = tagText(Tag::Req) + texts::kRequestAdd + tagText(Tag::End) + tagText(Tag::Id) +
                                     key + tagText(Tag::End);
        std::string rowKey = item.starts_with(envelope) ? item.substr(envelope.size()) : item;
        into_.queue.push_back({SyncItem::Kind::Add, key, {}, into_.calendarId, std::move(rowKey)});
    }

private:
    clsDataQVR& store_;
    SyncSession& into_;
    SyncItemSink* previous_;
};

std::optional<EventKey> keyOf(const std::string& id) { return clsDataQVR::toEventKey(id); }

}  // namespace

DeviceSync::DeviceSync(clsDataQVR& store, const clsSettings& settings, SyncHost& host, std::string webAddress)
    : store_(store), settings_(settings), host_(host), export_(std::move(webAddress)) {}

std::string DeviceSync::sendingText(const std::string& description) {
    std::string out = ">";
    int n = 0;
    for (char32_t cp : utf8CodePoints(description + "..." + std::string(15, ' '))) {
        if (n++ == kPanelChars) break;
        appendUtf8(out, cp);
    }
    return out;
}

int DeviceSync::calendarFor(const clsCalendar& cal) const {
    if (cal.XCalendarId() > 0) return cal.XCalendarId();
    const Session s = openSession();
    return s ? s->calendarId : 0;
}

void DeviceSync::end(const Session& s) {
    if (!s) return;
    s->ended = true;
    s->queue.clear();
}

// ---- the reader's end events ---------------------------------------------------------

void DeviceSync::EndSyncTime(clsCalendar& cal) {
    const SyncTimeVerdict verdict = checkSyncTime(cal);
    if (verdict.status != iCalExport::kSyncOK) host_.beep();
    // The answer goes out in every case: the device waits for it.
    host_.commSend(export_.syncTime(cal, verdict.status));
    if (verdict.status != iCalExport::kSyncOK) {
        host_.showCommStatus();
        host_.showError(verdict.message);
    }
}

void DeviceSync::EndSyncData(clsCalendar& cal) {
    const Session s = openSession();
    if (!s) return;
    s->listOpen = false;
    if (!s->fullSync || s->calendarId <= 0) {
        host_.note(texts::kNoteNotFullList);
        end(s);
        return;
    }
    // An entry that could not be read is neither found nor gone: its link stays as
    // it is, and nothing is deleted for it. One that names no id could be any of
    // the links the list left out.
    for (const std::string& id : cal.UnreadEntries()) store_.setSyncFoundByXID(s->calendarId, cal.UIDPrefix() + id);
    if (cal.hasUnnamedUnreadEntry())
        host_.note(texts::kNoteUnnamedEntry);
    else
        store_.DeleteSyncEvents(s->calendarId);
    if (isOpen(s)) sendNext(s, s->calendarId);
}

void DeviceSync::EndVEvent(clsCalendar& cal, clsCalEvent& evt, bool usable) {
    // Taken now: a cancel while the event is merged ends this session, and nothing of
    // the merge may then reach a queue or the line. An event that comes once the
    // exchange is over is still merged, into the calendar of the last exchange, and
    // nothing more goes to the device for it.
    const Session s = session_;
    const int calendarId = cal.XCalendarId() > 0 ? cal.XCalendarId() : s ? s->calendarId : 0;
    if (!s || calendarId <= 0) return host_.note(texts::kNoteNoSession);
    if (s->calendarId != calendarId) return host_.note(texts::kNoteOtherDevice);
    // The answer to the last request, whatever UID the device gave it; an event of
    // its list under its own id answers for itself.
    const std::string answered = s->listed.contains(evt.XID()) ? evt.XID() : std::exchange(s->lastRequested, {});
    s->awaitedEvents.erase(answered);
    if (usable) {
        unusable_.erase({calendarId, answered});
    } else if (const auto it = s->listed.find(answered); it != s->listed.end()) {
        // Asked for again, it would come back the same until the device changes it.
        unusable_[{calendarId, answered}] = it->second;
    }
    if (usable) {
        evt.setXCalendarId(calendarId);
        try {
            syncImport(evt, s);
        } catch (const std::exception& e) {
            // The event is lost to this exchange, not the exchange to the event.
            host_.note(std::string(texts::kNoteMergeFailed) + ": " + e.what());
        }
    }
    if (isOpen(s)) sendNext(s, calendarId);
}

void DeviceSync::EndVCalendar(clsCalendar&) {}

void DeviceSync::Confirmed(clsCalendar& cal, clsCalEvent& evt) {
    const int calendarId = calendarFor(cal);
    if (calendarId <= 0 || !session_) return host_.note(texts::kNoteNoSession);
    evt.setXCalendarId(calendarId);
    const Session s = openSession();
    // Matched against the latest session, even when it has ended: a device that
    // answers once too often confirms the last event after the export's end.
    if (session_->calendarId != calendarId || !acceptConfirmation(*session_, evt)) {
        host_.note(std::string(texts::kNoteConfirmUnmatched) + ": " + evt.WendraWinId() + " " + evt.XID());
    } else if (const std::string held = linkedId(calendarId, evt.WendraWinId()); !held.empty() && held != evt.XID()) {
        // Linked to one of the device's events while it was on its way (the device
        // sent that one of its own accord): the device holds it twice now, and the
        // copy it has just made goes again.
        host_.note(std::string(texts::kNoteHeldTwice) + ": " + evt.WendraWinId() + " " + held + " " + evt.XID());
        evt.setWendraWinId("");
        queue(s, SyncItem::Kind::DeleteAll, "", evt);
    } else {
        store_.UpdateAddXData(evt, std::nullopt);
        store_.confirmSyncRecord(evt);
    }
    if (s && s->calendarId == calendarId) sendNext(s, calendarId);
}

bool DeviceSync::acceptConfirmation(const SyncSession& s, clsCalEvent& evt) {
    const std::string& xid = evt.XID();
    if (xid.empty()) return false;
    const std::string id = evt.WendraWinId();
    if (!id.empty()) {
        const auto sent = s.sentEvents.find(id);
        if (sent != s.sentEvents.end() && (sent->second.empty() || sent->second == xid)) {
            // The event must still be here, and the device's id no other event's.
            clsCalEvent local, holder;
            if (!store_.Find(local, clsDataQVR::kLocalCalendarId, id)) return false;
            return !store_.Find(holder, evt.XCalendarId(), xid) || holder.WendraWinId() == local.WendraWinId();
        }
    }
    if (!s.sentDeviceIds.contains(xid)) return false;
    // An update or deletion of a device event: its link is found by the device's id.
    evt.setWendraWinId("");
    return true;
}

// ---- the reader's services --------------------------------------------------------------

int DeviceSync::RegisterXCalendar(const std::string& uniqueId) {
    std::string name = uniqueId;
    const int id = store_.RegisterXCalendar(name);
    const Session s = openSession();
    if (id <= 0 && s && s->listOpen) {
        // Without its calendar the device's list cannot be judged: every local event
        // would count as new to it, and links would go under no device.
        end(s);
        host_.showCommStatus();
        host_.showError(texts::kDeviceNotRegistered);
    }
    return id;
}

void DeviceSync::beginSyncList() {
    end(session_);
    session_ = std::make_shared<SyncSession>();
}

void DeviceSync::markLinksNotFound(int calendarId) {
    const Session s = openSession();
    if (!s || !s->listOpen || calendarId <= 0) return;
    s->calendarId = calendarId;
    s->fullSync = true;
    store_.setSyncFound(calendarId, false);
}

int DeviceSync::DefaultPriorWarning() { return settings_.PriorWarning(); }

void DeviceSync::showSyncInProgress() { host_.showSyncInProgress(); }

// ---- the device's list ---------------------------------------------------------------------

DeviceSync::LocalCopy DeviceSync::findLocal(int calendarId, const std::string& xid) {
    LocalCopy local;
    clsCalEvent ev;
    if (store_.Find(ev, calendarId, xid)) {
        local.key = ev.WendraWinId();
        local.status = store_.getXDataStatus(local.key, calendarId, xid);
        local.event = std::move(ev);
        return local;
    }
    local.status = store_.getXDataStatus(local.key, calendarId, xid);
    // A live link whose event the lookup by foreign id could not name (a second live
    // link holds the same id) still names an event here: it is looked up by its key.
    if (local.status == clsDataQVR::kLinkLive && store_.Find(ev, clsDataQVR::kLocalCalendarId, local.key))
        local.event = std::move(ev);
    return local;
}

std::string DeviceSync::linkedId(int calendarId, const std::string& key) {
    const auto k = keyOf(key);
    return k ? store_.getXID(calendarId, *k) : std::string();
}

void DeviceSync::markFound(int calendarId, const std::string& key, const std::string& xid) {
    // Without a key setSyncFound would mark the whole calendar found.
    if (const auto k = keyOf(key)) store_.setSyncFound(calendarId, true, *k);
    // Every link to the listed id: a second one would otherwise have its event
    // deleted as one the device no longer has.
    store_.setSyncFoundByXID(calendarId, xid);
}

void DeviceSync::queue(const Session& s, SyncItem::Kind kind, const std::string& localId, const clsCalEvent& ev) {
    if (!isOpen(s)) return;
    s->queue.push_back({kind, localId, ev.XID(), s->calendarId, ev.GridKey()});
}

void DeviceSync::createRequest(clsCalEvent& oEv_Import, clsCalendar&) {
    const Session s = openSession();
    if (!s || s->calendarId <= 0 || oEv_Import.XCalendarId() != s->calendarId)
        return host_.note(texts::kNoteNoSession);
    const int calendarId = s->calendarId;
    s->listed[oEv_Import.XID()] = oEv_Import.LastModified();
    const bool unusable = knownUnusable(calendarId, oEv_Import.XID(), oEv_Import.LastModified());
    const LocalCopy local = findLocal(calendarId, oEv_Import.XID());
    if (local.event) {
        oEv_Import.setWendraWinId(local.key);
        markFound(calendarId, local.key, oEv_Import.XID());
        switch (compareDates(local.event->LastModified(), oEv_Import.LastModified())) {
            case DateOrder::Same: return;
            case DateOrder::Later: return queue(s, SyncItem::Kind::RequestToDevice, local.key, oEv_Import);
            default:
                if (unusable) return;
                return queue(s, SyncItem::Kind::RequestFromDevice, local.key, oEv_Import);
        }
    }
    if (local.status == clsDataQVR::kNoLink) {
        if (unusable) return;
        return queue(s, SyncItem::Kind::RequestFromDevice, "", oEv_Import);
    }
    // Known here once and gone since (deleted or hidden, or its row lost).
    markFound(calendarId, local.key, oEv_Import.XID());
    queue(s, SyncItem::Kind::DeleteAll, local.key, oEv_Import);
}

// ---- the device's events ---------------------------------------------------------------------

void DeviceSync::syncImport(clsCalEvent& oEv_Import) {
    const Session s = openSession();
    if (!s) return host_.note(texts::kNoteNoSession);
    syncImport(oEv_Import, s);
}

bool DeviceSync::linkDuplicate(clsCalEvent& device, LocalCopy& local) {
    const int calendarId = device.XCalendarId();
    clsCalEvent dup;
    if (!store_.isDuplicate(device, dup)) return false;
    // Equal rule texts are not enough: a one-off is no copy of a repeating event.
    if (dup.IsRecurring() != device.IsRecurring()) return false;
    // A local event linked to the device already is that device event's copy, not this one's.
    std::string dupKey = dup.WendraWinId();
    if (store_.getXDataStatus(dupKey, calendarId, "") != clsDataQVR::kNoLink) return false;
    dup.setXID(device.XID());
    dup.setXCalendarId(calendarId);
    if (!store_.UpdateAddXData(dup, clsDataQVR::kLinkLive)) return false;
    local.key = dup.WendraWinId();
    local.status = clsDataQVR::kLinkLive;
    local.event = std::move(dup);
    return true;
}

void DeviceSync::syncImport(clsCalEvent& device, const Session& s) {
    const int calendarId = device.XCalendarId();
    LocalCopy local = findLocal(calendarId, device.XID());
    if (!local.event) {
        // The program's own event sent back under its own id (an answer to an Add
        // that is no confirmation): the device has not taken it, so it is no copy.
        const bool ownEvent = device.XID().starts_with(texts::kLocalUidPrefix);
        if (ownEvent && local.status == clsDataQVR::kNoLink) return host_.note(texts::kNoteOwnEvent);
        if (!ownEvent) linkDuplicate(device, local);
    }
    if (local.event) return mergeFound(s, device, local);

    if (local.status == clsDataQVR::kNoLink) {
        if (host_.doSave(device, SaveMode::IfNewer, false) != SaveResult::Saved) return;
        markFound(calendarId, device.WendraWinId(), device.XID());
        store_.addSyncRecord(calendarId, device, true);
        host_.updateList(device.WendraWinId());
        return;
    }
    // Deleted or hidden here: the device deletes it too.
    markFound(calendarId, local.key, device.XID());
    device.setWendraWinId(local.key);
    queue(s, SyncItem::Kind::DeleteAll, local.key, device);
}

void DeviceSync::mergeFound(const Session& s, clsCalEvent& device, const LocalCopy& local) {
    const int calendarId = device.XCalendarId();
    const clsCalEvent& program = *local.event;
    device.setWendraWinId(local.key);
    markFound(calendarId, local.key, device.XID());
    const DateOrder order = compareDates(program.LastModified(), device.LastModified());
    if (order == DateOrder::Same) return;

    copyDescExceptions(program, device);
    const bool differs = rruleChanged(program, device);
    clsCalEvent base;
    const auto key = keyOf(local.key);
    const bool useBase = key && store_.getSyncRecord(base, calendarId, *key);

    clsCalEvent merged;
    bool save = false, send = false;
    if (order == DateOrder::Later) {
        // The program's copy is the later one: its changes win.
        merged = mergeEvent(base, device, program, useBase);
        save = rruleChanged(merged, program);
        send = true;
    } else {
        // The device's copy is the later one: its changes win, unless it is its day
        // map of an event only the program can edit.
        merged = device.EventFormat() < 1 ? mergeEvent(base, program, device, useBase)
                                          : mergeEvent(base, device, program, useBase);
        save = true;
        send = rruleChanged(merged, device);
    }
    mergeDateLists(merged, program, device, settings_.DeleteSetting(), now());
    merged.setXCalendarId(calendarId);
    merged.setXID(device.XID());
    merged.setWendraWinId(local.key);

    if (save && host_.doSave(merged, SaveMode::IfNewer, false) == SaveResult::Saved && differs) host_.updateList(local.key);
    if (send) queue(s, SyncItem::Kind::Update, local.key, merged);
    // Confirmed at once when the device holds it already; else when it confirms the update.
    store_.addSyncRecord(calendarId, merged, !send);
}

// ---- what goes to the device ------------------------------------------------------------------

void DeviceSync::cancel() { end(session_); }

void DeviceSync::sendNextToMobile(int calendarId) {
    const Session s = openSession();
    if (!s) return host_.note(texts::kNoteNoSession);
    sendNext(s, calendarId);
}

void DeviceSync::queueAdds(const Session& s) {
    s->addsQueued = true;
    AddCollector collector(store_, *s);
    store_.SelectNewToMobile(s->calendarId);
}

bool DeviceSync::queueAddsNow(const Session& s) {
    std::set<std::string>& vain = awaitedInVain_[s->calendarId];
    // Awaited in vain at the last exchange too: the device does not send them, and
    // the local events would otherwise never go.
    const bool again = std::includes(vain.begin(), vain.end(), s->awaitedEvents.begin(), s->awaitedEvents.end());
    vain = s->awaitedEvents;
    return s->awaitedEvents.empty() || again;
}

bool DeviceSync::knownUnusable(int calendarId, const std::string& xid, DateTime listedChange) const {
    const auto it = unusable_.find({calendarId, xid});
    return it != unusable_.end() && compareDates(it->second, listedChange) == DateOrder::Same;
}

void DeviceSync::sendNext(const Session& s, int calendarId) {
    for (;;) {
        // Once a session: an Add that the device answers with no link must not come
        // round again and again.
        if (s->queue.empty() && !s->addsQueued && calendarId == s->calendarId) {
            if (queueAddsNow(s)) {
                queueAdds(s);
            } else {
                // Not everything the device holds has been seen: what looks new here
                // may be on the device already. It is added at the next exchange.
                s->addsQueued = true;
                host_.note(texts::kNoteAddsPutOff);
            }
        }
        if (s->queue.empty()) {
            host_.commSend(export_.ExportEnd());
            host_.showCommStatus();
            host_.exportEnded();
            s->ended = true;
            return;
        }
        const SyncItem item = std::move(s->queue.front());
        s->queue.pop_front();
        if (item.calendarId != calendarId) {
            host_.note(std::string(texts::kNoteOtherCalendarItem) + ": " + std::string(item.kindText()) + " " +
                       item.localId + " " + item.deviceId);
            continue;
        }
        // Queued while the device's answers were still coming in, an event may have
        // been linked to one of its events since: sent now, the device would hold it twice.
        std::string key = item.localId;
        if (item.kind == SyncItem::Kind::Add && store_.getXDataStatus(key, calendarId, "") != clsDataQVR::kNoLink) {
            host_.note(std::string(texts::kNoteLinkedSinceQueued) + ": " + item.localId);
            continue;
        }
        const clsCalEvent ev = eventToSend(item, *s);
        std::string block;
        export_.Export(ev, block);
        if (!trim(ev.Description()).empty()) host_.showCommText(sendingText(ev.Description()));
        host_.commSend(block);
        return;
    }
}

clsCalEvent DeviceSync::eventToSend(const SyncItem& item, SyncSession& s) {
    clsCalEvent ev;
    ev.setXCalendarId(item.calendarId);
    ev.setXID(item.deviceId);
    switch (item.kind) {
        case SyncItem::Kind::RequestToDevice:
        case SyncItem::Kind::RequestFromDevice:
            ev.setUpdateRequest(item.kind == SyncItem::Kind::RequestToDevice ? clsCalEvent::kRequestToDevice
                                                                              : clsCalEvent::kRequestFromDevice);
            if (item.localId.empty()) s.awaitedEvents.insert(item.deviceId);
            s.lastRequested = item.deviceId;
            return ev;
        case SyncItem::Kind::DeleteAll: break;
        case SyncItem::Kind::Update:
        case SyncItem::Kind::Add: {
            clsCalEvent stored;
            if (!store_.Find(stored, clsDataQVR::kLocalCalendarId, item.localId)) break;
            stored.setXCalendarId(item.calendarId);
            stored.setXID(item.deviceId);
            store_.addSyncRecord(item.calendarId, stored, false);
            s.sentEvents[item.localId] = item.deviceId;
            if (!item.deviceId.empty()) s.sentDeviceIds.insert(item.deviceId);
            return stored;
        }
    }
    // A deletion, also of a queued event that is no longer stored.
    ev.setUpdateRequest(clsCalEvent::kRequestDeleteEvent);
    ev.setWendraWinId(item.localId);
    if (!item.deviceId.empty()) s.sentDeviceIds.insert(item.deviceId);
    return ev;
}

}  // namespace wendra
