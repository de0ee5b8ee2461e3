// The main window's start-up and shutdown with doubles: the order of the steps, the
// two ways it ends the program, the rolling backup, the first run, the mode display
// and the toolbar by mode, the error banner and the status panels; and the program
// folder and per-user lock it is started with.
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "mainwindow/frmMain.h"
#include "platform/clock/Clock.h"
#include "platform/db/Connection.h"
#include "platform/db/Schema.h"
#include "platform/settings/FileSettingsStore.h"
#include "platform/shell/InstanceLock.h"
#include "platform/shell/ProgramFolder.h"
#include "tests/support/DamagedDatabase.h"
#include "tests/support/MainWindowRig.h"

using namespace wendra;
namespace fs = std::filesystem;

namespace {

using wendra::test::TempFolder;

// What happened, in order, across the doubles.
using Journal = std::vector<std::string>;

// The rig's clock, noting each time it is asked.
class JournalClock final : public Clock {
public:
    JournalClock(Journal& journal, const Clock& clock) : journal_(journal), clock_(clock) {}
    DateTime now() const override {
        journal_.push_back("now");
        return clock_.now();
    }

private:
    Journal& journal_;
    const Clock& clock_;
};

// A program folder (no database until makeDatabase(), no first start until
// installed()) for one or more starts of the main window, with a journal of the
// claim of the single copy, the gadget offer, the clock's reads and the settings'
// reads and writes.
struct Rig : test::MainWindowRig {
    Rig() : MainWindowRig(Setup{.now = DateTime::ymd(2024, 3, 4, 9, 30), .database = false, .installed = false}) {
        settingsStore.journal = &journal;
        claimSingleInstance = [this] {
            journal.push_back("claim");
            return onlyCopy;
        };
        offerGadgetInstall = [this](frmMain& f) {
            journal.push_back("gadget offer");
            if (onGadgetOffer) onGadgetOffer(f);
        };
    }
    ~Rig() override {
        form.reset();
        settingsStore.journal = nullptr;
    }

    void installed() { preset("Main", "Installed", "True"); }
    // A start may end the program here.
    frmMain& start() { return MainWindowRig::start(false); }
    std::vector<std::string> files() const {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(folder())) names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    std::size_t indexOf(std::string_view entry) const {
        const auto it = std::find(journal.begin(), journal.end(), entry);
        return it == journal.end() ? journal.size() : static_cast<std::size_t>(it - journal.begin());
    }
    std::size_t writes() const {
        return static_cast<std::size_t>(
            std::count_if(journal.begin(), journal.end(), [](const std::string& e) { return e.starts_with("write "); }));
    }

