// createHTML of the gadget library over a store of 10,000 events of mixed rules
// (bench/EventMix.h): a store and settings opened for the call, the walk of every
// due event with the main window's rules, the rows of the page picked in the
// order of the grid's sort, and the fragment of one page of ten rows. Goal: no
// more than refreshList over the same store (bench_refresh_list), and under
// 100 ms a call. One iteration is one call, as the page makes it after each change.

#include <benchmark/benchmark.h>

#include <string>

#include "bench/EventMix.h"
#include "gadget/GadgetPlatform.h"
#include "gadget/clsHTML.h"
#include "platform/clock/FakeClock.h"
#include "platform/ui/TestDoubles.h"

namespace wendra {
namespace {

using bench::Mix;

// Never asked: the benchmark starts no program.
class NoWait final : public gadget::ChildWait {
public:
    void waitFor(process::RunningProcess&, std::chrono::milliseconds, const std::function<void()>&) override {}
};

void createHTML(benchmark::State& state, Mix mix, bool expand) {
    FakeClock clock(bench::kToday.addHours(10));
    ClockOverride use(clock);
    bench::NewStore* s = bench::filledStore(state, mix);
    if (s == nullptr) return;
    ui::TestServices ui;
    process::SystemLauncher launcher;
    NoWait wait;
    gadget::GadgetPlatform platform{s->settingsStore, "/opt/wendra/", {1, 0, 0}, launcher, wait, ui.services()};
    clsHTML html(platform);
    std::size_t bytes = 0;
    for (auto _ : state) {
        const std::string fragment = html.createHTML(30, 10, expand, 0);
        bytes = fragment.size();
        benchmark::DoNotOptimize(fragment.data());
    }
    state.counters["bytes"] = static_cast<double>(bytes);
}

void BM_CreateHTMLTypicalStore(benchmark::State& state) { createHTML(state, Mix::Typical, false); }
void BM_CreateHTMLTypicalStoreExpanded(benchmark::State& state) { createHTML(state, Mix::Typical, true); }
void BM_CreateHTMLAllRepeatingDue(benchmark::State& state) { createHTML(state, Mix::AllRepeating, false); }

BENCHMARK(BM_CreateHTMLTypicalStore)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CreateHTMLTypicalStoreExpanded)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CreateHTMLAllRepeatingDue)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace wendra
