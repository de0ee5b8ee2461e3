#pragma once

// The synchronisation with the device over a real store in a temporary folder,
// without a window: a host that saves as the main window does and records every
// text sent, every panel text, banner and beep; the calendar reader in front of
// it; a fixed "now" (10:00 on 11 March 2026); and helpers to make local events,
// device copies and links, and to read the queue back.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <utility>
#include <string>
#include <vector>

#include "exchange/DeviceSync.h"
#include "exchange/MessageImport.h"
#include "platform/clock/Clock.h"
#include "platform/clock/FakeClock.h"
#include "platform/db/Connection.h"
#include "platform/db/Schema.h"
#include "platform/settings/MemorySettingsStore.h"
#include "store/clsDataQVR.h"
#include "store/clsSettings.h"
#include "tests/support/TempFolder.h"

namespace wendra::test {

// The main window as the exchange and the store see it.
class RecordingSyncHost final : public SyncHost, public StoreHost {
public:
    void showCommStatus() override { panel = "port"; }
    void showCommText(const std::string& text) override { panel = text; }
    void showSyncInProgress() override {}
    void showError(const std::string& text) override { banners.push_back(text); }
    void beep() override { ++beeps; }
    // As the window saves: always, whatever mode is asked for.
    SaveResult doSave(clsCalEvent& ev, SaveMode, bool) override {
        if (duringSave) std::exchange(duringSave, {})();
        ++saves;
        return store != nullptr && !failSaves && store->Save(ev, SaveMode::Always) ? SaveResult::Saved
                                                                                  : SaveResult::StoreFailed;
    }
    void ListShowDeleted(const std::string& id) override { shownDeleted.push_back(id); }
    void updateList(const std::string& id) override { listed.push_back(id); }
    bool commSend(std::string_view text) override {
        sent.emplace_back(text);
        return true;
    }
    void exportEnded() override { ++exportEnds; }
    void note(const std::string& text) override { notes.push_back(text); }

    clsDataQVR* store = nullptr;
    bool failSaves = false;
    // Runs once, inside the next save, before it: what arrives in the middle of one.
    std::function<void()> duringSave;
    std::string panel;
    std::vector<std::string> banners, sent, listed, shownDeleted, notes;
    int beeps = 0, saves = 0, exportEnds = 0;
};

class SyncRig {
public:
    static DateTime at(int y, int mo, int d, int h = 0, int mi = 0) { return DateTime::ymd(y, mo, d, h, mi, 0); }
    static DateTime fixedNow() { return at(2026, 3, 11, 10, 0); }

    SyncRig() {
        EXPECT_TRUE(db::createDatabaseFile(dir / db::kDatabaseFileName));
        EXPECT_TRUE(store.OpenData()) << store.lastError();
        host.store = &store;
        // What the reader passes over is noted, as in the program.
        import.newLog = [this] {
            return std::make_unique<clsNotingImportLog>([this](const std::string& text) { host.note(text); });
        };
    }
    // How many notes hold the text.
    std::size_t notesWith(std::string_view text) const {
        return static_cast<std::size_t>(std::count_if(host.notes.begin(), host.notes.end(),
                                                      [&](const std::string& n) { return n.find(text) != n.npos; }));
    }

    // ---- the store ---------------------------------------------------------------
    // A one-off event saved in the store; its key.
    std::string addLocal(const std::string& description, DateTime start, DateTime lastModified, bool allDay = false) {
        clsCalEvent ev = event(description, start, lastModified, allDay);
        EXPECT_TRUE(store.Save(ev, SaveMode::Always)) << store.lastError();
        return ev.WendraWinId();
    }
    static clsCalEvent event(const std::string& description, DateTime start, DateTime lastModified,
                             bool allDay = false) {
        clsCalEvent ev;
        ev.setDescription(description);
        ev.setEventStart(start);
        ev.setAllDayEvent(allDay);
        ev.setLastModified(lastModified);
        return ev;
    }
    static void makeWeekly(clsCalEvent& ev) {
        clsCalRRule& r = ev.addRRule();
        r.setIsValid(true);
        r.setFrequency(clsCalRRule::kWeekly);
        ev.setIsRecurring(true);
    }
    clsCalEvent local(const std::string& key) {
        clsCalEvent ev;
        EXPECT_TRUE(store.Find(ev, clsDataQVR::kLocalCalendarId, key)) << "no event " << key;
        return ev;
    }
    void link(const std::string& key, const std::string& xid) {
        clsCalEvent ev = local(key);
        ev.setXCalendarId(calendarId);
        ev.setXID(xid);
        EXPECT_TRUE(store.UpdateAddXData(ev, clsDataQVR::kLinkLive));
    }
    // Whole-number answers of a statement on the file itself.
    std::int64_t count(const std::string& sql) {
        db::Connection raw;
        EXPECT_TRUE(raw.openFile(dir / db::kDatabaseFileName));
        auto rs = raw.execute(sql);
        EXPECT_TRUE(rs.has_value()) << sql << ": " << raw.lastError();
        if (!rs || rs->eof()) return -1;
        const db::Value v = rs->value("n");
        const auto* n = std::get_if<std::int64_t>(&v);
        return n ? *n : -1;
    }
    std::int64_t eventCount() { return count("SELECT count(*) AS n FROM Events"); }

