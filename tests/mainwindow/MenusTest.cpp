// The main window's menus: the tree with its captions, shortcuts and marks, and
// each handler's setting written and list rebuilt once; the views, the minimal
// display, the font, help, about and exit.
#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "editor/frmQVREvent.h"
#include "mainwindow/frmDefaultPriorWarn.h"
#include "mainwindow/frmMain.h"
#include "mainwindow/frmMode.h"
#include "mainwindow/frmOptions.h"
#include "tests/support/MainWindowRig.h"

using namespace wendra;

namespace {

DateTime at(int y, int m, int d, int h = 0, int mi = 0) { return DateTime::ymd(y, m, d, h, mi); }

class Menus : public ::testing::Test, protected test::MainWindowRig {
protected:
    std::optional<std::string> setting(std::string_view section, std::string_view key) const {
        return stored(section, key);
    }
    bool listed(std::string_view desc) const { return rowOf(desc) >= 0; }
    ui::Command& entry(std::string_view name) {
        ui::Command* c = form->menuBar.find(name);
        EXPECT_NE(c, nullptr) << name;
        return *c;
    }
};

// ---- the tree ------------------------------------------------------------------------

TEST_F(Menus, EveryMenuHoldsTheEntriesOfTheDesignOnceWithTheirHandlersAndMarks) {
    start();
    // Each menu holds exactly the entries its design order names, each once; every
    // entry that is no menu or separator runs something.
    for (const frmMain::MenuOrder& m : frmMain::menuDesign()) {
        SCOPED_TRACE(m.menu);
        std::multiset<std::string> held;
        if (m.menu.empty()) {
            for (const ui::Command* c : form->menuBar.menus()) held.insert(c->name());
        } else {
            for (const ui::Command* c : entry(m.menu).children()) held.insert(c->name());
        }
        EXPECT_EQ(held, std::multiset<std::string>(m.entries.begin(), m.entries.end()));
        for (const std::string& name : m.entries) {
            const ui::Command& c = entry(name);
            EXPECT_TRUE(c.isMenu() || c.isSeparator() || c.onClick) << name;
        }
    }
    for (const char* separator : {"mnuAddIns", "mnuAddInMenu_Underline", "mnuActions_Underline3"})
        EXPECT_TRUE(entry(separator).isSeparator()) << separator;

    // The marks follow the settings (here their defaults) and the list's view.
    const clsSettings& st = *form->settings();
    EXPECT_TRUE(entry("mnuViewDefaultDays").checked());
    EXPECT_FALSE(entry("mnuViewAll").checked());
    EXPECT_FALSE(entry("mnuViewAllDesc").checked());
    EXPECT_EQ(entry("mnuView_Headings").checked(), st.ViewHeadings());
    EXPECT_EQ(entry("mnuView_Date").checked(), st.ViewDate() != -1);
    EXPECT_EQ(entry("mnuView_DayOfWeek").checked(), st.ViewDayOfWeek() != -1);
    EXPECT_EQ(entry("mnuView_Time").checked(), st.ViewTime() != -1);
    EXPECT_EQ(entry("mnuView_Wendra").checked(), st.ViewWendra() != -1);
    EXPECT_EQ(entry("mnuView_LongDescription").checked(), st.ViewLongDesc());
    EXPECT_EQ(entry("mnuMerge_Dates").checked(), st.MergeDates());
    EXPECT_EQ(entry("mnuMerge_DaysOfWeek").checked(), st.MergeDaysOfWeek());
    EXPECT_EQ(entry("mnuMerge_Wendra").checked(), st.MergeWendra());
    EXPECT_EQ(entry("mnuAlarm").checked(), st.Alarm());
    for (const char* plain : {"mnuActions_NewQuickEvent", "mnuMini", "mnuActions_Refresh", "mnuOptions_Font"})
        EXPECT_FALSE(entry(plain).checked()) << plain;
}

TEST_F(Menus, EveryShortcutReachesItsEntry) {
    frmMain& f = start();
    f.menuBar.triggerShortcut("F5");
    EXPECT_EQ(rebuilds(), 1);
    EXPECT_TRUE(f.menuBar.triggerShortcut("Ctrl+N"));
    EXPECT_TRUE(f.menuBar.triggerShortcut("Ctrl+S"));
    EXPECT_TRUE(f.menuBar.triggerShortcut("Ctrl+M"));
    EXPECT_TRUE(f.menuBar.triggerShortcut("Ctrl+F"));
    EXPECT_EQ(ui.dialogs.shown(),
              (std::vector<std::string>{frmQVREvent::kFormName, "frmOptions", "frmMode"}));
    EXPECT_EQ(ui.fonts.calls().size(), 1u);
    EXPECT_TRUE(f.menuBar.triggerShortcut("F2"));
    EXPECT_TRUE(f.state().gMinimalDisplay);
    EXPECT_TRUE(f.menuBar.triggerShortcut("Ctrl+X"));
    EXPECT_FALSE(f.isLoaded());
}

// ---- columns and merging --------------------------------------------------------------------

TEST_F(Menus, DayOfWeekShowsItsColumnStoresItAndRebuildsOnce) {
    preset("View", "DayOfWeek", "-1");
    frmMain& f = start();
    ASSERT_FALSE(f.mnuView_DayOfWeek.checked());
    f.mnuView_DayOfWeek.trigger();
    EXPECT_TRUE(f.mnuView_DayOfWeek.checked());
    EXPECT_EQ(rebuilds(), 1);
    EXPECT_GT(f.msGrid.colWidth(grdDayofWeek), 0);
    // Switched on it is automatic, sized by its sample text; the next save keeps that width.
    EXPECT_EQ(setting("View", "DayOfWeek"), "-9");
    f.saveWindowSettings();
    EXPECT_EQ(setting("View", "DayOfWeek"), std::to_string(f.msGrid.colWidth(grdDayofWeek)));
    settingsStore.windowSettingsSaves = 1;

    f.mnuView_DayOfWeek.trigger();
    EXPECT_FALSE(f.mnuView_DayOfWeek.checked());
    EXPECT_EQ(rebuilds(), 2);
    EXPECT_EQ(f.msGrid.colWidth(grdDayofWeek), 0);
    EXPECT_EQ(setting("View", "DayOfWeek"), "-1");
}

TEST_F(Menus, MatchingDaysOfWeekIsStoredRebuiltOnceAndItsMarkComesBackWithTheSetting) {
    preset("View", "MergeDaysOfWeek", "True");
    frmMain& f = start();
    ASSERT_TRUE(f.mnuMerge_DaysOfWeek.checked());
    ASSERT_TRUE(f.msGrid.mergeCol(grdDayofWeek));
    f.mnuMerge_DaysOfWeek.trigger();
    EXPECT_FALSE(f.mnuMerge_DaysOfWeek.checked());
    EXPECT_FALSE(f.settings()->MergeDaysOfWeek());
    EXPECT_FALSE(f.msGrid.mergeCol(grdDayofWeek));
    EXPECT_EQ(rebuilds(), 1);

    // After a restart the mark and the list still agree.
    f.unload();
    frmMain& again = start();
    EXPECT_FALSE(again.mnuMerge_DaysOfWeek.checked());
    EXPECT_FALSE(again.msGrid.mergeCol(grdDayofWeek));
    again.mnuMerge_DaysOfWeek.trigger();
    EXPECT_TRUE(again.mnuMerge_DaysOfWeek.checked());
    EXPECT_TRUE(again.msGrid.mergeCol(grdDayofWeek));
}

// ---- the window of dates ---------------------------------------------------------------------

TEST_F(Menus, TheViewChoicesSetTheListsViewMarkItAndRebuildOnce) {
    store(oneOff("Next year", at(2025, 3, 5, 10, 0)));
    frmMain& f = start();
    ASSERT_FALSE(listed("Next year"));

    f.mnuViewAll.trigger();
    EXPECT_TRUE(f.viewAll);
    EXPECT_FALSE(f.viewAllByDescription);
    EXPECT_TRUE(f.mnuViewAll.checked());
    EXPECT_FALSE(f.mnuViewDefaultDays.checked());
    EXPECT_TRUE(listed("Next year"));
    EXPECT_FALSE(f.Toolbar1.button("toolbarEditOccur")->visible() && f.state().gCurrentMode == ProgramMode::WendraWin);
    EXPECT_EQ(rebuilds(), 1);

    f.mnuViewAllDesc.trigger();
    EXPECT_TRUE(f.viewAllByDescription);
    EXPECT_TRUE(f.mnuViewAllDesc.checked());
    // Ordered by description there is no past to fold or unfold.
    EXPECT_FALSE(f.mnuShrinkPastEvents.visible());
    EXPECT_FALSE(f.Toolbar1.button("toolbarExpand")->visible());
    EXPECT_EQ(rebuilds(), 2);

    f.mnuViewDefaultDays.trigger();
    EXPECT_FALSE(f.viewAll);
    EXPECT_TRUE(f.mnuViewDefaultDays.checked());
    EXPECT_TRUE(f.mnuShrinkPastEvents.visible());
    EXPECT_FALSE(listed("Next year"));
    EXPECT_EQ(rebuilds(), 3);
}

TEST_F(Menus, ListingAllByDescriptionUnfoldsThePastFirst) {
    store(oneOff("Last week", at(2024, 2, 27, 9, 30)));
    frmMain& f = start();
    ASSERT_TRUE(f.shrinkPast);
    f.mnuViewAllDesc.trigger();
    EXPECT_FALSE(f.shrinkPast);
    EXPECT_TRUE(listed("Last week"));
    EXPECT_EQ(f.mnuShrinkPastEvents.caption(), "Shrink past events");
    EXPECT_EQ(rebuilds(), 1);
}

TEST_F(Menus, ChangeDefaultCancelledLeavesTheViewAndSavedSwitchesToTheDefaultDays) {
    frmMain& f = start();
    f.mnuViewAll.trigger();
    settingsStore.windowSettingsSaves = 0;

    ui.dialogs.script("frmDefaultPriorWarn", [](ui::Form& d) {
        auto& dialog = dynamic_cast<frmDefaultPriorWarn&>(d);
        dialog.txtDaysInAdvance.setText("45");
        dialog.cmdCancel.press();
    });
    f.mnuViewNDays.trigger();
    EXPECT_TRUE(f.viewAll);
    EXPECT_FALSE(f.FlagCancel());
    EXPECT_EQ(f.settings()->PriorWarning(), 30);
    EXPECT_EQ(rebuilds(), 0);

    ui.dialogs.script("frmDefaultPriorWarn", [](ui::Form& d) {
        auto& dialog = dynamic_cast<frmDefaultPriorWarn&>(d);
        dialog.txtDaysInAdvance.setText("45");
        dialog.cmdSave.press();
    });
    f.mnuViewNDays.trigger();
    EXPECT_FALSE(f.viewAll);
    EXPECT_EQ(f.settings()->PriorWarning(), 45);
    EXPECT_EQ(f.mnuViewDefaultDays.caption(), "Default (45) days view");
    EXPECT_TRUE(f.mnuViewDefaultDays.checked());
    EXPECT_EQ(rebuilds(), 1);
}

// ---- the dialogs of the Options menu ----------------------------------------------------------

TEST_F(Menus, SettingsAreShownThenTheCaptionModeAndListFollowThem) {
    frmMain& f = start();
    ui.dialogs.script("frmOptions", [](ui::Form& d) {
        auto& dialog = dynamic_cast<frmOptions&>(d);
        dialog.txtDaysInAdvance.setText("12");
        dialog.cmdSave.press();
    });
    f.mnuOptions_Settings.trigger();
    EXPECT_EQ(f.settings()->PriorWarning(), 12);
    EXPECT_EQ(f.mnuViewDefaultDays.caption(), "Default (12) days view");
    EXPECT_EQ(f.noEventsText(), "\t\t\t\tNo events within 12 days");
    EXPECT_EQ(f.msGrid.textMatrix(1, grdSubject), "No events within 12 days");
    EXPECT_EQ(rebuilds(), 1);
    EXPECT_EQ(f.modalDialogs, 0);
}

TEST_F(Menus, TheModeChosenIsShownAndTheListRebuiltOnce) {
    frmMain& f = start();
    ui.dialogs.script("frmMode", [](ui::Form& d) {
        auto& dialog = dynamic_cast<frmMode&>(d);
        dialog.optMode[1].click();
        dialog.cmdSave.press();
    });
    f.mnuOptions_Mode.trigger();
    EXPECT_TRUE(f.settings()->ModeOutlook());
    EXPECT_EQ(f.state().gCurrentMode, ProgramMode::Outlook);
    EXPECT_EQ(f.getStatusText(), "Connecting to MSOutlook...");
    EXPECT_EQ(rebuilds(), 1);

    // Cancelled: the stored mode stays.
    ui.dialogs.script("frmMode", [](ui::Form& d) {
        auto& dialog = dynamic_cast<frmMode&>(d);
        dialog.optMode[0].click();
        dialog.cmdCancel.press();
    });
    f.mnuOptions_Mode.trigger();
    EXPECT_TRUE(f.settings()->ModeOutlook());
    EXPECT_EQ(f.state().gCurrentMode, ProgramMode::Outlook);
}

// ---- the minimal display ------------------------------------------------------------------------

TEST_F(Menus, TheMinimalDisplayKeepsTheWidthStaysOnTopAndComesBack) {
    frmMain& f = start();
    f.setWidth(9000);
    std::vector<bool> told;
    f.onMinimalDisplay = [&](bool on) { told.push_back(on); };

    f.mnuMini.trigger();
    EXPECT_TRUE(f.state().gMinimalDisplay);
    EXPECT_EQ(f.settings()->Width(), 9000);
    EXPECT_EQ(f.height(), 0);
    EXPECT_LE(f.width(), 5500);
    EXPECT_TRUE(f.alwaysOnTop());
    EXPECT_EQ(f.mnuMini.caption(), "Display Normal");

    // The list changes meanwhile, and the width kept stays the normal window's.
    f.refreshList();
    EXPECT_EQ(f.settings()->Width(), 9000);

    f.mnuMini.trigger();
    EXPECT_FALSE(f.state().gMinimalDisplay);
    EXPECT_EQ(f.width(), 9000);
    EXPECT_GT(f.height(), 0);
    EXPECT_FALSE(f.alwaysOnTop());
    EXPECT_EQ(f.mnuMini.caption(), "Display Minimal");
    EXPECT_EQ(told, (std::vector<bool>{true, false}));
    ASSERT_EQ(ui.placement.calls().size(), 2u);
    EXPECT_TRUE(ui.placement.calls()[0].onTop);
    EXPECT_FALSE(ui.placement.calls()[1].onTop);
}

// ---- the font ------------------------------------------------------------------------------------

TEST_F(Menus, AChosenFontReachesTheListAndTheWindowACancelChangesNothing) {
    frmMain& f = start();
    const ui::Font before = f.msGrid.font().value_or(f.font());
    f.mnuOptions_Font.trigger();  // unscripted: cancelled
    ASSERT_EQ(ui.fonts.calls().size(), 1u);
    EXPECT_EQ(ui.fonts.calls()[0], before);
    EXPECT_EQ(f.msGrid.font().value_or(f.font()), before);

    const int rowHeight = f.msGrid.rowHeight(0);
    const int dateWidth = f.msGrid.colWidth(6);
    const int windowHeight = f.height();
    const ui::Font big{"DejaVu Sans", 14, true, true};
    ui.fonts.answer(big);
    f.mnuOptions_Font.trigger();
    EXPECT_EQ(f.msGrid.font(), big);
    EXPECT_EQ(f.font(), big);
    EXPECT_EQ(rebuilds(), 0);
    // Rows, automatic columns and the window follow at once, without a rebuild.
    EXPECT_GT(f.msGrid.rowHeight(0), rowHeight);
    EXPECT_EQ(f.msGrid.rowHeight(0), ui.metrics.textHeight(big, "A") + 45);
    EXPECT_GT(f.msGrid.colWidth(6), dateWidth);
    EXPECT_GT(f.height(), windowHeight);
    // Stored with the next save of the window settings.
    f.saveWindowSettings();
    EXPECT_EQ(f.settings()->FontName(), "DejaVu Sans");
    EXPECT_EQ(f.settings()->FontSize(), 14);
}

// ---- help, about and exit -------------------------------------------------------------------------

TEST_F(Menus, HelpOpensTheHelpFileAndAMissingOneIsSilent) {
    frmMain& f = start();
    std::vector<std::string> opened;
    f.openDocument = [&](const std::string& path) {
        opened.push_back(path);
        return true;
    };
    ASSERT_FALSE(f.helpFile().empty());
    EXPECT_TRUE(f.helpFile().ends_with("WendraWin.chm"));
    f.mnuHelpTopics.trigger();
    EXPECT_TRUE(opened.empty());
    EXPECT_TRUE(ui.messages.calls().empty());

    std::ofstream(f.helpFile()) << "help";
    f.menuBar.triggerShortcut("F1");
    EXPECT_EQ(opened, std::vector<std::string>{f.helpFile()});

    // Nothing to open it with: still nothing said.
    f.openDocument = nullptr;
    f.mnuHelpTopics.trigger();
    EXPECT_TRUE(ui.messages.calls().empty());
}

TEST_F(Menus, AboutIsShownModalOverTheWindowAndExitEndsIt) {
    frmMain& f = start();
    f.mnuHelpAbout.trigger();
    ASSERT_EQ(ui.dialogs.calls().size(), 1u);
    EXPECT_EQ(ui.dialogs.calls()[0].form, "frmAbout");
    EXPECT_EQ(ui.dialogs.calls()[0].owner, "frmMain");
    EXPECT_TRUE(f.isLoaded());
    f.mnuFile_Exit.trigger();
    EXPECT_FALSE(f.isLoaded());
    // The shutdown ran: the window settings were saved.
    EXPECT_EQ(rebuilds(), 1);
}

}  // namespace
