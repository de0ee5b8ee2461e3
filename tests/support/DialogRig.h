#pragma once

#include <string>

#include "platform/clock/FakeClock.h"
#include "platform/settings/MemorySettingsStore.h"
#include "store/clsSettings.h"
#include "tests/support/FlagRecorder.h"

namespace wendra::test {

// What a dialog is opened with, beside its window services: the clock standing
// at `now` (Wednesday 11 March 2026, 10:00, unless the test names another), the
// settings in memory with the program installed in `installDir`, and the window
// that opened it.
struct DialogRig {
    explicit DialogRig(DateTime now = DateTime::ymd(2026, 3, 11, 10, 0), std::string installDir = "/opt/wendra/")
        : clock(now), installDir_(std::move(installDir)) {}

    // The settings as another reader finds them afterwards.
    clsSettings reread() { return clsSettings(store, installDir_); }

    FakeClock clock;

private:
    ClockOverride useClock_{clock};
    std::string installDir_;

public:
    settings::MemorySettingsStore store;
    clsSettings settings{store, installDir_};
    FlagRecorder opener;
};

}  // namespace wendra::test
