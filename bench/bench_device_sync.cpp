// A full first synchronisation of a device that holds 2,000 events with a PC
// that holds 2,000 others, through the scripted device on a pseudo-terminal pair
// and the main window over its real store: the clock, a list of 2,000 entries,
// 2,000 requests each answered with its event (merged, saved and put in the
// list), then 2,000 additions each confirmed, and the export's end. The device
// and the window take turns in one thread, so the figure is the program's work
// and the line's, never a wait. One iteration is one whole synchronisation.

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>

#include "mainwindow/frmMain.h"
#include "platform/clock/Clock.h"
#include "platform/clock/FakeClock.h"
#include "platform/db/Schema.h"
#include "platform/serial/TtySerialPort.h"
#include "platform/settings/MemorySettingsStore.h"
#include "platform/sound/SoundRecorder.h"
#include "platform/ui/TestDoubles.h"
#include "store/modFuncs.h"
#include "tests/exchange/peer/DevicePeer.h"
#include "tests/exchange/peer/ScriptedDevice.h"

namespace wendra {
namespace {

namespace fs = std::filesystem;

constexpr int kEach = 2000;
const DateTime kNow = DateTime::ymd(2026, 3, 11, 10, 0, 0);

// The n-th event of a side: one a few hours apart from the next, over the coming year.
DateTime startOf(int n, int side) { return kNow.date().addDays(1 + n % 365).addHours(8 + (n * 7 + side * 3) % 12); }

class Folder {
public:
    Folder() {
        std::string pattern = (fs::temp_directory_path() / "wendra-bench-sync-XXXXXX").string();
        if (::mkdtemp(pattern.data()) != nullptr) path = pattern;
    }
    ~Folder() {
        std::error_code ec;
        fs::remove_all(path, ec);
    }
    fs::path path;
};

// Both sides before the synchronisation, and the line between them.
struct Exchange {
    Exchange() {
        db::createDatabaseFile(program.path / db::kDatabaseFileName);
        ::setenv(kComDevicesVariable, links.path.c_str(), 1);
        line.linkAs(links.path, 5);
        settingsStore.saveSetting(clsSettings::AppName, "Main", "Installed", "True");
        settingsStore.saveSetting(clsSettings::AppName, "Options", "CommPort", "5");
        form = std::make_unique<frmMain>(
            frmMainCollaborators{ui.services(), settingsStore, program.path, outlook, port, sound, {}, {}});
        form->show();
        for (int n = 0; n < kEach; ++n) {
            clsCalEvent ev;
            ev.setDescription("Local event " + std::to_string(n));
            ev.setEventStart(startOf(n, 0));
            ev.setAllDayEvent(false);
            ev.setLastModified(DateTime::ymd(2026, 3, 1, 8));
            form->store()->Save(ev, SaveMode::Always);
        }
        form->refreshList();
        for (int n = 0; n < kEach; ++n)
            device.add(peer::deviceEvent("P-" + std::to_string(n), formatICalDateTime(startOf(n, 1), true),
                                         "Device event " + std::to_string(n)));
    }

    FakeClock clock{kNow};
    ClockOverride useClock{clock};
    Folder program, links;
    settings::MemorySettingsStore settingsStore;
    ui::TestServices ui;
    NoOutlook outlook;
    SoundRecorder sound;
    peer::DevicePeer line{7};
    TtySerialPort port;
    std::unique_ptr<frmMain> form;
    peer::ScriptedDevice device;
};

void BM_FirstSyncOf2000DeviceAnd2000LocalEventsOverAPty(benchmark::State& state) {
    std::int64_t blocks = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto exchange = std::make_unique<Exchange>();
        peer::ExchangePacing pacing;
        pacing.maxChunk = 4096;
        pacing.pump = [&port = exchange->port] { port.poll(std::chrono::milliseconds(0)); };
        state.ResumeTiming();

        const bool done = peer::playExchange(exchange->line, exchange->device, pacing);

        state.PauseTiming();
        if (!done || exchange->device.events.size() != 2u * kEach ||
            exchange->form->store()->syncEvents()->count() != 2u * kEach) {
            state.SkipWithError("the synchronisation did not bring both sides together");
            break;
        }
        blocks += static_cast<std::int64_t>(exchange->device.received.size());
        exchange.reset();
        state.ResumeTiming();
    }
    state.counters["blocks"] = benchmark::Counter(static_cast<double>(blocks), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_FirstSyncOf2000DeviceAnd2000LocalEventsOverAPty)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
}  // namespace wendra
