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

#include "mainwindow/EventList.h"
#include "platform/clock/Clock.h"
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

// A small fixed generator, so every run times the same store.
class Lcg {
public:
    std::uint32_t next() {
        state_ = state_ * 1664525u + 1013904223u;
        return state_ >> 8;
    }
    int below(int n) { return static_cast<int>(next() % static_cast<std::uint32_t>(n)); }

private:
    std::uint32_t state_ = 12345u;
};

enum class Mix { Typical, AllRepeating };

void fillRule(clsCalRRule& r, Lcg& g, DateTime start, int kind) {
    static const char* kDays[] = {"MO", "TU", "WE", "TH", "FR", "SA", "SU"};
    switch (kind) {
        case 0: r.setFrequency(clsCalRRule::kDaily); break;
        case 1: r.setFrequency(clsCalRRule::kDaily); r.setInterval(2 + g.below(5)); break;
        case 2: r.setFrequency(clsCalRRule::kWeekly); break;
        case 3:
            r.setFrequency(clsCalRRule::kWeekly);
            r.setInterval(2);
            r.setByDay(std::string(kDays[g.below(7)]) + "," + kDays[g.below(7)]);
            break;
        case 4: r.setFrequency(clsCalRRule::kWeekly); r.setByDay("MO,TU,WE,TH,FR"); break;
        case 5: r.setFrequency(clsCalRRule::kMonthly); break;
        case 6:
            r.setFrequency(clsCalRRule::kMonthly);
            r.setByMonthDay("28,29,30,31");
            r.setBySetPos("-1");
            break;
        case 7: r.setFrequency(clsCalRRule::kMonthly); r.setByDay(std::to_string(1 + g.below(4)) + kDays[g.below(7)]); break;
        case 8: r.setFrequency(clsCalRRule::kMonthly); r.setByDay("-1FR"); r.setInterval(1 + g.below(3)); break;
        case 9: r.setFrequency(clsCalRRule::kYearly); break;
        case 10: r.setFrequency(clsCalRRule::kYearly); r.setByMonth("11"); r.setByDay("4TH"); break;
        default: r.setFrequency(clsCalRRule::kYearly); r.setByWeekNo("1,20,40"); r.setByDay("MO"); break;
    }
    switch (g.below(4)) {
        case 0: r.setDurationCount(5 + g.below(200)); break;
        case 1: r.setDurationUntil(start.addDays(100 + g.below(900)).date(), true); break;
        default: break;  // no end
    }
}

// The rule kind of a typical store: none (a one-off event) for two in five,
// yearly for a quarter, then monthly, weekly and, rarely, daily.
int typicalKind(Lcg& g) {
    const int p = g.below(100);
    if (p < 40) return -1;
    if (p < 65) return 9 + g.below(3);
    if (p < 80) return 5 + g.below(4);
    if (p < 92) return 2 + g.below(3);
    return g.below(2);
}

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
    void fill(Mix mix) {
        Lcg g;
        for (int i = 0; i < kEvents; ++i) {
            clsCalEvent ev;
            ev.setDescription("Event " + std::to_string(i));
            const bool allDay = g.below(2) == 0;
            const int kind = mix == Mix::Typical ? typicalKind(g) : g.below(12);
            // One-off events spread over the past months and the coming two years;
            // repeating ones started up to two years ago.
            DateTime start = kind < 0 ? kToday.addDays(g.below(760) - 60) : kToday.addDays(-g.below(730));
            if (!allDay) start = start.addSeconds(3600 * (7 + g.below(12)) + 900 * g.below(4));
            ev.setEventStart(start);
            ev.setAllDayEvent(allDay);
            // Listed from the day it was entered, or from its start; repeating events
            // of the typical store had their past occurrences hidden a few days ago.
            ev.setViewFromDate(mix == Mix::AllRepeating ? kToday : kind < 0 ? start : kToday.addDays(-g.below(14)));
            if (kind >= 0) {
                ev.setIsRecurring(true);
                fillRule(ev.addRRule(), g, start, kind);
                if (mix == Mix::AllRepeating && g.below(5) == 0) fillRule(ev.addRRule(), g, start, g.below(12));
            }
            if (g.below(4) == 0) ev.setExDates(formatICalDateTime(kToday.addDays(g.below(30)), false));
            ev.setLastModified(kToday);
            if (store_->Save(ev, clsDataQVR::kSaveAlways)) ++stored_;
        }
    }

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
