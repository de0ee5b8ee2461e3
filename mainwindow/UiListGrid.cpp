#include "mainwindow/UiListGrid.h"

#include <utility>

#include "platform/text/Text.h"

namespace wendra {

void UiListGrid::reset(int cols) {
    grid_.setFixedRows(0);
    grid_.setFixedCols(0);
    grid_.setRows(0);
    grid_.setCols(cols);
}

int UiListGrid::appendRow() {
    grid_.addItem("");
    return grid_.rows() - 1;
}

void UiListGrid::setColours(int row, int col, std::optional<ui::Colour> fore, std::optional<ui::Colour> back) {
    if (fore) grid_.setCellForeColourAt(row, col, fore);
    if (back) grid_.setCellBackColourAt(row, col, back);
}

void UiListGrid::resetColours(int row) { grid_.clearRowColours(row); }

// The row's data holds the occurrence: its seconds, times four, plus two for an
// all-day one, plus one, so that 0 stays "no occurrence".
static_assert(sizeof(long) >= 8, "the row data holds a date-time");

std::optional<RowOccurrence> UiListGrid::occurrence(int row) const {
    const long data = grid_.rowData(row);
    if ((data & 1) == 0) return std::nullopt;
    const long v = data - 1;
    const bool allDay = (v & 2) != 0;
    return RowOccurrence{DateTime::fromSeconds((v - (allDay ? 2 : 0)) / 4), allDay};
}

void UiListGrid::setOccurrence(int row, std::optional<RowOccurrence> when) {
    grid_.setRowData(row, when ? static_cast<long>(when->when.seconds() * 4 + (when->allDay ? 2 : 0) + 1) : 0L);
}

void UiListGrid::releaseSorting() {
    holding_ = false;
    if (const auto col = std::exchange(heldSort_, std::nullopt)) sortRows(*col);
}

void UiListGrid::sortRows(int col) {
    if (holding_) {
        heldSort_ = col;
        return;
    }
    // The order is the column's text ignoring case, equal texts by their keys,
    // whatever order the rows were written in. A rebuild writes its rows in that
    // order already, so a look along them is all it costs then.
    bool ordered = true;
    const int first = grid_.fixedRows();
    for (int r = first + 1; r < grid_.rows() && ordered; ++r) {
        const int c = compareNoCase(grid_.textView(r - 1, col), grid_.textView(r, col));
        if (c == 0)
            ordered = compareNoCase(grid_.textView(r - 1, grdKey), grid_.textView(r, grdKey)) <= 0;
        else
            ordered = c < 0;
    }
    if (ordered) return;
    // Equal texts anywhere, not only those the look along the rows reached before
    // it stopped, go by their keys: the stable sort by the column keeps that order.
    if (col != grdKey) grid_.sort(grdKey, ui::GridSort::TextNoCaseAscending);
    grid_.sort(col, ui::GridSort::TextNoCaseAscending);
}

int UiListGrid::textWidth(std::string_view text) const {
    if (grid_.font()) return metrics_.textWidth(*grid_.font(), text);
    return metrics_.textWidth(font_ ? font_() : ui::Font{}, text);
}

}  // namespace wendra
