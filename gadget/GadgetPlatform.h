#pragma once

// What the library's classes get from the process that loaded them: the shared
// settings, its own folder and version, a way to start the main program and wait
// for it, and the window services of its editor and messages. The library's entry
// point builds one over the real system (gadget/qt); tests build theirs.

#include <chrono>
#include <functional>
#include <string>

#include "gadget/WendraGadget.h"
#include "platform/process/Process.h"
#include "platform/settings/SettingsStore.h"
#include "platform/ui/Services.h"

namespace wendra::gadget {

// Waits for a started program without spinning: runs the window system's events
// until the program has ended (its end wakes the wait), calling tick every
// interval meanwhile. The window's events go on throughout, the page's calls
// among them.
class ChildWait {
public:
    virtual ~ChildWait() = default;
    virtual void waitFor(process::RunningProcess& child, std::chrono::milliseconds interval,
                         const std::function<void()>& tick) = 0;
};

struct GadgetPlatform {
    // The per-user settings the main program shares.
    settings::SettingsStore& settings;
    // The library's own folder, ending with "/": where DataDir and InstallDir point
    // before the main program recorded its own.
    std::string libraryFolder;
    WendraGadget::Version version;
    process::Launcher& launcher;
    ChildWait& wait;
    ui::Services services;
};

}  // namespace wendra::gadget
