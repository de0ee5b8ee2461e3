// Expansion of 10,000 events of mixed rules through the event's own walk, as
// the list builds its rows: over a 30-day window (the list's usual reach) and
// over three years. A third case times the next view date the store computes
// on every save. One iteration is the whole set; items are events.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <vector>

#include "bench/EventMix.h"
#include "platform/clock/FakeClock.h"
#include "store/clsCalEvent.h"
#include "store/modFuncs.h"

namespace wendra {
namespace {

constexpr int kEvents = 10000;
const DateTime kToday = DateTime::ymd(2026, 3, 11);

std::vector<clsCalEvent> makeEvents() {
    bench::Lcg g;
    std::vector<clsCalEvent> events;
    events.reserve(kEvents);
    for (int i = 0; i < kEvents; ++i) {
        clsCalEvent ev;
        ev.setDescription("Event " + std::to_string(i));
        const bool allDay = g.below(2) == 0;
        DateTime start = kToday.addDays(-g.below(730));
        if (!allDay) start = start.addSeconds(3600 * (7 + g.below(12)) + 900 * g.below(4));
        ev.setEventStart(start);
        ev.setAllDayEvent(allDay);
        ev.setIsRecurring(true);
        bench::fillRule(ev.addRRule(), g, start, g.below(12));
        if (g.below(5) == 0) bench::fillRule(ev.addRRule(), g, start, g.below(12));
        if (g.below(4) == 0)
            ev.setRDates(formatICalDateTime(kToday.addDays(g.below(60)), false) + "," +
                         formatICalDateTime(kToday.addDays(g.below(400)), false));
        if (g.below(4) == 0) ev.setExDates(formatICalDateTime(kToday.addDays(g.below(30)), false));
        if (g.below(4) == 0) ev.setHiddenList(formatICalDateTime(kToday.addDays(-g.below(30)), false));
        // As stored: counted rules carry their UNTIL, the view date is due.
        ev.CalcRRuleDurations();
        ev.setViewFromDate(kToday);
        events.push_back(std::move(ev));
    }
    return events;
}

void expandWindow(benchmark::State& state, int days) {
    FakeClock clock(kToday.addHours(10));
    ClockOverride use(clock);
    std::vector<clsCalEvent> events = makeEvents();
    std::int64_t occurrences = 0;
    for (auto _ : state) {
        for (auto& ev : events) {
            ev.generateOccurs(kToday, kToday.addDays(days));
            for (ev.firstOccur(); !ev.endOfOccurs(); ev.nextOccur()) ++occurrences;
        }
        benchmark::DoNotOptimize(occurrences);
    }
    state.SetItemsProcessed(state.iterations() * kEvents);
    state.counters["occurrences"] =
        benchmark::Counter(static_cast<double>(occurrences) / static_cast<double>(state.iterations()));
}

void BM_Expand30Days(benchmark::State& state) { expandWindow(state, 30); }
void BM_Expand3Years(benchmark::State& state) { expandWindow(state, 3 * 365); }

void BM_NextViewDate(benchmark::State& state) {
    FakeClock clock(kToday.addHours(10));
    ClockOverride use(clock);
    std::vector<clsCalEvent> events = makeEvents();
    for (auto _ : state) {
        for (auto& ev : events) benchmark::DoNotOptimize(ev.calcNextViewDate());
    }
    state.SetItemsProcessed(state.iterations() * kEvents);
}

BENCHMARK(BM_Expand30Days)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Expand3Years)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NextViewDate)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace wendra
