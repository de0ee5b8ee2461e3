// The main window's menus: the entries the layout part does not make, their
// handlers, the views of the list, the minimal display, the font, help and exit.
#include <filesystem>
#include <string>
#include <system_error>

#include "mainwindow/frmAbout.h"
#include "mainwindow/frmDefaultPriorWarn.h"
#include "mainwindow/frmMain.h"
#include "mainwindow/frmMode.h"
#include "mainwindow/frmOptions.h"
#include "platform/ui/Layout.h"

namespace wendra {

namespace {

constexpr std::string_view kCaptionMinimal = "Display Minimal";
constexpr std::string_view kCaptionNormal = "Display Normal";

}  // namespace

const std::vector<frmMain::MenuOrder>& frmMain::menuDesign() {
    static const std::vector<MenuOrder> design{
        {"", {"mnuFile", "mnuView", "mnuTools", "mnuHelp"}},
        {"mnuFile",
         {"mnuActions_NewQuickEvent", "mnuActions_EditSeries", "mnuActions_EditOccur", "mnuActions_Delete",
          "mnuActions_Visibility", "mnuAddIns", "mnuFile_Exit"}},
        {"mnuView",
         {"mnuShrinkPastEvents", "mnuViewCurrent", "mnuView_Headings", "mnuView_Date", "mnuView_DayOfWeek",
          "mnuView_Time", "mnuView_Wendra", "mnuView_LongDescription", "mnuView_Merge", "mnuAddInMenu_Underline",
          "mnuMini", "mnuActions_Refresh"}},
        {"mnuViewCurrent", {"mnuViewDefaultDays", "mnuViewNDays", "mnuViewAll", "mnuViewAllDesc"}},
        {"mnuView_Merge", {"mnuMerge_Dates", "mnuMerge_DaysOfWeek", "mnuMerge_Wendra"}},
        {"mnuTools", {"mnuOptions_Settings", "mnuOptions_Mode", "mnuAlarm", "mnuOptions_Font"}},
        {"mnuHelp", {"mnuHelpTopics", "mnuActions_Underline3", "mnuHelpAbout"}},
    };
    return design;
}

frmMain::CommandWiring::CommandWiring(frmMain& f) {
    f.addMenuEntries();
    f.wireCommands();
}

// Runs while the window's members are made, before the layout part adds its own
// entries; those it adds then (Edit Occurrence, Visibility, the view entries, the
// alarm and the first three menus) come after these in each menu's list, and
// menuDesign() holds the order the window shows.
void frmMain::addMenuEntries() {
    for (ui::Command* separator : {&mnuAddIns, &mnuAddInMenu_Underline, &mnuActions_Underline3})
        separator->setStyle(ui::CommandStyle::Separator);

    mnuFile.add(mnuActions_NewQuickEvent);
    mnuFile.add(mnuActions_EditSeries);
    mnuFile.add(mnuActions_Delete);
    mnuFile.add(mnuAddIns);
    mnuFile.add(mnuFile_Exit);

    mnuViewCurrent.add(mnuViewNDays);
    mnuView.add(mnuAddInMenu_Underline);
    mnuView.add(mnuMini);
    mnuView.add(mnuActions_Refresh);

    mnuTools.add(mnuOptions_Settings);
    mnuTools.add(mnuOptions_Mode);
    mnuTools.add(mnuOptions_Font);

    mnuHelp.add(mnuHelpTopics);
    mnuHelp.add(mnuActions_Underline3);
    mnuHelp.add(mnuHelpAbout);
    menuBar.add(mnuHelp);

    mnuActions_NewQuickEvent.onClick = [this] { newEvent(); };
    mnuActions_EditSeries.onClick = [this] { editSelected(false); };
    mnuActions_EditOccur.onClick = [this] { editSelected(true); };
    mnuActions_Delete.onClick = [this] { deleteSelected(); };
    mnuActions_Visibility.onClick = [this] { editVisibility(); };
    mnuFile_Exit.onClick = [this] { mnuFile_Exit_Click(); };

    mnuViewDefaultDays.onClick = [this] { mnuViewDefaultDays_Click(); };
    mnuViewNDays.onClick = [this] { mnuViewNDays_Click(); };
    mnuViewAll.onClick = [this] { mnuViewAll_Click(); };
    mnuViewAllDesc.onClick = [this] { mnuViewAllDesc_Click(); };
    mnuView_DayOfWeek.onClick = [this] { mnuView_DayOfWeek_Click(); };
    mnuMerge_DaysOfWeek.onClick = [this] { mnuMerge_DaysOfWeek_Click(); };
    mnuMini.onClick = [this] { mnuMini_Click(); };
    mnuActions_Refresh.onClick = [this] {
        if (commandsReady()) refreshList();
    };

    mnuOptions_Settings.onClick = [this] { mnuOptions_Settings_Click(); };
    mnuOptions_Mode.onClick = [this] { mnuOptions_Mode_Click(); };
    mnuOptions_Font.onClick = [this] { chooseFont(); };
    mnuHelpTopics.onClick = [this] { mnuHelpTopics_Click(); };
    mnuHelpAbout.onClick = [this] { mnuHelpAbout_Click(); };
}

// ---- File -----------------------------------------------------------------------

void frmMain::mnuFile_Exit_Click() { unload(); }

// ---- View: the window of dates the list shows ---------------------------------------

// What every choice of view does after it has set the list's view.
void frmMain::applyViewChoice() {
    applyModeToolbar(state_.gCurrentMode);
    showModeFromSettings();
    refreshList();
}

void frmMain::mnuViewDefaultDays_Click() {
    if (!commandsReady()) return;
    viewAll = false;
    viewAllByDescription = false;
    applyViewChoice();
}

void frmMain::mnuViewNDays_Click() {
    if (!commandsReady()) return;
    // The dialog sets the flag on every way out but Save, so it must start clear.
    setFlagCancel(false);
    {
        frmDefaultPriorWarn dialog(*gSettings_, c_.services, *this, *this);
        ModalScope modal(*this);
        c_.services.dialogs.showModal(dialog, this);
    }
    if (FlagCancel()) {
        setFlagCancel(false);
        return;
    }
    mnuViewDefaultDays_Click();
}

void frmMain::mnuViewAll_Click() {
    if (!commandsReady()) return;
    viewAll = true;
    viewAllByDescription = false;
    applyViewChoice();
}

void frmMain::mnuViewAllDesc_Click() {
    if (!commandsReady()) return;
    // A list ordered by description has no past-events row to fold into.
    expandPastRows(false);
    viewAll = true;
    viewAllByDescription = true;
    applyViewChoice();
}

// ---- View: columns and merging ---------------------------------------------------------
// The check mark is the model's: the view shows it and never flips it itself, so
// each handler flips it exactly once.

void frmMain::mnuView_DayOfWeek_Click() {
    mnuView_DayOfWeek.setChecked(!mnuView_DayOfWeek.checked());
    if (!commandsReady()) return;
    gSettings_->setViewDayOfWeek(columnSetting(mnuView_DayOfWeek.checked(), grdDayofWeek, true));
    refreshList();
}

void frmMain::mnuMerge_DaysOfWeek_Click() {
    mnuMerge_DaysOfWeek.setChecked(!mnuMerge_DaysOfWeek.checked());
    if (!commandsReady()) return;
    gSettings_->setMergeDaysOfWeek(mnuMerge_DaysOfWeek.checked());
    refreshList();
}

// ---- View: the minimal display -----------------------------------------------------------

void frmMain::mnuMini_Click() {
    if (!commandsReady()) return;
    state_.gMiniLayoutDone = false;
    state_.gMinimalDisplay = !state_.gMinimalDisplay;
    const bool on = state_.gMinimalDisplay;
    // The normal window's width is kept while the caption alone shows, and comes back.
    if (on) {
        gSettings_->setWidth(width());
    } else {
        setWidth(gSettings_->Width());
    }
    if (onMinimalDisplay) onMinimalDisplay(on);
    layoutForm();
    ui::setAlwaysOnTop(*this, on, c_.services.placement);
    mnuMini.setCaption(std::string(on ? kCaptionNormal : kCaptionMinimal));
}

// ---- Options ---------------------------------------------------------------------------

void frmMain::mnuOptions_Settings_Click() {
    if (!commandsReady()) return;
    {
        frmOptions dialog(*gSettings_, c_.services, [this](bool displayWarn) { return openCommPort(displayWarn); });
        ModalScope modal(*this);
        c_.services.dialogs.showModal(dialog, this);
    }
    updateCaption();
    showModeFromSettings();
    refreshList();
}

void frmMain::mnuOptions_Mode_Click() {
    if (!commandsReady()) return;
    {
        frmMode dialog(*gSettings_, c_.services, c_.outlook);
        ModalScope modal(*this);
        c_.services.dialogs.showModal(dialog, this);
    }
    showModeFromSettings();
    refreshList();
}

void frmMain::chooseFont() {
    const ui::Font current = msGrid.font().value_or(font());
    const std::optional<ui::Font> chosen = c_.services.fonts.choose(current);
    if (!chosen) return;
    const int description = msGrid.cols() > grdSubject ? msGrid.colWidth(grdSubject) : 0;
    msGrid.setFont(*chosen);
    // The window's own font measures the columns' sample texts.
    setFont(*chosen);
    // Widths and heights follow the font at once, not at the next rebuild.
    setColumnWidths();
    fitRowHeight();
    layoutForm();
    keepDescriptionWidth(description);
}

// ---- Help --------------------------------------------------------------------------------

void frmMain::mnuHelpTopics_Click() { openHelpFile(); }

void frmMain::openHelpFile() {
    // No help file beside the program, or nothing that opens it: nothing to say.
    std::error_code ec;
    if (helpFile_.empty() || !std::filesystem::is_regular_file(helpFile_, ec)) return;
    if (openDocument) openDocument(helpFile_);
}

void frmMain::mnuHelpAbout_Click() {
    frmAbout about(*this);
    ModalScope modal(*this);
    c_.services.dialogs.showModal(about, this);
}

}  // namespace wendra
