// The commands on the list: a new event, editing the selected event or one of its
// occurrences, its visibility, hiding or deleting it; the toolbar that runs them
// and the grid's own events. The dialogs edit the event in memory; the window
// reads its cancel flag once they close and saves through doSave.
#include <optional>
#include <string>

#include "editor/frmDeleteMult.h"
#include "editor/frmDeleteSingle.h"
#include "editor/frmQVREvent.h"
#include "editor/frmVisibility.h"
#include "mainwindow/frmMain.h"
#include "store/modFuncs.h"

namespace wendra {

namespace {

// The description cell of the current row.
constexpr ui::Colour kCurrentDescription = 0xFFFFC0;

constexpr std::string_view kMsgNotFound = "Could not find that event";
constexpr std::string_view kMsgNotEditable =
    "This event contains data imported from MSOutlook that cannot be edited using Wendra(win).";
constexpr std::string_view kMsgOutlookNotFound = "Could no longer find that event in Microsoft Outlook.";
constexpr std::string_view kMsgOutlookOccurNotFound = "Could no longer find the occurrence in Microsoft Outlook.";
constexpr std::string_view kMsgSaveFailed = "Failed to save the event";
constexpr std::string_view kMsgSaveFailedOutlookNew = "Failed to save the event to Wendra (win)";
constexpr std::string_view kMsgDeleteFailed = "Failed to delete event";
constexpr std::string_view kAskOccurrence =
    "You have chosen to edit a single occurrence of a repeating event.\r\n"
    "Any changes will be made to the highlighted occurrence only.\r\n"
    "Continue ?";
constexpr std::string_view kAskOccurrenceTitle = "Confirm ?";

// The window is disabled while Outlook's own window is open over it.
class DisabledWhile {
public:
    explicit DisabledWhile(ui::Form& form) : form_(form) { form_.setEnabled(false); }
    ~DisabledWhile() { form_.setEnabled(true); }
    DisabledWhile(const DisabledWhile&) = delete;
    DisabledWhile& operator=(const DisabledWhile&) = delete;

private:
    ui::Form& form_;
};

}  // namespace

void frmMain::wireCommands() {
    Toolbar1.onButtonClick = [this](ui::Command& button) { Toolbar1_ButtonClick(button.name()); };
    msGrid.onDblClick = [this] { msGrid_DblClick(); };
    msGrid.onRowColChange = [this] { msGrid_RowColChange(); };
    msGrid.onLeaveCell = [this] { msGrid_LeaveCell(); };
}

// ---- messages ---------------------------------------------------------------------

void frmMain::notice(std::string_view text) {
    c_.services.messages.show(std::string(text), ui::MessageButtons::OK, ui::MessageIcon::Exclamation);
}

void frmMain::failure(std::string_view text) {
    c_.services.messages.show(std::string(text), ui::MessageButtons::OK, ui::MessageIcon::Critical);
}

// ---- the toolbar --------------------------------------------------------------------

void frmMain::Toolbar1_ButtonClick(std::string_view key) {
    if (!commandsReady()) return;
    saveWindowSettings();
    if (key == "toolbarNew") {
        newEvent();
    } else if (key == "toolbarEditSeries") {
        editSelected(false);
    } else if (key == "toolbarEditOccur") {
        editSelected(true);
    } else if (key == "toolbarDelete") {
        deleteSelected();
    } else if (key == "toolbarVisibility") {
        editVisibility();
    } else if (key == "toolbarExpand") {
        expandPastRows(true);
    } else if (key == "toolbarShrink") {
        shrinkPastRows();
    } else if (key == "toolbarRefresh") {
        refreshList();
    } else if (key == "toolbarAlarm") {
        toggleAlarm();
    } else if (key == "toolbarFont") {
        chooseFont();
    }
}

// ---- dialogs ------------------------------------------------------------------------

bool frmMain::showEditingDialog(ui::Form& dialog) {
    // The dialog sets the flag as it loads; one that never loads must not read as saved.
    setFlagCancel(true);
    {
        ModalScope modal(*this);
        c_.services.dialogs.showModal(dialog, this);
    }
    if (FlagCancel()) {
        setFlagCancel(false);
        return false;
    }
    return true;
}

bool frmMain::editInQVREvent(clsCalEvent& ev) {
    QVREventOptions options;
    options.opener = this;
    options.listFont = msGrid.font().value_or(font());
    frmQVREvent editor(c_.services, *gSettings_, std::move(options));
    editor.CalEvent(ev);
    return showEditingDialog(editor);
}

void frmMain::saveEdited(clsCalEvent& ev, bool excludeOutlook, std::string_view failureText, bool wholeList) {
    if (doSave(ev, SaveMode::Always, excludeOutlook) == SaveResult::StoreFailed) {
        failure(failureText);
    } else if (wholeList) {
        refreshList();
    } else {
        updateList(ev.WendraWinId());
    }
}

bool frmMain::findSelected(clsCalEvent& ev, const std::string& key) {
    const std::string id = gridKeyValue(key, Tag::Id);
    if (!id.empty() && gData_->Find(ev, gData_->CalendarId(), id)) return true;
    if (isSummaryRow(msGrid.row())) {
        notice(state_.sMsgEventHidden);
    } else {
        notice(kMsgNotFound);
    }
    return false;
}

bool frmMain::isSummaryRow(int row) const { return msGrid.textMatrix(row, grdModified) == "X"; }

// ---- new event ---------------------------------------------------------------------

void frmMain::newEvent() {
    if (!commandsReady()) return;
    clsCalEvent ev;
    const ProgramMode mode = state_.gCurrentMode;
    if (mode == ProgramMode::WendraWin) {
        ev.setXCalendarId(clsDataQVR::kLocalCalendarId);
        ev.setCreatorId(-1);
        setStatusText("Editing: New Event");
        if (editInQVREvent(ev)) saveEdited(ev, false, kMsgSaveFailed);
    } else if (mode == ProgramMode::Outlook) {
        bool saved = false;
        {
            DisabledWhile disabled(*this);
            saved = c_.outlook.displayAddForm(ev);
        }
        // Outlook has it already: the store takes its copy.
        if (saved) saveEdited(ev, true, kMsgSaveFailedOutlookNew);
    }
    updateTimedRows();
    updateCaption();
    showMode(state_.gCurrentMode);
}

// ---- editing ----------------------------------------------------------------------

void frmMain::editSelected(bool occurrence) {
    if (!commandsReady()) return;
    if (isSummaryRow(msGrid.row())) {
        notice(state_.sMsgEventHidden);
        return;
    }
    const std::string key = selectedKey();
    if (key.empty()) return;
    if (occurrence && c_.services.messages.show(std::string(kAskOccurrence), ui::MessageButtons::YesNo,
                                                ui::MessageIcon::None, std::string(kAskOccurrenceTitle)) !=
                          ui::MessageAnswer::Yes) {
        return;
    }
    if (state_.gCurrentMode == ProgramMode::WendraWin) {
        editInStore(key);
    } else if (state_.gCurrentMode == ProgramMode::Outlook) {
        editInOutlook(key, occurrence);
    }
    updateTimedRows();
    updateCaption();
}

void frmMain::editInStore(const std::string& key) {
    clsCalEvent ev;
    if (findSelected(ev, key)) {
        if (!ev.isEditableQVR()) {
            notice(kMsgNotEditable);
        } else {
            setStatusText("Editing: " + ev.Description());
            if (editInQVREvent(ev)) saveEdited(ev, false, kMsgSaveFailed);
        }
    }
    showMode(state_.gCurrentMode);
}

void frmMain::editInOutlook(const std::string& key, bool occurrence) {
    ui::BusyPointer busy(*this);
    clsCalEvent ev;
    // The row is the store's event: its link names the appointment.
    if (!c_.outlook.Find(ev, clsDataQVR::kLocalCalendarId, key, "")) {
        notice(isSummaryRow(msGrid.row()) ? std::string_view(state_.sMsgEventHidden) : kMsgOutlookNotFound);
        return;
    }
    if (occurrence) {
        editOutlookOccurrence(ev, key);
        return;
    }
    bool changed = false;
    {
        DisabledWhile disabled(*this);
        changed = c_.outlook.displayEditForm(ev, false);
    }
    if (changed) syncFromOutlook(ev);
}

void frmMain::editOutlookOccurrence(clsCalEvent& ev, const std::string& key) {
    const std::optional<RowOccurrence> when = keyRowOccurrence(key);
    if (!when || !c_.outlook.findOccur(ev, when->when)) {
        notice(isSummaryRow(msGrid.row()) ? std::string_view(state_.sMsgEventHidden) : kMsgOutlookOccurNotFound);
        return;
    }
    bool changed = false;
    {
        DisabledWhile disabled(*this);
        changed = c_.outlook.displayEditForm(ev, true);
    }
    if (changed) syncFromOutlook(ev);
}

void frmMain::syncFromOutlook(const clsCalEvent& ev) {
    if (onSyncOutlook) onSyncOutlook(ev.WendraWinId(), c_.outlook.CalendarId(), ev.XID());
}

// ---- visibility ---------------------------------------------------------------------

void frmMain::editVisibility() {
    if (!commandsReady()) return;
    const std::string key = selectedKey();
    if (key.empty()) return;
    // A row hidden or deleted since the list was built shows an event that no longer
    // looks like this: nothing is changed from it.
    if (isSummaryRow(msGrid.row())) {
        notice(state_.sMsgEventHidden);
        return;
    }
    clsCalEvent ev;
    if (findSelected(ev, key)) {
        setStatusText("Loading Visibility form...");
        frmVisibility dialog(c_.services, *gSettings_);
        dialog.setCalEvent(ev);
        dialog.setCaller(*this);
        dialog.onStatusText = [this](const std::string& text) { setStatusText(text); };
        // The window of dates the event shows has moved: the whole list again.
        if (showEditingDialog(dialog)) saveEdited(ev, false, kMsgSaveFailed, true);
    }
    showMode(state_.gCurrentMode);
}

// ---- hide or delete ------------------------------------------------------------------

void frmMain::deleteSelected() {
    if (!commandsReady()) return;
    const std::string key = selectedKey();
    if (!key.empty()) {
        clsCalEvent ev;
        const std::optional<RowOccurrence> chosen = keyRowOccurrence(key);
        if (isSummaryRow(msGrid.row())) {
            // Deleting "this occurrence" of a row that no longer stands would store
            // an exclusion for a date the event no longer has.
            notice(state_.sMsgEventHidden);
        } else if (findSelected(ev, key)) {
            bool saved = false;
            if (ev.IsRecurring()) {
                if (!chosen) {
                    notice(kMsgNotFound);
                } else {
                    frmDeleteMult dialog(c_.services, *gSettings_);
                    dialog.setCalEvent(ev);
                    dialog.setCaller(*this);
                    dialog.setChosenDate(chosen->when);
                    dialog.setAllDayOccur(chosen->allDay);
                    dialog.onHelp = [this](int) { openHelpFile(); };
                    saved = showEditingDialog(dialog);
                }
            } else {
                frmDeleteSingle dialog(c_.services, *gSettings_);
                dialog.setCalEvent(ev);
                dialog.setCaller(*this);
                dialog.onHelp = [this](int) { openHelpFile(); };
                saved = showEditingDialog(dialog);
            }
            // The dialog set the event's request (hide or delete, all or one
            // occurrence); the store acts on it.
            if (saved) saveEdited(ev, false, kMsgDeleteFailed);
        }
    }
    updateTimedRows();
    updateCaption();
}

// ---- the grid's events -----------------------------------------------------------------

void frmMain::msGrid_DblClick() {
    if (!commandsReady()) return;
    if (!selectedKey().empty()) {
        editSelected(false);
        return;
    }
    // The past-events row unfolds, unless it stands for a single occurrence.
    EventList* l = list();
    if (l != nullptr && msGrid.row() >= 0 && msGrid.row() == l->pastEventsRow() && l->pastCount() > 1) {
        expandPastRows(true);
    }
}

void frmMain::msGrid_RowColChange() {
    const std::string key = selectedKey();
    const bool onEvent = !key.empty();
    const bool occurrences = onEvent && gridKeyValue(key, Tag::Recur) == "True" && state_.gCurrentMode != ProgramMode::WendraWin &&
                             state_.gOutlookConnected;
    for (const char* name : {"toolbarEditSeries", "toolbarDelete", "toolbarVisibility"}) {
        if (ui::Command* b = Toolbar1.button(name)) b->setEnabled(onEvent);
    }
    if (ui::Command* b = Toolbar1.button("toolbarEditOccur")) b->setEnabled(occurrences);
    mnuActions_EditSeries.setEnabled(onEvent);
    mnuActions_Delete.setEnabled(onEvent);
    mnuActions_Visibility.setEnabled(onEvent);
    mnuActions_EditOccur.setEnabled(occurrences);

    const int row = msGrid.row();
    if (row < 0) return;
    if (row < msGrid.fixedRows()) {
        // The heading row is no choice: the first row below it is. The move runs
        // this handler again for that row.
        if (msGrid.rows() > 1) msGrid.setRow(msGrid.fixedRows());
        return;
    }
    if (highlightedRow_ != row) msGrid_LeaveCell();
    msGrid.setCellBackColourAt(row, grdSubject, kCurrentDescription);
    highlightedRow_ = row;
}

void frmMain::msGrid_LeaveCell() {
    // The highlight belongs to the row: whichever cell is left, the row's description
    // cell takes the grid's own colour again (the next row change sets it anew).
    if (highlightedRow_ >= msGrid.fixedRows() && highlightedRow_ < msGrid.rows())
        msGrid.setCellBackColourAt(highlightedRow_, grdSubject, std::nullopt);
    highlightedRow_ = -1;
}

}  // namespace wendra
