#include "gadget/clsGrid.h"

#include <algorithm>
#include <limits>
#include <numeric>

#include "gadget/GadgetErrors.h"

namespace wendra {

namespace {

namespace errors = WendraGadget::errors;

void checkColumn(int col) {
    if (col < 0 || col >= clsColumns::kCells)
        gadget::raise(errors::SubscriptOutOfRange, "column " + std::to_string(col));
}

Variant colourValue(std::optional<ui::Colour> c) {
    if (!c) return WendraGadget::Null{};
    return static_cast<std::int32_t>(*c);
}

}  // namespace

std::string foreColourName(std::int32_t colour) {
    if (colour == 0xFFFFFF) return "White";
    if (colour > 0xFF0000) return "Black";
    if (colour == 0xFF0000) return "Blue";
    if (colour == 255) return "Red";
    if (colour == 65280) return "Green";
    return "Black";
}

std::string backColourName(std::int32_t colour) {
    if (colour == 0xFF0000) return "Blue";
    if (colour == 255) return "Red";
    if (colour == 65280) return "Lime";
    return "#FFFF80";
}

// ---- public members ----------------------------------------------------------------

std::int16_t clsGrid::Rows() const {
    return static_cast<std::int16_t>(std::min<std::size_t>(rows_.size(), std::numeric_limits<std::int16_t>::max()));
}

void clsGrid::checkRow(int r) const {
    if (r < 0 || r >= rowCount()) gadget::raise(errors::InvalidArgument, "row " + std::to_string(r));
}

Variant clsGrid::textMatrix(std::int16_t nRow, std::int16_t nCol) const {
    return gadget::guarded([&] {
        checkRow(nRow);
        checkColumn(nCol);
        return row(nRow).value(nCol);
    });
}

void clsGrid::textMatrix(std::int16_t nRow, std::int16_t nCol, const Variant& value) {
    gadget::guarded([&] {
        checkRow(nRow);
        checkColumn(nCol);
        row(nRow).setValue(nCol, value);
    });
}

void clsGrid::addItem(std::string_view sText, std::optional<std::int16_t>) {
    gadget::guarded([&] {
        // Filled first: a text of more than eight cells adds no row.
        auto added = std::make_unique<GridRow>();
        if (added->cells.fill(sText) > std::size_t(clsColumns::kCells))
            gadget::raise(errors::SubscriptOutOfRange, "more than eight cells");
        rows_.push_back(std::move(added));
    });
}

void clsGrid::sort() {
    gadget::guarded([&] { sortBy(grdSortKey); });
}

void clsGrid::setGridColors(std::int16_t nRow, std::int16_t nCol, const Variant& vForeColor,
                            const Variant& vBackColor) {
    gadget::guarded([&] {
        // The one member whose rows count from 1.
        if (nRow < 1 || nRow > rowCount()) gadget::raise(errors::InvalidArgument, "row " + std::to_string(nRow));
        checkColumn(nCol);
        row(nRow - 1).setColours(nCol, vForeColor, vBackColor);
    });
}

std::string clsGrid::getForeColor(std::int16_t nRow, std::int16_t nCol) const {
    return gadget::guarded([&] {
        checkRow(nRow);
        checkColumn(nCol);
        return foreColourName(nRow, nCol);
    });
}

std::string clsGrid::getBackColor(std::int16_t nRow, std::int16_t nCol) const {
    return gadget::guarded([&] {
        checkRow(nRow);
        checkColumn(nCol);
        return backColourName(nRow, nCol);
    });
}

// ---- rows ----------------------------------------------------------------------------

int clsGrid::appendRow() {
    rows_.push_back(std::make_unique<GridRow>());
    return rowCount() - 1;
}

void clsGrid::removeRow(int r) { rows_.erase(rows_.begin() + r); }

std::string clsGrid::foreColourName(int r, int c) const {
    return wendra::foreColourName(row(r).getForeColor(std::int16_t(c)));
}

std::string clsGrid::backColourName(int r, int c) const {
    return wendra::backColourName(row(r).getBackColor(std::int16_t(c)));
}

void clsGrid::sortBy(int col) {
    // An insertion from the back that stops at the first smaller key puts each row
    // before the rows of an equal key already placed: ascending, equal keys in the
    // reverse of their order. A stable sort of the reversed rows gives the same.
    std::vector<std::string> keys(rows_.size());
    for (std::size_t i = 0; i < rows_.size(); ++i) keys[i] = variantText(rows_[i]->cells.value(col));
    std::vector<std::size_t> order(rows_.size());
    std::iota(order.rbegin(), order.rend(), std::size_t{0});
    // std::string compares its characters as unsigned bytes: code unit by code unit.
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return keys[a] < keys[b]; });
    std::vector<std::unique_ptr<GridRow>> sorted;
    sorted.reserve(rows_.size());
    for (std::size_t i : order) sorted.push_back(std::move(rows_[i]));
    rows_ = std::move(sorted);
}

// ---- the list's view ------------------------------------------------------------------

bool GadgetListGrid::removeRow(int row) {
    if (row < 0 || row >= grid_.rowCount()) return false;
    grid_.removeRow(row);
    return true;
}

void GadgetListGrid::setColours(int row, int col, std::optional<ui::Colour> fore, std::optional<ui::Colour> back) {
    grid_.row(row).setColours(col, colourValue(fore), colourValue(back));
}

}  // namespace wendra
