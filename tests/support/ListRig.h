#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "list/EventList.h"
#include "mainwindow/UiListGrid.h"
#include "platform/clock/FakeClock.h"
#include "platform/db/Schema.h"
#include "platform/settings/MemorySettingsStore.h"
#include "platform/ui/Grid.h"
#include "platform/ui/TestDoubles.h"
#include "store/clsDataQVR.h"
#include "store/clsSettings.h"
#include "tests/support/Events.h"
#include "tests/support/TempFolder.h"

namespace wendra::test {

// What the list asks of its window, noted in order: "busy" and "idle" around a
// piece of work, the window's steps by name, each status text shown.
class RecordingListHost final : public ListHost {
public:
    void saveWindowSettings() override { calls.push_back("saveWindowSettings"); }
    void gridInitialised() override { calls.push_back("gridInitialised"); }
    void layoutForm() override { calls.push_back("layoutForm"); }
    void collectTimedRows() override { calls.push_back("collectTimedRows"); }
    void gridRowChanged() override { calls.push_back("gridRowChanged"); }
    void gridLeaveCell() override {
        calls.push_back("gridLeaveCell");
        if (onLeaveCell) std::exchange(onLeaveCell, nullptr)();
    }
    std::string statusText() const override { return status; }
    void setStatusText(const std::string& text) override {
        status = text;
        statuses.push_back(text);
    }
    void setBusy(bool on) override { calls.push_back(on ? "busy" : "idle"); }
    bool refreshPending() const override { return pending; }

    std::string status = "Mode: Wendra (win)";
    std::vector<std::string> statuses;
    std::vector<std::string> calls;
    std::function<void()> onLeaveCell;  // runs once, in the middle of an update
    bool pending = false;
};

// A real store file with its settings (in memory, or watched), the clock standing at `now`.
template <typename SettingsStore>
struct BasicListStore {
    explicit BasicListStore(DateTime now) : clock(now) {
        std::string error;
        EXPECT_TRUE(db::createDatabaseFile(folder.path() / db::kDatabaseFileName, &error)) << error;
        EXPECT_TRUE(store.OpenData()) << store.lastError();
    }

    // Saved as the editor saves: the store works out the view date; `ev` takes its key.
    std::string save(clsCalEvent& ev) {
        ev.setLastModified(clock.now());
        EXPECT_TRUE(store.Save(ev, SaveMode::Always)) << store.lastError();
        return ev.WendraWinId();
    }
    std::string save(clsCalEvent&& ev) { return save(ev); }
    clsCalEvent stored(const std::string& id) {
        clsCalEvent ev;
        EXPECT_TRUE(store.Find(ev, *clsDataQVR::toEventKey(id)));
        return ev;
    }
    // A rebuild of the same store with the view of `like`, on a grid of its own;
    // its folded count.
    int rebuildInto(ui::Grid& fresh, const EventList& like) {
        UiListGrid freshGrid{fresh, metrics};
        ListHost quiet;
        EventList rebuilt{freshGrid, settings, store, quiet};
        rebuilt.setShrinkPast(like.shrinkPast());
        rebuilt.setViewAll(like.viewAll());
        rebuilt.setViewAllByDescription(like.viewAllByDescription());
        rebuilt.refreshList();
        return rebuilt.pastCount();
    }

    FakeClock clock;

private:
    ClockOverride useClock_{clock};

public:
    TempFolder folder;
    SettingsStore settingsStore;
    clsSettings settings{settingsStore, folder.path().string() + "/"};
    clsDataQVR store{settings, StoreOptions::mainProgram(folder.path().string())};
    ui::FixedTextMetrics metrics{100};
};
struct ListStore : BasicListStore<settings::MemorySettingsStore> {
    using BasicListStore::BasicListStore;
};

// The list over that store, shown through the main window's grid (6000 twips wide).
struct ListRig : ListStore {
    explicit ListRig(DateTime now) : ListStore(now) { grid.setWidth(6000); }

    std::vector<int> rowsOf(std::string_view desc) const {
        std::vector<int> out;
        for (int r = grid.fixedRows(); r < grid.rows(); ++r)
            if (gridKeyValue(grid.textMatrix(r, grdKey), Tag::Desc) == desc) out.push_back(r);
        return out;
    }
    int rowOf(std::string_view desc) const {
        const std::vector<int> rows = rowsOf(desc);
        return rows.empty() ? -1 : rows.front();
    }
    std::string cell(int r, int c) const { return grid.textMatrix(r, c); }

    ui::Grid grid{"msGrid"};
    UiListGrid listGrid{grid, metrics};
    RecordingListHost host;
    EventList list{listGrid, settings, store, host};
};

}  // namespace wendra::test
