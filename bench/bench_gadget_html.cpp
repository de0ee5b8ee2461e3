// createHTML of the gadget library over a store of 10,000 events of mixed rules
// (bench/EventMix.h): a store and settings opened for the call, the list built
// with the main window's rules into the in-memory grid, the grid's sort, and the
// fragment of one page of ten rows. Goal: under 250 ms a call. One iteration is
// one call, as the page makes it after each change.

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <memory>
#include <string>

#include "bench/EventMix.h"
#include "gadget/GadgetPlatform.h"
#include "gadget/clsHTML.h"
#include "platform/clock/FakeClock.h"
#include "platform/db/Schema.h"
#include "platform/settings/MemorySettingsStore.h"
#include "platform/ui/TestDoubles.h"
#include "store/clsDataQVR.h"
#include "store/clsSettings.h"

namespace wendra {
namespace {

namespace fs = std::filesystem;

constexpr int kEvents = 10000;
const DateTime kToday = DateTime::ymd(2026, 3, 11);

using bench::Mix;

// Never asked: the benchmark starts no program.
class NoWait final : public gadget::ChildWait {
public:
    void waitFor(process::RunningProcess&, std::chrono::milliseconds, const std::function<void()>&) override {}
};

class GadgetStore {
public:
    explicit GadgetStore(Mix mix) {
        std::string pattern = (fs::temp_directory_path() / "wendra-bench-gadget-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) return;
        folder_ = pattern;
        db::createDatabaseFile(folder_ / db::kDatabaseFileName);
        settingsStore_.saveSetting(clsSettings::AppName, "Main", "DataDir", folder_.string() + "/");
        clsSettings settings(settingsStore_, folder_.string() + "/");
        clsDataQVR store(settings, StoreOptions::mainProgram(folder_.string()));
        if (!store.OpenData()) return;
        store.connection().execute("PRAGMA synchronous=OFF");
        stored_ = bench::fillStore(store, mix, kToday, kEvents);
    }
    ~GadgetStore() {
        std::error_code ec;
        if (!folder_.empty()) fs::remove_all(folder_, ec);
    }
    GadgetStore(const GadgetStore&) = delete;
    GadgetStore& operator=(const GadgetStore&) = delete;

    bool ok() const { return stored_ == kEvents; }
    settings::SettingsStore& settings() { return settingsStore_; }

private:
    fs::path folder_;
    settings::MemorySettingsStore settingsStore_;
    int stored_ = 0;
};

void createHTML(benchmark::State& state, Mix mix, bool expand) {
    FakeClock clock(kToday.addHours(10));
    ClockOverride use(clock);
    static GadgetStore typical(Mix::Typical);
    static GadgetStore repeating(Mix::AllRepeating);
    GadgetStore& s = mix == Mix::Typical ? typical : repeating;
    if (!s.ok()) {
        state.SkipWithError("the store could not be filled");
        return;
    }
    ui::TestServices ui;
    process::SystemLauncher launcher;
    NoWait wait;
    gadget::GadgetPlatform platform{s.settings(), "/opt/wendra/", {1, 0, 0}, launcher, wait, ui.services()};
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
