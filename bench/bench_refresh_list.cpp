// The full rebuild of the reminder list (refreshList) over a store of 10,000
// events of mixed rules: the query, the walk of every due event in its own
// window, the rows with their texts and colours, the folding, the sort and the
// merge. Two stores: one as a reminder program's store looks (mostly one-off
// and yearly events, fewer monthly and weekly, a few daily), and one where
// every event repeats and is due (the expansion benchmark's mix), the worst a
// list of 10,000 events can be. One iteration is one rebuild.

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

#include "bench/EventMix.h"
#include "list/EventList.h"
#include "mainwindow/UiListGrid.h"
#include "platform/clock/FakeClock.h"
#include "platform/db/Schema.h"
#include "platform/settings/MemorySettingsStore.h"
#include "platform/ui/Grid.h"
#include "platform/ui/TestDoubles.h"
#include "store/clsDataQVR.h"
#include "store/clsSettings.h"

namespace wendra {
namespace {

namespace fs = std::filesystem;

constexpr int kEvents = 10000;
const DateTime kToday = DateTime::ymd(2026, 3, 11);

using bench::Mix;

class Store {
public:
    explicit Store(Mix mix) {
        std::string pattern = (fs::temp_directory_path() / "wendra-bench-list-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) return;
        folder_ = pattern;
        db::createDatabaseFile(folder_ / db::kDatabaseFileName);
        settings_ = std::make_unique<clsSettings>(settingsStore_, folder_.string() + "/");
        store_ = std::make_unique<clsDataQVR>(*settings_, StoreOptions::mainProgram(folder_.string()));
        store_->OpenData();
        store_->connection().execute("PRAGMA synchronous=OFF");
        fill(mix);
    }
    ~Store() {
        store_.reset();
        std::error_code ec;
        if (!folder_.empty()) fs::remove_all(folder_, ec);
    }
    Store(const Store&) = delete;
    Store& operator=(const Store&) = delete;

    bool ok() const { return store_ && store_->isOpen() && stored_ == kEvents; }
    clsSettings& settings() { return *settings_; }
    clsDataQVR& store() { return *store_; }

private:
    void fill(Mix mix) { stored_ = bench::fillStore(*store_, mix, kToday, kEvents); }

    fs::path folder_;
    settings::MemorySettingsStore settingsStore_;
    std::unique_ptr<clsSettings> settings_;
    std::unique_ptr<clsDataQVR> store_;
    int stored_ = 0;
};

void refresh(benchmark::State& state, Mix mix) {
    FakeClock clock(kToday.addHours(10));
    ClockOverride use(clock);
    static Store typical(Mix::Typical);
    static Store repeating(Mix::AllRepeating);
    Store& s = mix == Mix::Typical ? typical : repeating;
    if (!s.ok()) {
        state.SkipWithError("the store could not be filled");
        return;
    }
    ui::Grid grid("msGrid");
    grid.setWidth(6000);
    ui::FixedTextMetrics metrics;
    UiListGrid listGrid(grid, metrics);
    ListHost host;
    EventList list(listGrid, s.settings(), s.store(), host);
    for (auto _ : state) {
        list.refreshList();
        benchmark::DoNotOptimize(grid.rows());
    }
    state.counters["rows"] = grid.rows();
    state.counters["folded"] = list.pastCount();
}

void BM_RefreshListTypicalStore(benchmark::State& state) { refresh(state, Mix::Typical); }
void BM_RefreshListAllRepeatingDue(benchmark::State& state) { refresh(state, Mix::AllRepeating); }

BENCHMARK(BM_RefreshListTypicalStore)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RefreshListAllRepeatingDue)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace wendra
