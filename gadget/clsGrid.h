#pragma once

// The library's in-memory grid (WendraGadget::clsGrid): the rows of the event list
// that createHTML writes as HTML. The list rules write to it through ListGrid
// (GadgetListGrid below), which also keeps the occurrence each row shows: the
// fragment takes its dates from there, never from the "dd-mmm-yy" text.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "gadget/WendraGadget.h"
#include "gadget/clsColumns.h"
#include "list/ListGrid.h"

namespace wendra {

class clsGrid final : public WendraGadget::clsGrid {
public:
    // ---- the public members (checked: error 5 for a row, 9 for a column) ----
    std::int16_t Row() const override { return 0; }
    void Row(std::int16_t) override {}
    std::int16_t cols() const override { return 0; }
    void cols(std::int16_t) override {}
    std::int16_t Rows() const override;
    Variant textMatrix(std::int16_t nRow, std::int16_t nCol) const override;
    void textMatrix(std::int16_t nRow, std::int16_t nCol, const Variant& value) override;
    void addItem(std::string_view sText, std::optional<std::int16_t> nRow = std::nullopt) override;
    void refresh() override {}
    void removeItem(std::int16_t) override {}
    void colWidth(std::int16_t) override {}
    bool mergeCol(std::int16_t) const override { return false; }
    void sort() override;
    void setGridColors(std::int16_t nRow, std::int16_t nCol, const Variant& vForeColor,
                       const Variant& vBackColor) override;
    std::string getForeColor(std::int16_t nRow, std::int16_t nCol) const override;
    std::string getBackColor(std::int16_t nRow, std::int16_t nCol) const override;

    // ---- for the list and the fragment: rows known to be in range ----
    int rowCount() const { return static_cast<int>(rows_.size()); }
    const clsColumns& row(int r) const { return rows_[std::size_t(r)]->cells; }
    clsColumns& row(int r) { return rows_[std::size_t(r)]->cells; }
    std::string cellText(int r, int c) const { return variantText(row(r).value(c)); }
    const std::optional<RowOccurrence>& occurrence(int r) const { return rows_[std::size_t(r)]->occurrence; }
    void setOccurrence(int r, std::optional<RowOccurrence> when) { rows_[std::size_t(r)]->occurrence = when; }
    int appendRow();
    void removeRow(int r);
    void clear() { rows_.clear(); }
    // The sort of sort() by any column.
    void sortBy(int col);
    std::string foreColourName(int r, int c) const;
    std::string backColourName(int r, int c) const;

private:
    struct GridRow {
        clsColumns cells;
        std::optional<RowOccurrence> occurrence;
    };
    void checkRow(int r) const;
    // A row is large (24 cells' worth): a list of tens of thousands grows and
    // sorts by moving pointers.
    std::vector<std::unique_ptr<GridRow>> rows_;
};

// The HTML colour names of a colour value.
std::string foreColourName(std::int32_t colour);
std::string backColourName(std::int32_t colour);

// The grid as the list rules see it. Colours given as "none" (the main window's
// "leave as it is") are stored as Null; the display members do nothing.
class GadgetListGrid final : public ListGrid {
public:
    explicit GadgetListGrid(clsGrid& grid) : grid_(grid) {}

    int rows() const override { return grid_.rowCount(); }
    void reset(int) override { grid_.clear(); }
    int appendRow() override { return grid_.appendRow(); }
    bool removeRow(int row) override;
    std::string text(int row, int col) const override { return grid_.cellText(row, col); }
    void setText(int row, int col, const std::string& text) override { grid_.row(row).setValue(col, text); }
    void takeText(int row, int col, std::string&& text) override { grid_.row(row).setValue(col, std::move(text)); }
    void setColours(int row, int col, std::optional<ui::Colour> fore, std::optional<ui::Colour> back) override;
    void resetColours(int row) override { grid_.row(row).clearColours(); }
    std::optional<RowOccurrence> occurrence(int row) const override { return grid_.occurrence(row); }
    void setOccurrence(int row, std::optional<RowOccurrence> when) override { grid_.setOccurrence(row, when); }
    void sortRows(int col) override { grid_.sortBy(col); }

private:
    clsGrid& grid_;
};

}  // namespace wendra
