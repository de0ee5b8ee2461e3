#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "mainwindow/frmMain.h"
#include "platform/clock/FakeClock.h"
#include "platform/serial/FakeSerialPort.h"
#include "platform/sound/SoundRecorder.h"
#include "platform/ui/TestDoubles.h"
#include "store/clsCalEvent.h"
#include "tests/support/Events.h"
#include "tests/support/ScriptedOutlook.h"
#include "tests/support/SpySettingsStore.h"
#include "tests/support/TempFolder.h"

namespace wendra::test {

// The main window over a program folder of its own, with the doubles of
// everything it works with: the clock (installed for the rig's life, so the
// window, the store and the dialogs read the same "now"), the settings, the
// window system's services, the Outlook calendar, the serial port and the sound.
// Settings and events may be stored before start().
class MainWindowRig {
public:
    struct Setup {
        DateTime now = DateTime::ymd(2024, 3, 5, 14, 0);  // a Tuesday afternoon
        bool database = true;   // an empty WendraWin.dt in the folder
        bool installed = true;  // an earlier run finished its first start
    };
    MainWindowRig() : MainWindowRig(Setup{}) {}
    explicit MainWindowRig(Setup setup);
    explicit MainWindowRig(DateTime now) : MainWindowRig(Setup{.now = now}) {}
    virtual ~MainWindowRig();
    MainWindowRig(const MainWindowRig&) = delete;
    MainWindowRig& operator=(const MainWindowRig&) = delete;

    const std::filesystem::path& folder() const { return dir.path(); }
    std::filesystem::path database() const;
    void makeDatabase();

    void preset(std::string_view section, std::string_view key, std::string_view value) {
        settingsStore.preset(section, key, value);
    }
    std::optional<std::string> stored(std::string_view section, std::string_view key) const {
        return settingsStore.stored(section, key);
    }

    // Stored through a store of the rig's own (before the start, or behind the
    // window's back), as the editor saves; the event's store key.
    std::string store(clsCalEvent ev);
    static clsCalEvent oneOff(std::string desc, DateTime start, bool allDay = false) {
        return test::oneOff(std::move(desc), start, allDay);
    }
    static clsCalEvent weekly(std::string desc, DateTime start) { return test::weekly(std::move(desc), start); }
    static clsCalEvent daily(std::string desc, DateTime start, DateTime until, bool allDay = false) {
        return test::daily(std::move(desc), start, until, allDay);
    }
    // Runs one statement on the database file, as another program may.
    void raw(std::string_view sql);

    frmMainCollaborators collaborators();
    // Makes the window and shows it (loading it starts the program); with
    // `expectRunning` the start-up must have left it running. The rebuild count
    // starts from 0 afterwards.
    frmMain& start(bool expectRunning = true);
    // Ends the running window as the close box does and drops it.
    void close();

    // The rows whose key names the description, in grid order.
    std::vector<int> rowsOf(std::string_view desc) const;
    int rowOf(std::string_view desc, int nth = 0) const;
    // Every row's cells joined by "|".
    std::vector<std::string> gridTexts() const;
    std::optional<clsCalEvent> stored(const std::string& id);
    std::vector<std::string> messages() const;
    // Full rebuilds of the list since start() (each saves the window settings first).
    int rebuilds() const { return settingsStore.windowSettingsSaves; }
    // The update counter the gadget library watches.
    int counter() const;

    FakeClock clock;

private:
    ClockOverride useClock_{clock};

public:
    TempFolder dir;
    SpySettingsStore settingsStore;
    ui::TestServices ui;
    ScriptedOutlook outlook;
    FakeSerialPort port;
    SoundRecorder sound;
    // What the window is started with, beside the doubles above.
    std::optional<ui::Services> services;  // empty: the doubles of `ui`
    settings::SettingsStore* otherSettings = nullptr;  // in place of settingsStore (a real file)
    OutlookBinding* otherOutlook = nullptr;            // in place of outlook (the real binding)
    std::function<bool()> claimSingleInstance;
    std::function<void(frmMain&)> offerGadgetInstall;
    std::unique_ptr<frmMain> form;
};

}  // namespace wendra::test