    // ---- the device --------------------------------------------------------------
    // The device's copy of an event, as the reader hands it on.
    clsCalEvent deviceCopy(const std::string& xid, const std::string& description, DateTime start,
                           DateTime lastModified, bool allDay = false) const {
        clsCalEvent ev = event(description, start, lastModified, allDay);
        ev.setXID(xid);
        ev.setXCalendarId(calendarId);
        return ev;
    }
    // The device's list: each entry a change time and the device's id without its prefix "P-".
    using Entries = std::vector<std::pair<std::string, std::string>>;
    static std::string listText(const Entries& entries, const std::string& uid = "dev-1") {
        std::string text = "X-KSP-BEGIN:SYNC-DATA\r\nX-KSP-PROGRAM-UID:" + uid + "\r\nX-KSP-UID-PREFIX:P-\r\n";
        for (const auto& [stamp, id] : entries) text += "X-KSP-SYNC:" + stamp + " " + id + "\r\n";
        return text + "X-KSP-END:SYNC-DATA\r\n";
    }
    // The list read: a session opens for its calendar.
    void readList(const Entries& entries, const std::string& uid = "dev-1") {
        import.importSyncData(listText(entries, uid));
        if (sync.session() != nullptr && sync.session()->calendarId > 0) calendarId = sync.session()->calendarId;
    }
    // A session with an empty list and nothing more to do for it but what the test queues.
    void openSession(const std::string& uid = "dev-1") {
        sync.beginSyncList();
        calendarId = sync.RegisterXCalendar(uid);
        sync.markLinksNotFound(calendarId);
    }
    // "Update 5 P-1" for each queued item.
    std::vector<std::string> queued() const {
        std::vector<std::string> out;
        if (sync.session() == nullptr) return out;
        for (const auto& item : sync.session()->queue)
            out.push_back(std::string(item.kindText()) + " " + item.localId + " " + item.deviceId);
        return out;
    }
    // The method and UID of each block sent ("PUBLISH QVRID-3", "EXPORT-END").
    std::vector<std::string> sentBlocks() const {
        std::vector<std::string> out;
        for (const auto& text : host.sent) {
            if (text.starts_with("BEGIN:QVR-EXPORT-END")) {
                out.push_back("EXPORT-END");
                continue;
            }
            const auto value = [&](std::string_view name) {
                const auto at = text.find("\r\n" + std::string(name));
                if (at == std::string::npos) return std::string();
                const auto from = at + 2 + name.size();
                return text.substr(from, text.find("\r\n", from) - from);
            };
            out.push_back(text.starts_with("BEGIN:QVR-SYNC-TIME") ? "SYNC-TIME " + value("X-QVR-SYNC-STATUS:")
                                                                  : value("X-QVR-METHOD:") + " " + value("UID:"));
        }
        return out;
    }

    FakeClock clock{fixedNow()};
    ClockOverride useClock{clock};
    TempFolder dir;
    settings::MemorySettingsStore settingsStore;
    clsSettings settings{settingsStore, dir.path().string()};
    RecordingSyncHost host;
    clsDataQVR store{settings, StoreOptions::mainProgram(dir.path().string(), &host)};
    DeviceSync sync{store, settings, host, "https://www.wendrawin.example"};
    MessageImport import{sync, sync};
    int calendarId = 0;
};

}  // namespace wendra::test
