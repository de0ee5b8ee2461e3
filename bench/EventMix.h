#pragma once

// The stores the benchmarks time: 10,000 events of mixed rules, made the same on
// every run. A typical store looks as a reminder program's store does (mostly
// one-off and yearly events, fewer monthly and weekly, a few daily); in the other
// every event repeats and is due, the worst a list of 10,000 events can be.

#include <cstdint>
#include <filesystem>
#include <string>

#include "platform/clock/DateTime.h"
#include "platform/db/Schema.h"
#include "platform/settings/MemorySettingsStore.h"
#include "store/clsCalEvent.h"
#include "store/clsCalRRule.h"
#include "store/clsDataQVR.h"
#include "store/clsSettings.h"
#include "store/modFuncs.h"
#include "tests/support/TempFolder.h"

namespace wendra::bench {

// A small fixed generator, so every run times the same data.
class Lcg {
public:
    explicit Lcg(std::uint32_t seed = 12345u) : state_(seed) {}
    std::uint32_t next() {
        state_ = state_ * 1664525u + 1013904223u;
        return state_ >> 8;
    }
    int below(int n) { return static_cast<int>(next() % static_cast<std::uint32_t>(n)); }

private:
    std::uint32_t state_;
};

enum class Mix { Typical, AllRepeating };

// A rule of one of twelve kinds (0 to 11) the program meets: its own editor's
// simple rules and month ends, and the fuller rules of imported calendars; a
// third end after a count, a quarter on a date, the rest never.
inline void fillRule(clsCalRRule& r, Lcg& g, DateTime start, int kind) {
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
inline int typicalKind(Lcg& g) {
    const int p = g.below(100);
    if (p < 40) return -1;
    if (p < 65) return 9 + g.below(3);
    if (p < 80) return 5 + g.below(4);
    if (p < 92) return 2 + g.below(3);
    return g.below(2);
}

// Saves `count` events of the mix into the store, dated around `today`; the
// number saved. No one times the filling: the disk need not keep up with it.
inline int fillStore(clsDataQVR& store, Mix mix, DateTime today, int count) {
    store.connection().execute("PRAGMA synchronous=OFF");
    Lcg g;
    int stored = 0;
    for (int i = 0; i < count; ++i) {
        clsCalEvent ev;
        ev.setDescription("Event " + std::to_string(i));
        const bool allDay = g.below(2) == 0;
        const int kind = mix == Mix::Typical ? typicalKind(g) : g.below(12);
        // One-off events spread over the past months and the coming two years;
        // repeating ones started up to two years ago.
        DateTime start = kind < 0 ? today.addDays(g.below(760) - 60) : today.addDays(-g.below(730));
        if (!allDay) start = start.addSeconds(3600 * (7 + g.below(12)) + 900 * g.below(4));
        ev.setEventStart(start);
        ev.setAllDayEvent(allDay);
        // Listed from the day it was entered, or from its start; repeating events
        // of the typical store had their past occurrences hidden a few days ago.
        ev.setViewFromDate(mix == Mix::AllRepeating ? today : kind < 0 ? start : today.addDays(-g.below(14)));
        if (kind >= 0) {
            ev.setIsRecurring(true);
            fillRule(ev.addRRule(), g, start, kind);
            if (mix == Mix::AllRepeating && g.below(5) == 0) fillRule(ev.addRRule(), g, start, g.below(12));
        }
        if (g.below(4) == 0) ev.setExDates(formatICalDateTime(today.addDays(g.below(30)), false));
        ev.setLastModified(today);
        if (store.Save(ev, SaveMode::Always)) ++stored;
    }
    return stored;
}

// A new empty store in the folder, opened as the main program opens it, over
// settings in memory that name the folder as the data folder.
struct NewStore {
    explicit NewStore(const std::filesystem::path& folder)
        : settings(settingsStore, folder.string() + "/"), store(settings, StoreOptions::mainProgram(folder.string())) {
        settingsStore.saveSetting(clsSettings::AppName, "Main", "DataDir", folder.string() + "/");
        if (!db::createDatabaseFile(folder / db::kDatabaseFileName, &error))
            error = "cannot make the store: " + error;
        else if (!store.OpenData())
            error = "cannot open the store: " + store.lastError();
    }
    settings::MemorySettingsStore settingsStore;
    clsSettings settings;
    clsDataQVR store;
    std::string error;  // why it is not open; empty when it is
};

// The benchmarks' stores: 10,000 events of the mix dated around 11 March 2026, in
// a temporary folder of their own; made at the first use, removed at the end.
inline const DateTime kToday = DateTime::ymd(2026, 3, 11);
constexpr int kEvents = 10000;

struct FilledStore {
    explicit FilledStore(Mix mix) : filled(made.error.empty() && fillStore(made.store, mix, kToday, kEvents) == kEvents) {}
    test::TempFolder folder;
    NewStore made{folder.path()};
    bool filled;
};

// The benchmark's store; null, with the benchmark skipped, when it could not be filled.
template <typename BenchmarkState>
NewStore* filledStore(BenchmarkState& state, Mix mix) {
    static FilledStore typical(Mix::Typical);
    static FilledStore repeating(Mix::AllRepeating);
    FilledStore& s = mix == Mix::Typical ? typical : repeating;
    if (!s.filled) state.SkipWithError("the store could not be filled");
    return s.filled ? &s.made : nullptr;
}

}  // namespace wendra::bench
