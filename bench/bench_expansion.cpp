// Expansion of 10,000 events of mixed rules through the event's own walk, as
// the list builds its rows: over a 30-day window (the list's usual reach) and
// over three years. A third case times the next view date the store computes
// on every save. One iteration is the whole set; items are events.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/clock/FakeClock.h"
#include "store/clsCalEvent.h"
#include "store/modFuncs.h"

namespace wendra {
namespace {

constexpr int kEvents = 10000;
const DateTime kToday = DateTime::ymd(2026, 3, 11);

// A small fixed generator, so every run times the same events.
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

// The kinds of rule the program meets: its own editor's simple rules and
// month ends, and the fuller rules of imported calendars.
void fillRule(clsCalRRule& r, Lcg& g, DateTime start) {
    static const char* kDays[] = {"MO", "TU", "WE", "TH", "FR", "SA", "SU"};
    switch (g.below(12)) {
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

std::vector<clsCalEvent> makeEvents() {
    Lcg g;
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
        fillRule(ev.addRRule(), g, start);
        if (g.below(5) == 0) fillRule(ev.addRRule(), g, start);
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
