#include "exchange/OutlookSync.h"

#include <algorithm>
#include <exception>

#include "exchange/OutlookRecurrence.h"
#include "exchange/SyncMerge.h"
#include "store/modFuncs.h"

namespace wendra {

namespace {

constexpr const char* kOutlookPicture = "imgOutlook";

bool isBlank(const std::string& text) { return trim(text).empty(); }

}  // namespace

OutlookSync::OutlookSync(clsDataQVR& store, clsSettings& settings, OutlookBinding& outlook, ProgramState& state,
                         OutlookSyncHost& host)
    : store_(store), settings_(settings), outlook_(outlook), state_(state), host_(host) {}

void OutlookSync::changed() { settings_.incrementUpdateVersion(); }

// ---- the connection --------------------------------------------------------------

bool OutlookSync::connectOutlook() {
    bool opened = false;
    try {
        opened = outlook_.OpenData();
    } catch (const std::exception&) {
        opened = false;  // a binding that throws has not connected either
    }
    if (!opened) {
        // The mode display goes on saying it connects (the minute timer tries
        // again); why it could not is shown beside it.
        host_.showConnectionFailure(outlook_.connectionError());
        host_.showModeFromSettings();
        return false;
    }
    state_.gOutlookConnected = true;
    host_.showConnectionFailure(std::nullopt);
    host_.showOutlookStatus(kOutlookPicture);
    const bool linked = store_.hasXData(outlook_.CalendarId());
    host_.setRefreshPending(!linked);
    if (!linked) host_.setOutlookFirstPass(true);
    state_.gPendingOutlookItems.clear();
    host_.setCheckingForUpdates(true);
    host_.showModeFromSettings();
    return true;
}

void OutlookSync::queuePendingOutlookItem(const std::string& key, const std::string& item) {
    auto& items = state_.gPendingOutlookItems;
    if (std::any_of(items.begin(), items.end(), [&](const auto& entry) { return entry.first == key; })) return;
    items.emplace_back(key, item);
}

// ---- one event --------------------------------------------------------------------

bool OutlookSync::otherDuplicate(const clsCalEvent& ev, clsCalEvent& dup) {
    // A stored event is asked about the others: among every stored event of that
    // start and description it would be one of two, and never a duplicate.
    return store_.isDuplicate(ev, dup, clsDataQVR::toEventKey(ev.WendraWinId())) &&
           dup.WendraWinId() != ev.WendraWinId();
}

void OutlookSync::syncOutlook(const std::string& nQVRId, int nXCalendarId, const std::string& sEntryId,
                              int nSyncCalendarId) {
    if (!state_.gOutlookConnected) return;
    const int outlookCalendar = outlook_.CalendarId();
    if (outlookCalendar <= 0) return;  // without its id no link can be read or written

    // 1. The store copy: by its own key, else by the appointment it is linked to.
    clsCalEvent storeCopy;
    bool storeFound = false;
    if (!isBlank(nQVRId)) storeFound = store_.Find(storeCopy, store_.CalendarId(), nQVRId);
    if (!storeFound && !isBlank(sEntryId)) storeFound = store_.Find(storeCopy, nXCalendarId, sEntryId);
    // A store that could not be asked leaves nothing certain either.
    if (!storeFound && !store_.lastError().empty()) return;

    // 2. The Outlook copy: the appointment linked to the store copy, else the one
    // the entry id names. Only a search that found nothing may count as "gone".
    clsCalEvent outlookCopy;
    FindResult found = FindResult::absent;
    if (storeFound) found = outlook_.findItem(outlookCopy, store_.CalendarId(), storeCopy.GridKey(), "");
    if (found == FindResult::absent && !isBlank(sEntryId))
        found = outlook_.findItem(outlookCopy, outlookCalendar, "", sEntryId);
    if (found == FindResult::failed) return;
    const bool outlookFound = found == FindResult::found;
    // The appointment holds no auto-delete code: the store's stays the event's.
    if (outlookFound && storeFound) outlookCopy.setAutoDelete(storeCopy.AutoDelete());

    // 3. Duplicates: an equal event that is not the copy itself.
    clsCalEvent dup;
    if (storeFound && !outlookFound && otherDuplicate(storeCopy, dup)) {
        // Only a link of that event to this calendar can be taken over.
        const auto key = clsDataQVR::toEventKey(dup.WendraWinId());
        const std::string xid = key ? store_.getXID(outlookCalendar, *key) : std::string();
        if (!xid.empty()) {
            storeCopy.setXID(xid);
            storeCopy.setXCalendarId(outlookCalendar);
            store_.UpdateAddXData(storeCopy, clsDataQVR::kLinkLive);
        }
    } else if (outlookFound && !storeFound && otherDuplicate(outlookCopy, dup)) {
        dup.setXID(outlookCopy.XID());
        dup.setXCalendarId(outlookCopy.XCalendarId());
        if (store_.UpdateAddXData(dup, clsDataQVR::kLinkLive)) {
            storeCopy = dup;
            storeFound = true;
            outlookCopy.setAutoDelete(storeCopy.AutoDelete());
        }
    }

    // 4. The link of the store key to this calendar (by entry id when there is no key).
    std::string storeId = storeFound ? storeCopy.WendraWinId() : trim(nQVRId);
    const int status =
        store_.getXDataStatus(storeId, outlookCalendar, outlookFound ? outlookCopy.XID() : trim(sEntryId));

    if (storeFound && outlookFound) return bothFound(storeCopy, outlookCopy);
    if (outlookFound) return outlookOnly(outlookCopy, storeId, status, nSyncCalendarId);
    if (storeFound) return storeOnly(storeCopy, status);
}

void OutlookSync::bothFound(clsCalEvent& storeCopy, clsCalEvent& outlookCopy) {
    outlookCopy.setWendraWinId(storeCopy.WendraWinId());
    // A repeat the program does not know (another program's rule in the file)
    // never replaces the store's: the event keeps its own rule and dates, and
    // takes the rest from the appointment.
    if (repeatsUnknown(outlookCopy)) keepRules(storeCopy, outlookCopy);
    const DateOrder order = compareDates(storeCopy.LastModified(), outlookCopy.LastModified());
    if (order == DateOrder::Same) return;
    if (store_.getEventDetail(storeCopy) == store_.getEventDetail(outlookCopy)) {
        // Changed on both sides to the same values: only the marks move.
        outlook_.updateCompareDates(outlookCopy, storeCopy.LastModified());
        return;
    }
    if (order == DateOrder::Later) {
        outlook_.Save(storeCopy, outlookCopy.XID());
        return;
    }
    const bool differs = rruleChanged(outlookCopy, storeCopy);
    if (!store_.Save(outlookCopy, SaveMode::IfNewer)) return;
    changed();
    if (differs) host_.updateList(outlookCopy.WendraWinId());
}

void OutlookSync::keepRules(const clsCalEvent& from, clsCalEvent& to) {
    while (to.RRulesCount() > 0) to.deleteRRule(1);
    for (const clsCalRRule& rule : from.RRules()) to.addRRule() = rule;
    to.setIsRecurring(from.IsRecurring());
    to.setExDates(from.ExDates());
    to.setRDates(from.RDates());
}

void OutlookSync::outlookOnly(clsCalEvent& outlookCopy, const std::string& storeId, int status, int syncCalendarId) {
    if (status == clsDataQVR::kLinkLive || status == clsDataQVR::kLinkDeleted) {
        // Deleted on the PC: the appointment is to be hidden, which nothing applies yet.
        if (syncCalendarId == store_.CalendarId()) {
            queuePendingOutlookItem(outlookCopy.XID(), tagText(Tag::Req) + std::string(kHideAll) + tagText(Tag::End) +
                                                           tagText(Tag::Id) + storeId + tagText(Tag::End) +
                                                           outlookCopy.GridKey());
        }
        return;
    }
    if (status != clsDataQVR::kNoLink) return;
    // New in Outlook: a new event of the store.
    outlookCopy.setWendraWinId("");
    if (!store_.Save(outlookCopy, SaveMode::Always)) return;
    changed();
    const std::string id = outlookCopy.WendraWinId();
    host_.updateList(id);
    if (!host_.outlookFirstPass() || compareDates(outlookCopy.ViewFromDate(), today()) != DateOrder::Earlier) return;
    // Found on the first pass over a calendar with a past already: hidden at once.
    outlookCopy.setUpdateRequest(clsCalEvent::kRequestHideEvent);
    if (!store_.DeleteEvent(outlookCopy)) return;
    changed();
    // The rows were written before the event went.
    host_.ListShowDeleted(id);
}

void OutlookSync::storeOnly(clsCalEvent& storeCopy, int status) {
    if (status == clsDataQVR::kLinkLive || status == clsDataQVR::kLinkDeleted) {
        // The calendar said the appointment is not there, or the event is a
        // duplicate that took over the other event's link: either way it goes,
        // and an appointment it shares with that event stays the other's.
        if (!store_.DeleteEvent(storeCopy)) return;
        changed();
        host_.ListShowDeleted(storeCopy.WendraWinId());
    } else if (status == clsDataQVR::kNoLink) {
        if (outlook_.AddEvent(storeCopy)) host_.updateList(storeCopy.WendraWinId());
    }
}

}  // namespace wendra
