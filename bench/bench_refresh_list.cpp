// The full rebuild of the reminder list (refreshList) over a store of 10,000
// events of mixed rules: the query, the walk of every due event in its own
// window, the rows with their texts and colours, the folding, the sort and the
// merge. Two stores: one as a reminder program's store looks (mostly one-off
// and yearly events, fewer monthly and weekly, a few daily), and one where
// every event repeats and is due (the expansion benchmark's mix), the worst a
// list of 10,000 events can be. One iteration is one rebuild.

#include <benchmark/benchmark.h>

#include "bench/EventMix.h"
#include "list/EventList.h"
#include "mainwindow/UiListGrid.h"
#include "platform/clock/FakeClock.h"
#include "platform/ui/Grid.h"
#include "platform/ui/TestDoubles.h"

namespace wendra {
namespace {

using bench::Mix;

void refresh(benchmark::State& state, Mix mix) {
    FakeClock clock(bench::kToday.addHours(10));
    ClockOverride use(clock);
    bench::NewStore* s = bench::filledStore(state, mix);
    if (s == nullptr) return;
    ui::Grid grid("msGrid");
    grid.setWidth(6000);
    ui::FixedTextMetrics metrics;
    UiListGrid listGrid(grid, metrics);
    ListHost host;
    EventList list(listGrid, s->settings, s->store, host);
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
