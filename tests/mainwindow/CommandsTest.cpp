// The list commands of the main window over a real store: new, edit, edit one
// occurrence, visibility, hide or delete, from the toolbar, the grid and the
// menus; what a cancel and a failed save leave; the commands' state by row and
// mode; the grid's double click and current-row highlight.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "editor/frmDeleteMult.h"
#include "editor/frmDeleteSingle.h"
#include "editor/frmQVREvent.h"
#include "editor/frmVisibility.h"
#include "mainwindow/frmMain.h"
#include "store/modFuncs.h"
#include "tests/support/MainWindowRig.h"

using namespace wendra;

namespace {

DateTime at(int y, int m, int d, int h = 0, int mi = 0) { return DateTime::ymd(y, m, d, h, mi); }

class Commands : public ::testing::Test, protected test::MainWindowRig {
protected:
    // Outlook mode as the minute timer leaves it once connected (or not).
    void outlookMode(bool connected) {
        form->state().gOutlookConnected = connected;
        form->showMode(ProgramMode::Outlook);
    }
    void select(int row) {
        ASSERT_GE(row, 0);
        form->msGrid.click(row, grdSubject);
    }
};

void typeAndSave(ui::Form& dialog, std::string description) {
    auto& editor = dynamic_cast<frmQVREvent&>(dialog);
    editor.txtDesc.setText(std::move(description));
    editor.cmdSave.press();
}

// ---- new event -------------------------------------------------------------------------

TEST_F(Commands, ANewEventIsEditedSavedCountedAndAddedToTheList) {
    frmMain& f = start();
    std::string statusWhileOpen;
    int calendar = 0;
    int creator = 0;
    ui.dialogs.script(frmQVREvent::kFormName, [&](ui::Form& d) {
        statusWhileOpen = f.getStatusText();
        const clsCalEvent& handed = *dynamic_cast<frmQVREvent&>(d).event();
        calendar = handed.XCalendarId();
        creator = handed.CreatorId();
        typeAndSave(d, "Dentist");
    });
    const int before = counter();
    ASSERT_TRUE(f.Toolbar1.click("toolbarNew"));

    EXPECT_EQ(statusWhileOpen, "Editing: New Event");
    const int r = rowOf("Dentist");
    ASSERT_GE(r, 0);
    const auto ev = stored(gridKeyValue(f.msGrid.textMatrix(r, grdKey), Tag::Id));
    ASSERT_TRUE(ev.has_value());
    EXPECT_EQ(calendar, -1);
    EXPECT_EQ(creator, -1);
    EXPECT_EQ(counter(), before + 1);
    // The toolbar saved the window settings; the new row came by an update, not a rebuild.
    EXPECT_EQ(rebuilds(), 1);
    EXPECT_FALSE(f.FlagCancel());
    EXPECT_EQ(f.getStatusText(), "Mode: Wendra (win)");
    EXPECT_TRUE(ui.messages.calls().empty());
}

// Every dialog of the commands, closed without Save: by its Cancel button or by
// the close box (no script).
TEST_F(Commands, ACancelledDialogLeavesStoreCounterAndListUntouched) {
    const std::string oneId = store(oneOff("Dentist", at(2024, 3, 7, 9, 30)));
    const std::string weeklyId = store(weekly("Choir", at(2024, 3, 6, 19, 0)));
    frmMain& f = start();

    struct Case {
        const char* name;
        const char* row;
        std::function<void(frmMain&)> command;
        const char* dialog;
        std::function<void(ui::Form&)> cancel;  // empty: the close box
    };
    const std::vector<Case> cases{
        {"new, close box", "Dentist", [](frmMain& m) { m.newEvent(); }, frmQVREvent::kFormName, {}},
        {"edit, Cancel", "Dentist", [](frmMain& m) { m.editSelected(false); }, frmQVREvent::kFormName,
         [](ui::Form& d) {
             auto& e = dynamic_cast<frmQVREvent&>(d);
             e.txtDesc.setText("Changed");
             e.cmdCancel.press();
         }},
        {"visibility, Cancel", "Choir", [](frmMain& m) { m.editVisibility(); }, frmVisibility::kFormName,
         [](ui::Form& d) {
             auto& v = dynamic_cast<frmVisibility&>(d);
             v.optPriorWarning.select(4);
             v.cmdCancel.press();
         }},
        {"delete one-off, Cancel", "Dentist", [](frmMain& m) { m.deleteSelected(); }, frmDeleteSingle::kFormName,
         [](ui::Form& d) { dynamic_cast<frmDeleteSingle&>(d).cmdCancel.press(); }},
        {"delete series, close box", "Choir", [](frmMain& m) { m.deleteSelected(); }, frmDeleteMult::kFormName,
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        select(rowOf(c.row));
        const auto texts = gridTexts();
        const int before = counter();
        const std::string dentist = stored(oneId)->Description();
        const int choirWarning = stored(weeklyId)->PriorWarning();
        const std::size_t shown = ui.dialogs.calls().size();
        settingsStore.windowSettingsSaves = 0;
        if (c.cancel) ui.dialogs.script(c.dialog, c.cancel);

        c.command(f);

        ASSERT_EQ(ui.dialogs.calls().size(), shown + 1);
        EXPECT_EQ(ui.dialogs.calls().back().form, c.dialog);
        EXPECT_FALSE(f.FlagCancel());  // read once and reset
        EXPECT_EQ(counter(), before);
        EXPECT_EQ(stored(oneId)->Description(), dentist);
        EXPECT_EQ(stored(weeklyId)->PriorWarning(), choirWarning);
        EXPECT_EQ(gridTexts(), texts);
        EXPECT_EQ(rebuilds(), 0);
        EXPECT_TRUE(ui.messages.calls().empty());
    }
}

// ---- failed saves ---------------------------------------------------------------------------

TEST_F(Commands, AFailedSaveShowsItsMessageAndLeavesTheList) {
    store(oneOff("Dentist", at(2024, 3, 7, 9, 30)));
    store(weekly("Choir", at(2024, 3, 6, 19, 0)));
    frmMain& f = start();

    struct Case {
        const char* name;
        const char* row;
        std::function<void(frmMain&)> command;
        const char* dialog;
        std::function<void(ui::Form&)> save;
        const char* message;
    };
    const std::vector<Case> cases{
        {"new", "Dentist", [](frmMain& m) { m.newEvent(); }, frmQVREvent::kFormName,
         [](ui::Form& d) { typeAndSave(d, "Never stored"); }, "Failed to save the event"},
        {"edit", "Dentist", [](frmMain& m) { m.editSelected(false); }, frmQVREvent::kFormName,
         [](ui::Form& d) { typeAndSave(d, "Dentist, moved"); }, "Failed to save the event"},
        {"visibility", "Choir", [](frmMain& m) { m.editVisibility(); }, frmVisibility::kFormName,
         [](ui::Form& d) {
             auto& v = dynamic_cast<frmVisibility&>(d);
             v.optPriorWarning.select(4);
             v.cmdSave.press();
         },
         "Failed to save the event"},
        {"delete", "Dentist", [](frmMain& m) { m.deleteSelected(); }, frmDeleteSingle::kFormName,
         [](ui::Form& d) { dynamic_cast<frmDeleteSingle&>(d).cmdHide.press(); }, "Failed to delete event"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        select(rowOf(c.row));
        const auto texts = gridTexts();
        const int before = counter();
        settingsStore.windowSettingsSaves = 0;
        ui.messages.reset();
        // While the dialog is open the store loses its events table: whatever the
        // dialog saves then cannot be written.
        ui.dialogs.script(c.dialog, [&](ui::Form& d) {
            raw("ALTER TABLE Events RENAME TO EventsAway");
            c.save(d);
        });

        c.command(f);
        raw("ALTER TABLE EventsAway RENAME TO Events");

        ASSERT_EQ(ui.messages.calls().size(), 1u);
        EXPECT_EQ(ui.messages.last().text, c.message);
        EXPECT_EQ(ui.messages.last().icon, ui::MessageIcon::Critical);
        EXPECT_EQ(counter(), before);
        EXPECT_EQ(gridTexts(), texts);
        EXPECT_EQ(rebuilds(), 0);
    }
}

// ---- rows that cannot be edited --------------------------------------------------------------

TEST_F(Commands, ARowMarkedChangedIsRefusedByEditDeleteAndVisibility) {
    const std::string id = store(weekly("Choir", at(2024, 3, 6, 19, 0)));
    frmMain& f = start();
    const std::string oldKey = f.msGrid.textMatrix(rowOf("Choir"), grdKey);
    // Moved to Thursdays by the gadget's process: the rows of the Wednesdays stay,
    // marked, until the next rebuild.
    clsCalEvent ev = *stored(id);
    ev.setEventStart(at(2024, 3, 7, 19, 0));
    ev.setViewFromDate(at(2024, 3, 7, 19, 0));
    ASSERT_EQ(f.doSave(ev, SaveMode::Always, false), SaveResult::Saved);
    f.updateList(id);
    int stale = -1;
    for (int r = f.msGrid.fixedRows(); r < f.msGrid.rows(); ++r)
        if (f.msGrid.textMatrix(r, grdKey) == oldKey) stale = r;
    ASSERT_GE(stale, 0);
    ASSERT_TRUE(f.isSummaryRow(stale));
    select(stale);
    const int before = counter();

    f.deleteSelected();
    f.editVisibility();
    f.editSelected(false);

    EXPECT_EQ(messages(), std::vector<std::string>(3, f.state().sMsgEventHidden));
    for (const auto& m : ui.messages.calls()) EXPECT_EQ(m.icon, ui::MessageIcon::Exclamation);
    EXPECT_TRUE(ui.dialogs.calls().empty());
    // No exclusion for a Wednesday the event no longer has.
    EXPECT_EQ(stored(id)->ExDates(), "");
    EXPECT_EQ(counter(), before);
}

TEST_F(Commands, AnEventGoneFromTheStoreOrNotEditableIsReported) {
    const std::string goneId = store(oneOff("Gone", at(2024, 3, 7, 9, 30)));
    clsCalEvent twoRules = weekly("Two rules", at(2024, 3, 6, 19, 0));
    twoRules.addRRule().setFrequency(clsCalRRule::kDaily);
    store(twoRules);
    frmMain& f = start();
    raw("DELETE FROM Events WHERE WendraWinId = " + goneId);

    select(rowOf("Gone"));
    f.editSelected(false);
    f.editVisibility();
    f.deleteSelected();
    select(rowOf("Two rules"));
    f.editSelected(false);

    EXPECT_EQ(messages(), (std::vector<std::string>{
                              "Could not find that event", "Could not find that event", "Could not find that event",
                              "This event contains data imported from MSOutlook that cannot be edited using Wendra(win).",
                          }));
    EXPECT_TRUE(ui.dialogs.calls().empty());
    EXPECT_EQ(f.getStatusText(), "Mode: Wendra (win)");
}

// ---- hide or delete ----------------------------------------------------------------------------

TEST_F(Commands, DeletingOneOccurrenceExcludesTheRowsOwnDateFromTheKeyEvenAfter2029) {
    clock.set(at(2031, 6, 10, 8, 0));
    const std::string id = store(weekly("Choir", at(2031, 6, 3, 19, 0)));
    frmMain& f = start();
    const int r = rowOf("Choir", 1);  // 17 June 2031, the second row of the series
    ASSERT_GE(r, 0);
    ASSERT_EQ(gridKeyValue(f.msGrid.textMatrix(r, grdKey), Tag::Occr), "20310617T190000");
    select(r);
    DateTime chosen;
    bool allDay = true;
    ui.dialogs.script(frmDeleteMult::kFormName, [&](ui::Form& d) {
        auto& dialog = dynamic_cast<frmDeleteMult&>(d);
        chosen = dialog.ChosenDate();
        allDay = dialog.AllDayOccur();
        dialog.optDelete.select(0);  // chosen date only
        dialog.cmdHide.press();
    });
    const int before = counter();

    f.deleteSelected();

    EXPECT_EQ(chosen, at(2031, 6, 17, 19, 0));
    EXPECT_FALSE(allDay);
    const auto ev = stored(id);
    ASSERT_TRUE(ev.has_value());
    EXPECT_NE(ev->ExDates().find("20310617"), std::string::npos) << ev->ExDates();
    EXPECT_EQ(ev->ExDates().find("1931"), std::string::npos) << ev->ExDates();
    EXPECT_EQ(counter(), before + 1);
    EXPECT_TRUE(ui.messages.calls().empty());
    // The list no longer shows that occurrence; the others stay.
    for (int row = f.msGrid.fixedRows(); row < f.msGrid.rows(); ++row) {
        const std::string key = f.msGrid.textMatrix(row, grdKey);
        if (gridKeyValue(key, Tag::Occr) == "20310617T190000") {
            EXPECT_TRUE(f.isSummaryRow(row));
        }
    }
    EXPECT_GE(rowOf("Choir"), 0);
}

TEST_F(Commands, AnAllDayOccurrenceGoesToTheDialogAsADay) {
    clsCalEvent ev = weekly("Bins", at(2024, 3, 4));
    ev.setAllDayEvent(true);
    store(ev);
    frmMain& f = start();
    select(rowOf("Bins"));
    DateTime chosen;
    bool allDay = false;
    ui.dialogs.script(frmDeleteMult::kFormName, [&](ui::Form& d) {
        auto& dialog = dynamic_cast<frmDeleteMult&>(d);
        chosen = dialog.ChosenDate();
        allDay = dialog.AllDayOccur();
    });
    f.deleteSelected();
    EXPECT_EQ(chosen, at(2024, 3, 11));
    EXPECT_TRUE(allDay);
}

TEST_F(Commands, DeletingAFutureOneOffRemovesItFromStoreAndList) {
    const std::string id = store(oneOff("Dentist", at(2024, 3, 7, 9, 30)));
    frmMain& f = start();
    select(rowOf("Dentist"));
    ui.dialogs.script(frmDeleteSingle::kFormName,
                      [](ui::Form& d) { dynamic_cast<frmDeleteSingle&>(d).cmdHide.press(); });
    f.Toolbar1.click("toolbarDelete");
    EXPECT_FALSE(stored(id).has_value());
    const int r = rowOf("Dentist");
    EXPECT_TRUE(r < 0 || f.isSummaryRow(r));
    EXPECT_TRUE(ui.messages.calls().empty());
}

// ---- visibility ---------------------------------------------------------------------------------

TEST_F(Commands, ASavedVisibilityIsStoredAndTheWholeListBuiltOnce) {
    const std::string id = store(weekly("Choir", at(2024, 3, 6, 19, 0)));
    frmMain& f = start();
    select(rowOf("Choir"));
    std::string statusWhileOpen;
    ui.dialogs.script(frmVisibility::kFormName, [&](ui::Form& d) {
        statusWhileOpen = f.getStatusText();
        auto& v = dynamic_cast<frmVisibility&>(d);
        v.optPriorWarning.select(4);  // 3 days prior
        v.cmdSave.press();
    });
    const int before = counter();
    f.editVisibility();
    EXPECT_EQ(statusWhileOpen, "Editing visibility for: Choir");
    EXPECT_EQ(stored(id)->PriorWarning(), 3);
    EXPECT_FALSE(stored(id)->PriorWarningIsDefault());
    EXPECT_EQ(counter(), before + 1);
    EXPECT_EQ(rebuilds(), 1);
    EXPECT_EQ(f.getStatusText(), "Mode: Wendra (win)");
}

// ---- editing -----------------------------------------------------------------------------------------

TEST_F(Commands, EditingSavesTheChangeAndUpdatesItsRows) {
    const std::string id = store(oneOff("Dentist", at(2024, 3, 7, 9, 30)));
    frmMain& f = start();
    select(rowOf("Dentist"));
    std::string statusWhileOpen;
    ui.dialogs.script(frmQVREvent::kFormName, [&](ui::Form& d) {
        statusWhileOpen = f.getStatusText();
        typeAndSave(d, "Dentist at ten");
    });
    f.msGrid.dblClick();
    EXPECT_EQ(statusWhileOpen, "Editing: Dentist");
    EXPECT_EQ(stored(id)->Description(), "Dentist at ten");
    EXPECT_GE(rowOf("Dentist at ten"), 0);
    EXPECT_EQ(rebuilds(), 0);
}

// ---- Outlook mode ------------------------------------------------------------------------------------

TEST_F(Commands, InOutlookModeANewEventComesFromOutlooksWindowAndIsStoredWithoutCopyingItBack) {
    frmMain& f = start();
    outlookMode(true);
    outlook.item = oneOff("Team lunch", at(2024, 3, 6, 12, 0));
    bool enabledWhileOpen = true;
    outlook.whileOpen = [&] { enabledWhileOpen = f.enabled(); };
    const int before = counter();
    f.newEvent();
    EXPECT_FALSE(enabledWhileOpen);
    EXPECT_TRUE(f.enabled());
    EXPECT_EQ(outlook.calls, std::vector<std::string>{"displayAddForm"});
    EXPECT_GE(rowOf("Team lunch"), 0);
    EXPECT_EQ(counter(), before + 1);
    EXPECT_TRUE(ui.dialogs.calls().empty());

    // Closed without saving: nothing.
    outlook.formSaves = false;
    outlook.item = oneOff("Never", at(2024, 3, 6, 12, 0));
    f.newEvent();
    EXPECT_LT(rowOf("Never"), 0);
    EXPECT_EQ(counter(), before + 1);
}

TEST_F(Commands, InOutlookModeAnEditGoesToOutlooksWindowAndAChangeIsSynchronised) {
    clock.set(at(2031, 6, 10, 8, 0));
    const std::string id = store(weekly("Choir", at(2031, 6, 4, 19, 0)));
    frmMain& f = start();
    outlookMode(true);
    // The item as Outlook reads it back, with its entry id.
    outlook.item = *stored(id);
    outlook.item.setXID("ENTRY-1");
    std::vector<std::string> synced;
    f.onSyncOutlook = [&](const std::string& wid, int calendar, const std::string& xid) {
        synced.push_back(wid + " " + std::to_string(calendar) + " " + xid);
    };

    select(rowOf("Choir"));
    // The row is the store's event: the calendar finds it through the event's link.
    const std::string find = "Find Choir in -1 as ";
    f.editSelected(false);
    EXPECT_EQ(outlook.calls, (std::vector<std::string>{find, "displayEditForm series"}));
    EXPECT_EQ(synced, std::vector<std::string>{id + " 7 ENTRY-1"});
    EXPECT_EQ(f.mousePointer(), ui::MousePointer::Default);

    // One occurrence: the one the row's key names, whatever its date cell says.
    outlook.calls.clear();
    synced.clear();
    select(rowOf("Choir", 1));
    ui.messages.answer(ui::MessageAnswer::Yes);
    f.editSelected(true);
    EXPECT_EQ(outlook.askedOccurrence, at(2031, 6, 18, 19, 0));
    EXPECT_EQ(outlook.calls,
              (std::vector<std::string>{find, "findOccur", "displayEditForm occurrence"}));
    EXPECT_EQ(synced.size(), 1u);

    // Unchanged in Outlook: nothing to bring back.
    outlook.formSaves = false;
    synced.clear();
    f.editSelected(false);
    EXPECT_TRUE(synced.empty());
}

TEST_F(Commands, InOutlookModeAnItemOrOccurrenceNoLongerThereIsReported) {
    store(weekly("Choir", at(2024, 3, 6, 19, 0)));
    frmMain& f = start();
    outlookMode(true);
    select(rowOf("Choir"));
    // One occurrence is asked for first; No stops before Outlook is asked anything.
    ui.messages.answer(ui::MessageAnswer::No);
    f.Toolbar1.click("toolbarEditOccur");
    ASSERT_EQ(ui.messages.calls().size(), 1u);
    EXPECT_EQ(ui.messages.last().title, "Confirm ?");
    EXPECT_EQ(ui.messages.last().buttons, ui::MessageButtons::YesNo);
    EXPECT_TRUE(outlook.calls.empty());
    ui.messages.reset();

    outlook.found = false;
    f.editSelected(false);
    outlook.found = true;
    outlook.occurrenceFound = false;
    ui.messages.answer(ui::MessageAnswer::Yes);
    f.editSelected(true);
    EXPECT_EQ(messages(), (std::vector<std::string>{
                              "Could no longer find that event in Microsoft Outlook.",
                              "You have chosen to edit a single occurrence of a repeating event.\r\n"
                              "Any changes will be made to the highlighted occurrence only.\r\nContinue ?",
                              "Could no longer find the occurrence in Microsoft Outlook.",
                          }));
    EXPECT_EQ(std::count(outlook.calls.begin(), outlook.calls.end(), std::string("displayEditForm occurrence")), 0);
}

// ---- the commands' state by row and mode ---------------------------------------------------------------

TEST_F(Commands, TheEditCommandsFollowTheRowAndTheMode) {
    store(oneOff("Last week", at(2024, 2, 27, 9, 30)));
    store(oneOff("Dentist", at(2024, 3, 7, 9, 30)));
    store(weekly("Choir", at(2024, 3, 6, 19, 0)));
    frmMain& f = start();
    const int past = f.list()->pastEventsRow();
    ASSERT_GE(past, 0);

    struct Mode {
        int mode;
        bool connected;
    };
    struct Row {
        int row;
        bool event;
        bool repeating;
    };
    const std::vector<Row> rows{{past, false, false}, {rowOf("Dentist"), true, false}, {rowOf("Choir"), true, true}};
    for (const Mode m : {Mode{0, false}, Mode{1, false}, Mode{1, true}}) {
        if (m.mode == 0) {
            f.state().gOutlookConnected = false;
            f.showMode(ProgramMode::WendraWin);
        } else {
            outlookMode(m.connected);
        }
        for (const Row& r : rows) {
            SCOPED_TRACE("mode " + std::to_string(m.mode) + (m.connected ? " connected" : "") + ", row " +
                         std::to_string(r.row));
            select(r.row);
            const bool occurrence = r.repeating && m.mode == 1 && m.connected;
            EXPECT_EQ(f.Toolbar1.button("toolbarEditSeries")->enabled(), r.event);
            EXPECT_EQ(f.Toolbar1.button("toolbarDelete")->enabled(), r.event);
            EXPECT_EQ(f.Toolbar1.button("toolbarVisibility")->enabled(), r.event);
            EXPECT_EQ(f.Toolbar1.button("toolbarEditOccur")->enabled(), occurrence);
            EXPECT_EQ(f.mnuActions_EditSeries.enabled(), r.event);
            EXPECT_EQ(f.mnuActions_Delete.enabled(), r.event);
            EXPECT_EQ(f.mnuActions_Visibility.enabled(), r.event);
            EXPECT_EQ(f.mnuActions_EditOccur.enabled(), occurrence);
            // New, Refresh and Font never depend on the row.
            EXPECT_TRUE(f.mnuActions_NewQuickEvent.enabled());
        }
    }
    // A disabled command does nothing from its shortcut either.
    f.showMode(ProgramMode::WendraWin);
    select(past);
    EXPECT_FALSE(f.menuBar.triggerShortcut("Ctrl+E"));
    EXPECT_TRUE(ui.dialogs.calls().empty());
}

TEST_F(Commands, TheHeadingRowIsNoChoiceAndTheCurrentDescriptionIsHighlighted) {
    store(oneOff("Dentist", at(2024, 3, 7, 9, 30)));
    store(oneOff("Optician", at(2024, 3, 8, 9, 30)));
    frmMain& f = start();
    ASSERT_EQ(f.msGrid.fixedRows(), 1);
    f.msGrid.click(0, grdTime);
    EXPECT_EQ(f.msGrid.row(), 1);
    EXPECT_EQ(f.msGrid.cellBackColourAt(1, grdSubject), ui::Colour(0xFFFFC0));

    const int dentist = rowOf("Dentist");
    const int optician = rowOf("Optician");
    select(optician);
    EXPECT_EQ(f.msGrid.cellBackColourAt(optician, grdSubject), ui::Colour(0xFFFFC0));
    // Only the current row's cell: the one left takes the grid's colour again, whichever cell was left.
    f.msGrid.click(dentist, grdDate);
    EXPECT_EQ(f.msGrid.cellBackColourAt(optician, grdSubject), std::nullopt);
    EXPECT_EQ(f.msGrid.cellBackColourAt(dentist, grdSubject), ui::Colour(0xFFFFC0));
    EXPECT_EQ(f.msGrid.effectiveBackColour(optician, grdSubject), f.msGrid.backColour());
    for (int c = 0; c < kListColumns; ++c) {
        if (c != grdSubject && c != grdWendra) {
            EXPECT_EQ(f.msGrid.cellBackColourAt(dentist, c), std::nullopt) << c;
        }
    }
}

// ---- the grid's double click -------------------------------------------------------------------------

TEST_F(Commands, DoubleClickingThePastEventsRowUnfoldsItWhenItHoldsMoreThanOne) {
    store(oneOff("Last week", at(2024, 2, 27, 9, 30)));
    store(oneOff("Dentist", at(2024, 3, 7, 9, 30)));
    frmMain& f = start();
    select(f.list()->pastEventsRow());
    const auto texts = gridTexts();
    f.msGrid.dblClick();
    EXPECT_TRUE(f.shrinkPast);
    EXPECT_EQ(gridTexts(), texts);
    EXPECT_EQ(rebuilds(), 0);

    form.reset();
    store(oneOff("Yesterday", at(2024, 3, 4, 9, 30)));
    start();
    select(form->list()->pastEventsRow());
    ASSERT_EQ(form->list()->pastCount(), 2);
    form->msGrid.dblClick();
    EXPECT_FALSE(form->shrinkPast);
    EXPECT_GE(rowOf("Last week"), 0);
    EXPECT_GE(rowOf("Yesterday"), 0);
    EXPECT_EQ(form->mnuShrinkPastEvents.caption(), "Shrink past events");
    EXPECT_TRUE(ui.dialogs.calls().empty());
}

// ---- the toolbar ---------------------------------------------------------------------------------------

TEST_F(Commands, TheToolbarSavesTheWindowSettingsAndRunsItsButtonsCommand) {
    store(oneOff("Last week", at(2024, 2, 27, 9, 30)));
    store(oneOff("Yesterday", at(2024, 3, 4, 9, 30)));
    frmMain& f = start();

    f.Toolbar1.click("toolbarRefresh");
    EXPECT_EQ(rebuilds(), 2);  // the toolbar's save and the rebuild's own

    f.Toolbar1.click("toolbarExpand");
    EXPECT_FALSE(f.shrinkPast);
    f.Toolbar1.click("toolbarShrink");
    EXPECT_TRUE(f.shrinkPast);

    const bool alarm = f.settings()->Alarm();
    f.Toolbar1.click("toolbarAlarm");
    EXPECT_EQ(f.settings()->Alarm(), !alarm);
    EXPECT_EQ(f.mnuAlarm.checked(), !alarm);

    f.Toolbar1.click("toolbarFont");
    EXPECT_EQ(ui.fonts.calls().size(), 1u);
}

}  // namespace
