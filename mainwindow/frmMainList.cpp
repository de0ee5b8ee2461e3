// The list of the main window: its rules are the event list's (EventList.h),
// shared with the gadget library; here the window hands them its grid, its
// store and settings, and its own part of each piece of work (the window
// settings saved first, the countdown rows, the layout, the status text and the
// hourglass, the grid's handlers).
#include <string>

#include "mainwindow/frmMain.h"

namespace wendra {

namespace {

constexpr int kStatusPanel = 1;
// A row is as tall as a line of its font and a little room above and below.
constexpr int kRowPadding = 45;

}  // namespace

// ---- what the list asks of the window ------------------------------------------

void frmMain::ListWiring::saveWindowSettings() { f_.saveWindowSettings(); }

void frmMain::ListWiring::gridInitialised() {
    // The rebuild shows every event as stored: what updates waited for is in it.
    f_.refreshPending = false;
    f_.timedRows.clear();
    f_.fitRowHeight();
}

void frmMain::fitRowHeight() {
    const ui::Font f = msGrid.font().value_or(font());
    msGrid.setDefaultRowHeight(c_.services.metrics.textHeight(f, "A") + kRowPadding);
}

void frmMain::ListWiring::layoutForm() { f_.layoutForm(); }
void frmMain::ListWiring::collectTimedRows() { f_.collectTimedRows(); }

void frmMain::ListWiring::gridRowChanged() {
    if (f_.msGrid.onRowColChange) f_.msGrid.onRowColChange();
}

void frmMain::ListWiring::gridLeaveCell() {
    if (f_.msGrid.onLeaveCell) f_.msGrid.onLeaveCell();
}

// The list puts back what the panel showed; the window's own kept text
// (setStatusText) is not touched, so the list's texts never become it.
std::string frmMain::ListWiring::statusText() const { return f_.StatusBar1.text(kStatusPanel); }
void frmMain::ListWiring::setStatusText(const std::string& text) { f_.StatusBar1.setText(kStatusPanel, text); }

void frmMain::ListWiring::setBusy(bool on) {
    if (on) {
        pointer_ = f_.mousePointer();
        f_.setMousePointer(ui::MousePointer::Hourglass);
    } else {
        f_.setMousePointer(pointer_);
    }
}

bool frmMain::ListWiring::refreshPending() const { return f_.refreshPending; }

// ---- the list ----------------------------------------------------------------------

EventList* frmMain::list() {
    if (!list_ && gSettings_ && gData_) {
        ListOptions options;
        // Auto-delete saves as every change of the window does.
        options.saveDeletion = [this](clsCalEvent& ev) { return doSave(ev, SaveMode::Always, false) == SaveResult::Saved; };
        list_ = std::make_unique<EventList>(listGrid_, *gSettings_, *gData_, listWiring_, std::move(options));
    }
    if (list_) syncListView();
    return list_.get();
}

// The view menu and the past-events switch set the window's fields; the list
// reads them at each request.
void frmMain::syncListView() {
    list_->setViewAll(viewAll);
    list_->setViewAllByDescription(viewAllByDescription);
    list_->setShrinkPast(shrinkPast);
}

void frmMain::initGrid() {
    if (EventList* l = list()) {
        l->initGrid();
        return;
    }
    // Before the store exists: an empty grid of the list's columns.
    msGrid.setBackColour(viewAll ? listcolours::viewAllBackground : listcolours::background);
    msGrid.setFixedRows(0);
    msGrid.setFixedCols(0);
    msGrid.setRows(0);
    msGrid.setCols(kListColumns);
    listWiring_.gridInitialised();
}

void frmMain::refreshList() {
    if (EventList* l = list()) l->refreshList();
}

void frmMain::updateList(const std::string& id) {
    if (deferListChange({false, id})) return;
    if (EventList* l = list()) l->updateList(id);
}

void frmMain::ListShowDeleted(const std::string& id) {
    if (deferListChange({true, id})) return;
    if (EventList* l = list()) l->ListShowDeleted(id);
}

void frmMain::reselectRow(const std::string& key, int topRow) {
    if (EventList* l = list()) l->reselectRow(key, topRow);
}

std::string frmMain::selectedKey() const {
    if (msGrid.row() < 0) return {};
    return msGrid.textMatrix(msGrid.row(), grdKey);
}

std::string frmMain::noEventsText() const {
    return "\t\t\t\t" + listtext::noEvents(gSettings_ ? gSettings_->PriorWarning() : 0);
}

void frmMain::addHeadingRow() {
    if (EventList* l = list()) l->addHeadingRow();
}

void frmMain::setColumnWidths() {
    if (EventList* l = list()) l->setColumnWidths();
}

void frmMain::applyColumnSettings() {
    if (EventList* l = list()) l->applyColumnSettings();
}

void frmMain::setColumnAlignments() {
    if (EventList* l = list()) l->setColumnAlignments();
}

}  // namespace wendra
