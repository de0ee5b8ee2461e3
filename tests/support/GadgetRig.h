#pragma once

// The gadget library's classes over a real database file, with the settings in
// memory, the clock standing still and the window services played by doubles.
// The main program's own store stays open on the same file throughout, as it is
// while WendraWin runs beside the gadget.

#include <gtest/gtest.h>

#include <string>

#include "gadget/GadgetPlatform.h"
#include "gadget/clsHTML.h"
#include "platform/clock/FakeClock.h"
#include "platform/db/Schema.h"
#include "platform/process/Process.h"
#include "platform/ui/TestDoubles.h"
#include "store/clsDataQVR.h"
#include "store/clsSettings.h"
#include "tests/support/Events.h"
#include "tests/support/SpySettingsStore.h"
#include "tests/support/TempFolder.h"

namespace wendra::test {

// Waits by blocking until the child ends, ticking once: the logic's tests start
// no program that runs for long.
class BlockingWait final : public gadget::ChildWait {
public:
    void waitFor(process::RunningProcess& child, std::chrono::milliseconds,
                 const std::function<void()>& tick) override {
        ++waits;
        tick();
        child.wait();
    }
    int waits = 0;
};

struct GadgetRig {
    // Wednesday 11 March 2026, 10:00, unless the test names another time.
    explicit GadgetRig(DateTime now = DateTime::ymd(2026, 3, 11, 10, 0)) : clock(now) {
        std::string error;
        EXPECT_TRUE(db::createDatabaseFile(data.path() / db::kDatabaseFileName, &error)) << error;
        settingsStore.preset("Main", "DataDir", data.path().string() + "/");
        EXPECT_TRUE(mainStore.OpenData()) << mainStore.lastError();
    }

    // Saved by the main program; the event takes its key.
    std::string save(clsCalEvent& ev) {
        ev.setLastModified(clock.now());
        EXPECT_TRUE(mainStore.Save(ev, SaveMode::Always)) << mainStore.lastError();
        return ev.WendraWinId();
    }
    std::string save(clsCalEvent&& ev) { return save(ev); }
    // The event as the main program reads it now; nullopt when it is gone.
    std::optional<clsCalEvent> stored(const std::string& id) {
        clsCalEvent ev;
        if (!mainStore.Find(ev, *clsDataQVR::toEventKey(id))) return std::nullopt;
        return ev;
    }
    std::string html(std::int16_t priorWarning, std::int16_t maxRows, bool expand, std::int16_t top) {
        return gadget.createHTML(priorWarning, maxRows, expand, top);
    }

    FakeClock clock;

private:
    ClockOverride useClock_{clock};

public:
    TempFolder data;
    SpySettingsStore settingsStore;
    clsSettings mainSettings{settingsStore, "/opt/wendra/"};
    clsDataQVR mainStore{mainSettings, StoreOptions::mainProgram(data.path().string())};
    ui::TestServices ui;
    process::SystemLauncher launcher;
    BlockingWait wait;
    gadget::GadgetPlatform platform{settingsStore, "/opt/wendra/gadget/", {1, 0, 7}, launcher, wait, ui.services()};
    clsHTML gadget{platform};
};

}  // namespace wendra::test