    Journal journal;
    JournalClock journalClock{journal, clock};
    ClockOverride useJournalClock{journalClock};
    bool onlyCopy = true;
    std::function<void(frmMain&)> onGadgetOffer;
};

using wendra::test::fileBytes;

// The number of events a database file holds; -1 when it cannot be read.
long long eventCount(const fs::path& file) {
    db::Connection c;
    if (!c.openFile(file)) return -1;
    auto rs = c.execute("SELECT count(*) AS n FROM Events");
    if (!rs) return -1;
    const auto v = rs->value("n");
    const auto* n = std::get_if<std::int64_t>(&v);
    return n != nullptr ? *n : -1;
}

clsCalEvent event(std::string description, DateTime start) {
    clsCalEvent ev;
    ev.setDescription(std::move(description));
    ev.setEventStart(start);
    return ev;
}

// ---- the start-up's order and its first run ---------------------------------------------

TEST(MainStartup, ClaimsFirstThenBacksUpThenOpensTheStoreBeforeTheFirstRunWritesASetting) {
    Rig rig;
    rig.makeDatabase();
    rig.settingsStore.preset("Options", "CommPort", "3");
    bool checkedDuringOffer = false;
    rig.onGadgetOffer = [&](frmMain& f) {
        // By the offer the settings are loaded and the store is open (a start without
        // one writes nothing), but no port is open and the list is not built.
        ASSERT_NE(f.store(), nullptr);
        EXPECT_TRUE(f.store()->isOpen());
        EXPECT_TRUE(rig.port.opens().empty());
        EXPECT_EQ(f.msGrid.rows(), 0);
        EXPECT_TRUE(fs::exists(rig.folder() / "WendraWin.bak_Mon"));
        checkedDuringOffer = true;
    };
    frmMain& f = rig.start();

    ASSERT_EQ(f.startup(), frmMain::Startup::Running);
    EXPECT_TRUE(checkedDuringOffer);
    ASSERT_GE(rig.journal.size(), 3u);
    EXPECT_EQ(rig.journal[0], "claim");
    EXPECT_EQ(rig.journal[1], "now");  // the backup's weekday, before any setting is read
    EXPECT_TRUE(rig.journal[2].starts_with("read "));
    EXPECT_LT(rig.indexOf("read View/Top"), rig.indexOf("read Main/Installed"));
    EXPECT_LT(rig.indexOf("read Main/Installed"), rig.indexOf("gadget offer"));
    EXPECT_LT(rig.indexOf("gadget offer"), rig.indexOf("write Mode/WendraWin=True"));
    EXPECT_LT(rig.indexOf("write Mode/WendraWin=True"), rig.indexOf("write Main/Installed=True"));

    EXPECT_TRUE(f.store()->isOpen());
    EXPECT_EQ(rig.port.opens(), std::vector<int>{3});  // silently, after the store
    EXPECT_TRUE(rig.ui.messages.calls().empty());
    EXPECT_TRUE(f.visible());
    EXPECT_FALSE(f.state().sMsgEventHidden.empty());
    EXPECT_TRUE(f.outlookFirstPass);
    EXPECT_EQ(f.picOutlookStatus.imageKey(), "imgNoOutlook");
    EXPECT_EQ(f.helpFile(), (rig.folder() / "WendraWin.chm").string());
    // The list is built with past events folded, and the mode shown.
    EXPECT_TRUE(f.shrinkPast);
    EXPECT_EQ(f.msGrid.textMatrix(0, 3), "Days To");
    EXPECT_EQ(f.msGrid.textMatrix(1, 4), "No events within 30 days");
    EXPECT_EQ(f.getStatusText(), "Mode: Wendra (win)");
    EXPECT_EQ(f.StatusBar1.text(2), "COM3  (Open)");
    // The minute timer runs from the window's design, at 1 ms.
    EXPECT_TRUE(f.timerDispTimes.enabled());
    EXPECT_EQ(f.timerDispTimes.interval(), 1);
}

TEST(MainStartup, FirstRunStoresStandaloneModeAndCentresTheWindowAcrossOnly) {
    Rig rig;
    rig.makeDatabase();
    frmMain& f = rig.start();
    EXPECT_EQ(std::count(rig.journal.begin(), rig.journal.end(), "gadget offer"), 1);
    EXPECT_EQ(rig.settingsStore.stored("Main", "Installed"), "True");
    EXPECT_EQ(rig.settingsStore.stored("Mode", "WendraWin"), "True");
    // Left -999 was never saved: centred across the 28800 twips screen; the top stays 0.
    EXPECT_EQ(f.left(), (28800 - 6000) / 2);
    EXPECT_EQ(f.top(), 0);
    rig.close();

    // The next start is no first run, and the window stands where it was left.
    rig.journal.clear();
    frmMain& again = rig.start();
    EXPECT_EQ(std::count(rig.journal.begin(), rig.journal.end(), "gadget offer"), 0);
    EXPECT_EQ(again.left(), (28800 - 6000) / 2);
}

TEST(MainStartup, OutlookModeStoredBesideStandaloneEndsWithTheStandaloneDisplay) {
    Rig rig;
    rig.makeDatabase();
    rig.installed();
    rig.settingsStore.preset("Mode", "Outlook", "True");
    rig.settingsStore.preset("Mode", "WendraWin", "True");
    frmMain& f = rig.start();
    EXPECT_EQ(f.state().gCurrentMode, ProgramMode::WendraWin);
    EXPECT_EQ(f.getStatusText(), "Mode: Wendra (win)");
    EXPECT_FALSE(f.picOutlookStatus.visible());
}

// ---- the two ways the start ends the program ---------------------------------------------

TEST(MainStartup, AnotherCopyIsToldAndNothingIsTouched) {
    Rig rig;
    rig.makeDatabase();
    rig.installed();
    const std::string before = fileBytes(rig.database());
    const auto filesBefore = rig.files();
    rig.onlyCopy = false;
    frmMain& f = rig.start();

    ASSERT_EQ(rig.ui.messages.calls().size(), 1u);
    EXPECT_EQ(rig.ui.messages.last().text, "Wendra (win) is already running, only one copy is allowed in memory");
    EXPECT_EQ(rig.ui.messages.last().icon, ui::MessageIcon::Exclamation);
    EXPECT_EQ(f.startup(), frmMain::Startup::AnotherCopy);
    EXPECT_TRUE(f.ended());
    EXPECT_EQ(f.exitCode(), 0);
    EXPECT_FALSE(f.isLoaded());
    EXPECT_FALSE(f.visible());
    EXPECT_FALSE(f.timerDispTimes.enabled());
    // Not a setting read, not the clock asked for a backup, no file made or changed.
    EXPECT_EQ(rig.journal, Journal{"claim"});
    EXPECT_EQ(rig.files(), filesBefore);
    EXPECT_EQ(fileBytes(rig.database()), before);
    EXPECT_EQ(f.store(), nullptr);
    rig.close();
    EXPECT_EQ(rig.journal, Journal{"claim"});
}

TEST(MainStartup, NoDatabaseIsToldAndNothingIsWritten) {
    Rig rig;
    rig.installed();
    frmMain& f = rig.start();

    ASSERT_EQ(rig.ui.messages.calls().size(), 1u);
    EXPECT_EQ(rig.ui.messages.last().text, "Failed to open WendraWin database");
    EXPECT_EQ(rig.ui.messages.last().icon, ui::MessageIcon::Critical);
    EXPECT_EQ(f.startup(), frmMain::Startup::NoDatabase);
    EXPECT_EQ(f.exitCode(), 1);
    EXPECT_FALSE(f.isLoaded());
    EXPECT_FALSE(f.visible());
    // No database made, no backup, no port opened, and the shutdown's save did not run.
    EXPECT_TRUE(rig.files().empty());
    EXPECT_TRUE(rig.port.opens().empty());
    EXPECT_EQ(rig.writes(), 0u);
    rig.close();
    EXPECT_EQ(rig.writes(), 0u);
}

// A file under the database's name that the store refuses: the start ends as
// without one, and the file, every backup and the settings are left as they were.
class MainStartupDamaged : public ::testing::TestWithParam<wendra::test::DamagedDatabase> {};

TEST_P(MainStartupDamaged, EndsWithTheMessageAndKeepsEveryBackup) {
    Rig rig;
    rig.makeDatabase();
    // A week of good backups, Monday's (today's) among them.
    for (const char* day : {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"})
        fs::copy_file(rig.database(), rig.folder() / (std::string("WendraWin.bak_") + day));
    const std::string goodBackup = fileBytes(rig.folder() / "WendraWin.bak_Mon");
    wendra::test::makeDamagedDatabase(GetParam(), rig.database());
    const std::string before = fileBytes(rig.database());
    const auto filesBefore = rig.files();

    frmMain& f = rig.start();  // a first run: not installed
    EXPECT_EQ(f.startup(), frmMain::Startup::NoDatabase);
    ASSERT_EQ(rig.ui.messages.calls().size(), 1u);
    EXPECT_EQ(rig.ui.messages.last().text, "Failed to open WendraWin database");
    EXPECT_EQ(rig.ui.messages.last().icon, ui::MessageIcon::Critical);
    EXPECT_EQ(fileBytes(rig.database()), before);
    EXPECT_EQ(rig.files(), filesBefore);
    EXPECT_EQ(fileBytes(rig.folder() / "WendraWin.bak_Mon"), goodBackup);
    EXPECT_EQ(eventCount(rig.folder() / "WendraWin.bak_Mon"), 0);  // still a database of the program
    EXPECT_EQ(rig.writes(), 0u);
    rig.close();
    EXPECT_EQ(rig.writes(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Kinds, MainStartupDamaged, ::testing::ValuesIn(wendra::test::damagedDatabases()),
                         [](const auto& info) { return info.param.name; });

TEST(MainStartup, ADamagedSettingsFileIsKeptAsItIsWhenTheStartEnds) {
    Rig rig;
    settings::FileSettingsStore file(rig.folder() / "config");
    rig.otherSettings = &file;
    fs::create_directory(rig.folder() / "config");
    const fs::path ini = rig.folder() / "config" / "WendraWin_A.ini";
    const std::string damaged = "[View]\nLeft=1200\nthis line is damaged\n[Main\nInstalled=True\n";
    { std::ofstream(ini, std::ios::binary) << damaged; }

    frmMain& f = rig.start();  // no database
    EXPECT_EQ(f.startup(), frmMain::Startup::NoDatabase);
    rig.close();
    EXPECT_EQ(fileBytes(ini), damaged);
    EXPECT_FALSE(fs::exists(rig.folder() / "config" / "WendraWin_A.ini.bad"));

    // With a database the first write keeps the damaged file beside the new one.
    rig.makeDatabase();
    frmMain& g = rig.start();
    ASSERT_EQ(g.startup(), frmMain::Startup::Running);
    EXPECT_EQ(fileBytes(rig.folder() / "config" / "WendraWin_A.ini.bad"), damaged);
    EXPECT_EQ(file.querySetting("WendraWin_A", "View", "Left"), "1200");
    EXPECT_EQ(file.querySetting("WendraWin_A", "Main", "Installed"), "True");
}

// ---- the rolling backup ----------------------------------------------------------------------

TEST(MainStartup, SevenBackupsRotateOverAWeekAndTheEighthDayReplacesItsWeekday) {
    Rig rig;
    rig.makeDatabase();
    rig.installed();
    const DateTime monday = DateTime::ymd(2024, 3, 4, 8, 0);
    for (int day = 0; day < 8; ++day) {
        rig.clock.set(monday.addDays(day).addHours(day));  // any hour of the day
        frmMain& f = rig.start();
        ASSERT_EQ(f.startup(), frmMain::Startup::Running);
        // One event more each day, so each backup tells which start made it.
        clsCalEvent ev = event("day " + std::to_string(day), monday.addDays(30));
        ASSERT_EQ(f.doSave(ev, SaveMode::Always, false), SaveResult::Saved);
        rig.close();
        if (day == 0) {
            EXPECT_EQ(eventCount(rig.folder() / "WendraWin.bak_Mon"), 0);
        }
    }
    const std::vector<std::string> expected{"WendraWin.bak_Fri", "WendraWin.bak_Mon", "WendraWin.bak_Sat",
                                            "WendraWin.bak_Sun", "WendraWin.bak_Thu", "WendraWin.bak_Tue",
                                            "WendraWin.bak_Wed"};
    std::vector<std::string> backups;
    for (const auto& name : rig.files())
        if (name.starts_with("WendraWin.bak_")) backups.push_back(name);
    EXPECT_EQ(backups, expected);
    // Tuesday's copy was taken after Monday's event; Monday's was replaced a week later.
    EXPECT_EQ(eventCount(rig.folder() / "WendraWin.bak_Tue"), 1);
    EXPECT_EQ(eventCount(rig.folder() / "WendraWin.bak_Sun"), 6);
    EXPECT_EQ(eventCount(rig.folder() / "WendraWin.bak_Mon"), 7);
}

TEST(MainStartup, TheBackupHoldsWhatTheOtherProcessWroteAndHasNotMergedIntoTheFile) {
    Rig rig;
    rig.makeDatabase();
    rig.installed();
    // The gadget's side: its own store on the same file, kept open so that its write
    // stays in the write-ahead log beside the file.
    settings::MemorySettingsStore gadgetSettingsStore;
    clsSettings gadgetSettings(gadgetSettingsStore, rig.folder().string());
    clsDataQVR gadget(gadgetSettings, StoreOptions::mainProgram(rig.folder().string()));
    ASSERT_TRUE(gadget.OpenData());
    clsCalEvent ev = event("written by the gadget", DateTime::ymd(2024, 4, 1));
    ASSERT_TRUE(gadget.Save(ev, SaveMode::Always));

    // The file alone does not hold it yet: a plain copy would miss it.
    const fs::path plain = rig.dir.path() / "plain-copy.dt";
    fs::copy_file(rig.database(), plain);
    EXPECT_EQ(eventCount(plain), 0);
    fs::remove(plain);

    rig.start();
    EXPECT_EQ(eventCount(rig.folder() / "WendraWin.bak_Mon"), 1);
}

// ---- shutdown ----------------------------------------------------------------------------

TEST(MainStartup, ShutdownSavesTheWindowAndStopsTheTimer) {
    Rig rig;
    rig.makeDatabase();
    rig.installed();
    frmMain& f = rig.start();
    f.move(2000, 1500);
    rig.journal.clear();
    EXPECT_TRUE(f.requestClose());
    EXPECT_FALSE(f.timerDispTimes.enabled());
    EXPECT_EQ(rig.settingsStore.stored("View", "Left"), "2000");
    EXPECT_EQ(rig.settingsStore.stored("View", "Top"), "1500");
    EXPECT_NE(rig.indexOf("write View/FontName=Sans Serif"), rig.journal.size());
}

// ---- toolbar, menus and mode -------------------------------------------------------------

TEST(MainWindow, ToolbarHasItsElevenButtonsInOrderWithTheirTips) {
    Rig rig;
    rig.makeDatabase();
    rig.installed();
    frmMain& f = rig.start();
    struct B {
        const char* key;
        const char* tip;
    };
    const B expected[] = {{"toolbarOutlookStatus", ""},      {"toolbarNew", "New Event"},
                          {"toolbarEditSeries", "Edit Event"}, {"toolbarEditOccur", "Edit Occurrence"},
                          {"toolbarDelete", "Delete Event"},   {"toolbarVisibility", "Visibility"},
                          {"toolbarExpand", "Expand past events"}, {"toolbarShrink", "Shrink past events"},
                          {"toolbarRefresh", "Refresh List"}, {"toolbarAlarm", "Alarm On/Off"},
                          {"toolbarFont", "Font"}};
    ASSERT_EQ(f.Toolbar1.buttonCount(), 11);
    for (int i = 0; i < 11; ++i) {
        EXPECT_EQ(f.Toolbar1.buttonAt(i).name(), expected[i].key);
        EXPECT_EQ(f.Toolbar1.buttonAt(i).toolTip(), expected[i].tip) << expected[i].key;
    }
    EXPECT_EQ(f.Toolbar1.button("toolbarOutlookStatus")->style(), ui::CommandStyle::Placeholder);
    EXPECT_EQ(f.Toolbar1.button("toolbarNew")->imageKey(), "imgNew");
    // The alarm button shows the alarm setting (on by default).
    EXPECT_EQ(f.Toolbar1.button("toolbarAlarm")->imageKey(), "imgAlarm");
    EXPECT_EQ(f.cmdErrorClose.caption(), "X");
    EXPECT_EQ(f.cmdErrorClose.toolTip(), "Close Message");
}

// One row of the toolbar's states by mode: the buttons shown and those enabled, by
// the short names of their keys.
struct ModeCase {
    int mode;
    bool connected;
    bool viewAll;
    bool byDescription;
    const char* shown;
    const char* enabled;
    bool picture;
    int placeholderWidth;  // 0: not shown
    bool menuEditOccur;
    bool menuVisibility;
    bool menuShrink;
};

std::string namesOf(const ui::Toolbar& bar, bool (ui::Command::*state)() const) {
    std::string out;
    for (int i = 0; i < bar.buttonCount(); ++i) {
        const ui::Command& b = const_cast<ui::Toolbar&>(bar).buttonAt(i);
        if (!(b.*state)()) continue;
        if (!out.empty()) out += ' ';
        out += b.name().substr(std::string("toolbar").size());
    }
    return out;
}

TEST(MainWindow, ToolbarAndMenusFollowTheModeInEveryCombination) {
    const char* all = "OutlookStatus New EditSeries EditOccur Delete Visibility Expand Shrink Refresh Alarm Font";
    const char* standalone = "New EditSeries Delete Expand Shrink Refresh Alarm Font";
    const char* standaloneAll = "OutlookStatus New EditSeries EditOccur Delete Visibility Expand Shrink Refresh Alarm Font";
    const ModeCase cases[] = {
        {0, false, false, false, standalone, standaloneAll, false, 0, false, false, true},
        {0, true, false, false, standalone, standaloneAll, false, 0, false, false, true},
        {0, false, true, false, standalone, standaloneAll, false, 0, false, false, true},
        {0, false, true, true, "New EditSeries Delete Refresh Alarm Font", standaloneAll, false, 0, false, false, false},
        {0, true, false, true, "New EditSeries Delete Refresh Alarm Font", standaloneAll, false, 0, false, false, false},
        {1, false, false, false, "OutlookStatus EditOccur Expand Shrink Refresh", "Expand Shrink Refresh", true, 2465,
         false, false, true},
        {1, false, true, false, "OutlookStatus Expand Shrink Refresh", "Expand Shrink Refresh", true, 2465, false, false,
         true},
        {1, false, true, true, "OutlookStatus Refresh", "Expand Shrink Refresh", true, 2465, false, false, false},
        {1, false, false, true, "OutlookStatus EditOccur Refresh", "Expand Shrink Refresh", true, 2465, false, false,
         false},
        {1, true, false, false, all, all, true, 500, true, true, true},
        {1, true, true, false, "OutlookStatus New EditSeries Delete Visibility Expand Shrink Refresh Alarm Font", all,
         true, 500, false, true, true},
        {1, true, true, true, "OutlookStatus New EditSeries Delete Visibility Refresh Alarm Font", all, true, 500, false,
         true, false},
        {1, true, false, true, "OutlookStatus New EditSeries EditOccur Delete Visibility Refresh Alarm Font", all, true,
         500, true, true, false},
    };
    Rig rig;
    rig.makeDatabase();
    rig.installed();
    frmMain& f = rig.start();
    int rowChanges = 0;
    f.msGrid.onRowColChange = [&] { ++rowChanges; };
    for (const ModeCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "mode " << c.mode << " connected " << c.connected << " viewAll "
                                        << c.viewAll << " byDescription " << c.byDescription);
        // Every case starts from the opposite state, so nothing is left over from before.
        f.state().gOutlookConnected = !c.connected;
        f.viewAll = false;
        f.viewAllByDescription = false;
        f.applyModeToolbar(c.mode == 0 ? ProgramMode::Outlook : ProgramMode::WendraWin);
        f.state().gOutlookConnected = c.connected;
        f.viewAll = c.viewAll;
        f.viewAllByDescription = c.byDescription;
        const int before = rowChanges;
        f.applyModeToolbar(static_cast<ProgramMode>(c.mode));
        EXPECT_EQ(namesOf(f.Toolbar1, &ui::Command::visible), c.shown);
        EXPECT_EQ(namesOf(f.Toolbar1, &ui::Command::enabled), c.enabled);
        EXPECT_EQ(f.picOutlookStatus.visible(), c.picture);
        if (c.placeholderWidth != 0) {
            EXPECT_EQ(f.Toolbar1.button("toolbarOutlookStatus")->width(), c.placeholderWidth);
        }
        EXPECT_EQ(f.mnuActions_EditOccur.visible(), c.menuEditOccur);
        EXPECT_EQ(f.mnuActions_Visibility.visible(), c.menuVisibility);
        EXPECT_EQ(f.mnuShrinkPastEvents.visible(), c.menuShrink);
        EXPECT_EQ(rowChanges, before + 1);  // the edit commands follow the row
    }
}

TEST(MainWindow, BackFromAnUnconnectedOutlookModeTheToolbarIsEnabledAgain) {
    Rig rig;
    rig.makeDatabase();
    rig.installed();
    frmMain& f = rig.start();
    f.showMode(ProgramMode::Outlook);
    EXPECT_FALSE(f.Toolbar1.button("toolbarNew")->enabled());
    f.showMode(ProgramMode::WendraWin);
    for (const char* key : {"toolbarNew", "toolbarAlarm", "toolbarFont"}) {
        EXPECT_TRUE(f.Toolbar1.button(key)->enabled()) << key;
        EXPECT_TRUE(f.Toolbar1.button(key)->visible()) << key;
    }
    // The edit commands follow the current row: with no event listed there is none.
    for (const char* key : {"toolbarEditSeries", "toolbarDelete"}) {
        EXPECT_TRUE(f.Toolbar1.button(key)->visible()) << key;
        EXPECT_FALSE(f.Toolbar1.button(key)->enabled()) << key;
    }
}

TEST(MainWindow, ShowModeWritesTheStatusAndTheStampOfEachOutlookState) {
    Rig rig;
    rig.makeDatabase();
    rig.installed();
    frmMain& f = rig.start();
    const DateTime t = DateTime::ymd(2024, 3, 4, 10, 15, 30);
    rig.clock.set(t);

    f.showMode(ProgramMode::Outlook);
    EXPECT_EQ(f.getStatusText(), "Connecting to MSOutlook...");
    EXPECT_EQ(f.connectingSince, t);
    EXPECT_EQ(f.state().gCurrentMode, ProgramMode::Outlook);
    EXPECT_EQ(f.state().gSavedStatusText, "Mode: Wendra (win)");  // the text it replaced

    f.state().gOutlookConnected = true;
    f.showMode(ProgramMode::Outlook);
    EXPECT_EQ(f.getStatusText(), "Mode: MSOutlook");

    f.checkingForUpdates = true;
    rig.clock.set(t.addSeconds(90));
    f.showMode(ProgramMode::Outlook);
    EXPECT_EQ(f.getStatusText(), "Mode: MSOutlook          [Checking for updates]");
    EXPECT_EQ(f.checkingSince, t.addSeconds(90));
    EXPECT_EQ(f.connectingSince, t);

    // Another value only records the mode.
    const std::string shown = namesOf(f.Toolbar1, &ui::Command::visible);
    f.showMode(static_cast<ProgramMode>(5));
    EXPECT_EQ(f.state().gCurrentMode, static_cast<ProgramMode>(5));
    EXPECT_EQ(f.getStatusText(), "Mode: MSOutlook          [Checking for updates]");
    EXPECT_EQ(namesOf(f.Toolbar1, &ui::Command::visible), shown);
    EXPECT_EQ(f.mousePointer(), ui::MousePointer::Default);
}

TEST(MainWindow, ViewMenusShowTheDefaultDaysTheViewAndTheAlarm) {
    Rig rig;
    rig.makeDatabase();
    rig.installed();
    rig.settingsStore.preset("Options", "PriorWarning", "14");
    frmMain& f = rig.start();
    EXPECT_EQ(f.mnuViewDefaultDays.caption(), "Default (14) days view");
    EXPECT_TRUE(f.mnuViewDefaultDays.checked());
    EXPECT_FALSE(f.mnuViewAll.checked());
    EXPECT_TRUE(f.mnuAlarm.checked());

    f.viewAll = true;
    f.refreshViewMenus();
    EXPECT_FALSE(f.mnuViewDefaultDays.checked());
    EXPECT_TRUE(f.mnuViewAll.checked());
    EXPECT_FALSE(f.mnuViewAllDesc.checked());
    f.viewAllByDescription = true;
    f.settings()->setAlarm(false);
    f.settings()->setPriorWarning(7);
    f.showModeFromSettings();
    EXPECT_FALSE(f.mnuViewAll.checked());
    EXPECT_TRUE(f.mnuViewAllDesc.checked());
    EXPECT_FALSE(f.mnuAlarm.checked());
    EXPECT_EQ(f.mnuViewDefaultDays.caption(), "Default (7) days view");
    EXPECT_EQ(f.Toolbar1.button("toolbarAlarm")->imageKey(), "imgAlarmOff");
}

// ---- banner and status panels -------------------------------------------------------------

TEST(MainWindow, TheBannerOpensAboveTheListAndClosesAgain) {
    Rig rig;
    rig.makeDatabase();
    rig.installed();
    frmMain& f = rig.start();
    EXPECT_FALSE(f.frameError.visible());
    EXPECT_EQ(f.frameError.height(), 0);
    const int gridTop = f.msGrid.top();
    const int windowHeight = f.height();

    f.showError("Sync failed: the device did not answer");
    const int banner = f.lblError.height() + 200;
    EXPECT_TRUE(f.frameError.visible());
    EXPECT_TRUE(f.lblError.visible());
    EXPECT_EQ(f.lblError.caption(), "Sync failed: the device did not answer");
    EXPECT_EQ(f.frameError.height(), banner);
    EXPECT_EQ(f.msGrid.top(), gridTop + banner);
    EXPECT_EQ(f.height(), windowHeight + banner);
    EXPECT_EQ(f.frameError.width(), f.msGrid.width());

    EXPECT_TRUE(f.cmdErrorClose.press());
    EXPECT_FALSE(f.frameError.visible());
    EXPECT_EQ(f.frameError.height(), 0);
    EXPECT_EQ(f.msGrid.top(), gridTop);
    EXPECT_EQ(f.height(), windowHeight);
}

TEST(MainWindow, StatusTextIsKeptAndGivenBackAndTheSyncDisplayKeepsADeviceLine) {
    Rig rig;
    rig.makeDatabase();
    rig.installed();
    frmMain& f = rig.start();
    f.setStatusText("Updating list...");
    EXPECT_EQ(f.getStatusText(), "Updating list...");
    f.setStatusText();
    EXPECT_EQ(f.getStatusText(), "Mode: Wendra (win)");

    const DateTime t = DateTime::ymd(2024, 3, 4, 11, 0);
    rig.clock.set(t);
    f.showSyncInProgress();
    EXPECT_EQ(f.StatusBar1.text(2), "Sync: In progress...");
    EXPECT_EQ(f.StatusBar1.panel(2).imageKey, "imgSyncInProgress");
    EXPECT_EQ(f.state().gLastSyncActivity, t);
    f.StatusBar1.setText(2, ">Dentist");
    rig.clock.set(t.addSeconds(5));
    f.showSyncInProgress();
    EXPECT_EQ(f.StatusBar1.text(2), ">Dentist");
    EXPECT_EQ(f.state().gLastSyncActivity, t.addSeconds(5));
}

TEST(MainWindow, TheSerialPortFollowsItsSetting) {
    Rig rig;
    rig.makeDatabase();
    rig.installed();
    frmMain& f = rig.start();
    EXPECT_TRUE(rig.port.opens().empty());  // no port by default
    EXPECT_EQ(f.StatusBar1.text(2), "COM: None");

    f.settings()->setCommPort(4);
    rig.port.failOpen(4, SerialError{2, "/dev/ttyS3: No such file or directory"});
    EXPECT_FALSE(f.openCommPort(false));
    EXPECT_TRUE(rig.ui.messages.calls().empty());
    EXPECT_EQ(f.StatusBar1.text(2), "COM4  (Error)");
    EXPECT_EQ(f.StatusBar1.panel(2).imageKey, "imgCommErr");
    EXPECT_FALSE(f.openCommPort(true));
    ASSERT_EQ(rig.ui.messages.calls().size(), 1u);
    EXPECT_EQ(rig.ui.messages.last().text,
              "Error opening serial communications port, COM4\r\n\r\nReported error=/dev/ttyS3: No such file or "
              "directory (2)");
    EXPECT_EQ(rig.ui.messages.last().icon, ui::MessageIcon::Critical);

    f.settings()->setCommPort(5);
    EXPECT_TRUE(f.openCommPort(true));
    EXPECT_TRUE(rig.port.isOpen());
    EXPECT_EQ(f.StatusBar1.text(2), "COM5  (Open)");
    EXPECT_TRUE(f.openCommPort(true));  // already open on that port: left alone
    EXPECT_EQ(rig.port.opens(), (std::vector<int>{4, 4, 5}));

    f.settings()->setCommPort(0);  // no port: the panel says so
    EXPECT_TRUE(f.openCommPort(false));
    EXPECT_FALSE(rig.port.isOpen());
    EXPECT_EQ(f.StatusBar1.text(2), "COM: None");
}

// ---- the program folder and the per-user lock ---------------------------------------------

TEST(ProgramFolder, IsTheFolderOfTheRunningProgram) {
    const fs::path folder = shell::programFolder();
    EXPECT_TRUE(folder.is_absolute());
    EXPECT_TRUE(fs::exists(folder / "mainwindow_MainStartupTest"));
    EXPECT_EQ(shell::fileIn(folder, "WendraWin.dt"), folder / "WendraWin.dt");
}

TEST(InstanceLock, OneHolderAtATimeAndFreeOnceReleased) {
    TempFolder dir;
    const fs::path file = dir.path() / "run" / "WendraWin.lock";
    shell::InstanceLock first(file);
    shell::InstanceLock second(file);
    EXPECT_EQ(first.claim(), shell::InstanceClaim::Claimed);
    EXPECT_EQ(first.claim(), shell::InstanceClaim::Claimed);  // a claim held stays held
    EXPECT_EQ(second.claim(), shell::InstanceClaim::HeldElsewhere);
    EXPECT_FALSE(second.held());
    first.release();
    EXPECT_EQ(second.claim(), shell::InstanceClaim::Claimed);

    shell::InstanceLock nowhere(dir.path() / "WendraWin.lock" / "under-a-file");
    { std::ofstream(dir.path() / "WendraWin.lock") << "a file, not a folder"; }
    EXPECT_EQ(nowhere.claim(), shell::InstanceClaim::Unavailable);
}

TEST(InstanceLock, ACopyThatWasKilledLeavesNoLockBehind) {
    TempFolder dir;
    const fs::path file = dir.path() / "WendraWin.lock";
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        shell::InstanceLock lock(file);
        const char answer = lock.claim() == shell::InstanceClaim::Claimed ? 'y' : 'n';
        (void)!::write(ready[1], &answer, 1);
        for (;;) ::pause();  // killed here, without any clean-up of its own
    }
    char answer = 0;
    ASSERT_EQ(::read(ready[0], &answer, 1), 1);
    ASSERT_EQ(answer, 'y');
    shell::InstanceLock mine(file);
    EXPECT_EQ(mine.claim(), shell::InstanceClaim::HeldElsewhere);
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(fs::exists(file));  // the file stays; the lock does not
    EXPECT_EQ(mine.claim(), shell::InstanceClaim::Claimed);
    ::close(ready[0]);
    ::close(ready[1]);
}

TEST(InstanceLock, LivesInTheRuntimeFolderOrElseTheFallback) {
    TempFolder dir;
    const char* saved = std::getenv("XDG_RUNTIME_DIR");
    const std::string previous = saved != nullptr ? saved : "";
    const fs::path fallback = dir.path() / "config";

    ::setenv("XDG_RUNTIME_DIR", dir.path().c_str(), 1);
    EXPECT_EQ(shell::instanceLockFile(fallback), dir.path() / "WendraWin.lock");
    ::setenv("XDG_RUNTIME_DIR", "relative/run", 1);
    EXPECT_EQ(shell::instanceLockFile(fallback), fallback / "WendraWin.lock");
    ::setenv("XDG_RUNTIME_DIR", (dir.path() / "missing").c_str(), 1);
    EXPECT_EQ(shell::instanceLockFile(fallback), fallback / "WendraWin.lock");
    ::unsetenv("XDG_RUNTIME_DIR");
    EXPECT_EQ(shell::instanceLockFile(fallback, "Other.lock"), fallback / "Other.lock");

    if (saved != nullptr) ::setenv("XDG_RUNTIME_DIR", previous.c_str(), 1);
}

}  // namespace
