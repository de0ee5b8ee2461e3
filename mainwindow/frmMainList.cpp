// The list of the main window: the grid set up, its heading row and the row that
// stands for an empty list.
#include <algorithm>
#include <string>

#include "mainwindow/frmMain.h"
#include "store/modFuncs.h"

namespace wendra {

namespace {

constexpr ui::Colour kListBackground = 0x80FFFF;  // light yellow
constexpr ui::Colour kListAllBackground = ui::colours::white;
constexpr int kColumns = 8;
// A row is as tall as a line of its font and a little room above and below.
constexpr int kRowPadding = 45;

}  // namespace

std::string frmMain::noEventsText() const {
    const int days = gSettings_ ? gSettings_->PriorWarning() : 0;
    return "\t\t\t\tNo events within " + std::to_string(days) + " days";
}

void frmMain::addHeadingRow() {
    msGrid.addItem("\t\t\tDays To\tDescription\tTime\tDate\tDay");
    msGrid.addItem(noEventsText());
    msGrid.setFixedRows(1);
}

void frmMain::initGrid() {
    msGrid.setBackColour(viewAll ? kListAllBackground : kListBackground);
    if (msGrid.rows() > 0) {
        msGrid.setFixedRows(0);
        msGrid.setFixedCols(0);
    }
    msGrid.setRows(0);
    msGrid.setCols(kColumns);
    const ui::Font f = msGrid.font().value_or(font());
    msGrid.setDefaultRowHeight(c_.services.metrics.textHeight(f, "A") + kRowPadding);
    setColumnWidths();
    setColumnAlignments();
}

void frmMain::setColumnWidths() {
    for (int col : {0, 1, 2}) msGrid.setColWidth(col, 0);
    applyColumnSettings();
    int description = msGrid.width();
    for (int col : {3, 5, 6, 7}) description -= msGrid.colWidth(col);
    msGrid.setColWidth(4, description < 300 ? 500 : description);
    msGrid.refresh();
}

void frmMain::applyColumnSettings() {
    if (!gSettings_) return;
    struct View {
        int col;
        std::int32_t setting;
        const char* sample;
    };
    const View views[] = {
        {6, gSettings_->ViewDate(), "DD/MMM/YY"},
        {7, gSettings_->ViewDayOfWeek(), "WEDx"},
        {5, gSettings_->ViewTime(), "HH:NN"},
        {3, gSettings_->ViewWendra(), "DAYS TO"},
    };
    for (const View& v : views) {
        int w = v.setting;
        if (v.setting == -1) {
            w = 0;
        } else if (v.setting == -9) {
            w = c_.services.metrics.textWidth(font(), v.sample);
        }
        msGrid.setColWidth(v.col, std::max(0, w));
    }
}

void frmMain::setColumnAlignments() {
    for (int col : {2, 3, 6, 7}) {
        msGrid.setColAlignment(col, ui::Alignment::CenterCenter);
        msGrid.setFixedAlignment(col, ui::Alignment::CenterCenter);
    }
    for (int col : {4, 5}) {
        msGrid.setColAlignment(col, ui::Alignment::LeftCenter);
        msGrid.setFixedAlignment(col, ui::Alignment::LeftCenter);
    }
}

void frmMain::refreshList() {
    ui::BusyPointer busy(*this);
    saveWindowSettings();

    std::string key;
    int topRow = 0;
    if (msGrid.rows() > 0) {
        topRow = msGrid.topRow();
        key = selectedKey();
    }

    timedRows.clear();
    {
        ui::RedrawSuspender redraw(msGrid);
        initGrid();
        const bool headings = gSettings_ && gSettings_->ViewHeadings();
        if (headings) addHeadingRow();
        // The placeholder goes once another row is there; the grid keeps it when it
        // is the only one.
        if (headings) {
            msGrid.removeItem(1);
        } else if (msGrid.rows() == 0) {
            msGrid.addItem(noEventsText());
        }
        layoutForm();
    }
    reselectRow(key, topRow);
    msGrid.setCol(4);
}

void frmMain::updateList(const std::string& id) {
    (void)id;
    refreshList();
}

void frmMain::ListShowDeleted(const std::string& id) {
    (void)id;
    refreshList();
}

std::string frmMain::selectedKey() const {
    if (msGrid.row() < 0) return {};
    return msGrid.textMatrix(msGrid.row(), 0);
}

void frmMain::reselectRow(const std::string& key, int topRow) {
    const auto occurrence = parseICalDateTime(taggedValue(key, Tag::Occr));
    if (!occurrence) return;
    const std::string id = taggedValue(key, Tag::Id);
    for (int r = 0; r < msGrid.rows(); ++r) {
        const std::string rowKey = msGrid.textMatrix(r, 0);
        if (taggedValue(rowKey, Tag::Id) != id) continue;
        const auto rowOccurrence = parseICalDateTime(taggedValue(rowKey, Tag::Occr));
        if (rowOccurrence && rowOccurrence->date() == occurrence->date()) {
            msGrid.setRow(r);
            break;
        }
    }
    if (topRow >= msGrid.row()) msGrid.setTopRow(topRow);
}

}  // namespace wendra
