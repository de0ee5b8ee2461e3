#pragma once

// The gadget library's classes over a real database file, with the settings in
// memory and watched, the clock standing still and the window services played by
// doubles. The main program's own store stays open on the same file throughout,
// as it is while WendraWin runs beside the gadget.

#include <gtest/gtest.h>

#include <string>

#include "gadget/GadgetPlatform.h"
#include "gadget/clsHTML.h"
#include "platform/process/Process.h"
#include "tests/support/ListRig.h"
#include "tests/support/SpySettingsStore.h"

namespace wendra::test {

// Never asked: the logic's tests start no program (StartQVRTest waits in Qt's loop).
class NoWait final : public gadget::ChildWait {
public:
    void waitFor(process::RunningProcess&, std::chrono::milliseconds, const std::function<void()>&) override {}
};

// The store rig of the list, whose settings the gadget reads too.
struct GadgetRig : BasicListStore<SpySettingsStore> {
    // Wednesday 11 March 2026, 10:00, unless the test names another time.
    explicit GadgetRig(DateTime now = DateTime::ymd(2026, 3, 11, 10, 0)) : BasicListStore(now) {
        settingsStore.preset("Main", "DataDir", folder.path().string() + "/");
    }

    // The event as the main program reads it now; nullopt when it is gone.
    std::optional<clsCalEvent> found(const std::string& id) {
        clsCalEvent ev;
        if (!store.Find(ev, *clsDataQVR::toEventKey(id))) return std::nullopt;
        return ev;
    }
    std::string html(std::int16_t priorWarning, std::int16_t maxRows, bool expand, std::int16_t top) {
        return gadget.createHTML(priorWarning, maxRows, expand, top);
    }

    ui::TestServices ui;
    process::SystemLauncher launcher;
    NoWait wait;
    gadget::GadgetPlatform platform{settingsStore, "/opt/wendra/gadget/", {1, 0, 7}, launcher, wait, ui.services()};
    clsHTML gadget{platform};
};

}  // namespace wendra::test
