#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "list/ListGrid.h"
#include "platform/ui/Font.h"
#include "platform/ui/Grid.h"
#include "platform/ui/Services.h"

namespace wendra {

// The main window's grid model as a ListGrid. The occurrence is kept in the
// row's data; the order is the rows' sort column ignoring case, equal texts by
// their row key, so a rebuild and an update give the same order.
class UiListGrid final : public ListGrid {
public:
    // Texts are measured in the grid's font, or in `font()` while the grid has none.
    UiListGrid(ui::Grid& grid, const ui::TextMetrics& metrics, std::function<ui::Font()> font = {})
        : grid_(grid), metrics_(metrics), font_(std::move(font)) {}

    int rows() const override { return grid_.rows(); }
    void reset(int cols) override;
    int appendRow() override;
    bool removeRow(int row) override { return grid_.removeItem(row); }
    std::string text(int row, int col) const override { return grid_.textMatrix(row, col); }
    void setText(int row, int col, const std::string& text) override { grid_.setTextMatrix(row, col, text); }
    void takeText(int row, int col, std::string&& text) override { grid_.setTextMatrix(row, col, std::move(text)); }
    void setColours(int row, int col, std::optional<ui::Colour> fore, std::optional<ui::Colour> back) override;
    void resetColours(int row) override;
    std::optional<RowOccurrence> occurrence(int row) const override;
    void setOccurrence(int row, std::optional<RowOccurrence> when) override;
    void sortRows(int col) override;

    int fixedRows() const override { return grid_.fixedRows(); }
    void setFixedRows(int n) override { grid_.setFixedRows(n); }
    void setBackColour(ui::Colour c) override { grid_.setBackColour(c); }
    bool mergeCol(int col) const override { return grid_.mergeCol(col); }
    void setMergeCol(int col, bool on) override { grid_.setMergeCol(col, on); }
    void setMergeFree() override { grid_.setMergeCells(ui::MergeCells::Free); }
    int width() const override { return grid_.width(); }
    int textWidth(std::string_view text) const override;
    int colWidth(int col) const override { return grid_.colWidth(col); }
    void setColWidth(int col, int twips) override { grid_.setColWidth(col, twips); }
    void setColAlignment(int col, ui::Alignment a) override {
        grid_.setColAlignment(col, a);
        grid_.setFixedAlignment(col, a);
    }
    bool redraw() const override { return grid_.redraw(); }
    void setRedraw(bool on) override { grid_.setRedraw(on); }
    void repaint() override { grid_.refresh(); }
    int currentRow() const override { return grid_.row(); }
    void setCurrentRow(int row) override { grid_.setRow(row); }
    void setCurrentCol(int col) override { grid_.setCol(col); }
    int topRow() const override { return grid_.topRow(); }
    bool setTopRow(int row) override { return grid_.setTopRow(row); }

    ui::Grid& grid() { return grid_; }
    // While held, the rows are put in order once, when the hold ends, however many
    // changes asked for it meanwhile: a batch of changes sorts the list once.
    void holdSorting() { holding_ = true; }
    void releaseSorting();

private:
    bool holding_ = false;
    std::optional<int> heldSort_;
    ui::Grid& grid_;
    const ui::TextMetrics& metrics_;
    std::function<ui::Font()> font_;
};

}  // namespace wendra
