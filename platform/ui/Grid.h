#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ui/Controls.h"

namespace wendra::ui {

// Cell alignment, numbered as the grid control numbers it.
enum class Alignment {
    LeftTop = 0,
    LeftCenter = 1,
    LeftBottom = 2,
    CenterTop = 3,
    CenterCenter = 4,
    CenterBottom = 5,
    RightTop = 6,
    RightCenter = 7,
    RightBottom = 8,
    General = 9,  // text to the left, numbers to the right, vertically centred
};

enum class MergeCells {
    Never,
    Free,  // equal adjacent cells of a merging column merge, whatever their neighbours do
};

enum class GridSort {
    TextAscending,        // by character code
    TextDescending,
    TextNoCaseAscending,  // ignoring the case of ASCII letters
    TextNoCaseDescending,
};

// Which cells setting a colour or text through the current cell reaches.
enum class FillStyle { Single, Repeat };

enum class SelectionMode { Free, ByRow, ByColumn };

enum class Highlight { Never, Always, WithFocus };

// A vertical run of merged cells in one column.
struct MergeSpan {
    int firstRow = 0;
    int rowCount = 1;
    bool operator==(const MergeSpan&) const = default;
};

// What changed since the view last drew the grid (bits).
enum GridChange : unsigned {
    GridStructure = 1,   // rows or columns added, removed, moved (sorting)
    GridCells = 2,       // texts or colours
    GridSelection = 4,   // current cell, selection, top row
    GridLayout = 8,      // widths, heights, alignment, merging, fixed rows and columns
    GridAppearance = 16, // grid colours and font, enabled and visible
    GridEverything = 31,
};

// The list grid: rows of text cells, a colour pair a cell, fixed (heading) rows and
// columns, widths in twips, alignment and merging a column, sorting by one column,
// a current cell and suspended redraw. Rows and columns count from 0 and include
// the fixed ones. Members that take an index outside the grid change nothing and
// answer false (or an empty value).
class Grid : public Control {
public:
    explicit Grid(std::string name = {}, int rows = 0, int cols = 0);

    // ---- structure ----
    int rows() const { return static_cast<int>(rows_.size()); }
    int cols() const { return cols_; }
    bool setRows(int n);
    bool setCols(int n);
    int fixedRows() const { return fixedRows_; }
    int fixedCols() const { return fixedCols_; }
    bool setFixedRows(int n);  // at most rows()
    bool setFixedCols(int n);  // at most cols()
    // A row of texts separated by tabs (pieces beyond the last column are dropped),
    // inserted before row index, or appended when index is -1 (or rows()).
    bool addItem(std::string_view tabText, int index = -1);
    // Refused for a fixed row and for the last non-fixed row, which the grid always keeps.
    bool removeItem(int index);
    // Every cell's text and colours, the structure stays.
    void clear();

    // ---- cells ----
    std::string textMatrix(int row, int col) const;
    // The same text without a copy, valid until the grid next changes.
    std::string_view textView(int row, int col) const { return cellText(row, col); }
    bool setTextMatrix(int row, int col, std::string text);
    // A cell's own colours; nullopt shows the grid's colours for the cell.
    std::optional<Colour> cellForeColourAt(int row, int col) const;
    std::optional<Colour> cellBackColourAt(int row, int col) const;
    bool setCellForeColourAt(int row, int col, std::optional<Colour> c);
    bool setCellBackColourAt(int row, int col, std::optional<Colour> c);
    // Every cell of the row back to the grid's colours.
    bool clearRowColours(int row);
    // The colours the cell shows: its own, else the fixed or normal colours of the grid.
    Colour effectiveForeColour(int row, int col) const;
    Colour effectiveBackColour(int row, int col) const;
    bool isFixed(int row, int col) const { return row < fixedRows_ || col < fixedCols_; }

    long rowData(int row) const;
    bool setRowData(int row, long data);

    // ---- current cell and selection ----
    // -1 while the grid has no rows (or no columns).
    int row() const { return row_; }
    int col() const { return col_; }
    int rowSel() const { return rowSel_; }
    int colSel() const { return colSel_; }
    // Moving the current cell runs onLeaveCell (on the old cell), onEnterCell and
    // onRowColChange; the selection collapses to the new cell.
    bool setRow(int r);
    bool setCol(int c);
    bool setCurrentCell(int r, int c);
    bool setRowSel(int r);
    bool setColSel(int c);
    // The current cell's text; its colours, written to the current cell (FillStyle
    // Single) or to the whole selection (Repeat).
    std::string text() const { return textMatrix(row_, col_); }
    bool setText(std::string text);
    std::optional<Colour> cellForeColour() const { return cellForeColourAt(row_, col_); }
    std::optional<Colour> cellBackColour() const { return cellBackColourAt(row_, col_); }
    bool setCellForeColour(std::optional<Colour> c);
    bool setCellBackColour(std::optional<Colour> c);
    FillStyle fillStyle() const { return fillStyle_; }
    void setFillStyle(FillStyle f) { fillStyle_ = f; }

    // The first scrolling row shown. Refused outside the non-fixed rows.
    int topRow() const { return topRow_; }
    bool setTopRow(int r);
    void topRowFromView(int r);

    // The user's actions, as the view reports them.
    void click(int row, int col);
    void dblClick();

    std::function<void()> onRowColChange;
    std::function<void()> onEnterCell;
    std::function<void()> onLeaveCell;
    std::function<void()> onClick;
    std::function<void()> onDblClick;

    // ---- layout ----
    // Widths in twips; 0 hides the column; -1 (the default) lets the view choose.
    int colWidth(int col) const;
    bool setColWidth(int col, int twips);
    Alignment colAlignment(int col) const;
    bool setColAlignment(int col, Alignment a);
    Alignment fixedAlignment(int col) const;
    bool setFixedAlignment(int col, Alignment a);
    // Row heights in twips; a row without its own height has the default height.
    int rowHeight(int row) const;
    bool setRowHeight(int row, int twips);
    int defaultRowHeight() const { return defaultRowHeight_; }
    void setDefaultRowHeight(int twips);

    // ---- merging ----
    MergeCells mergeCells() const { return mergeCells_; }
    void setMergeCells(MergeCells m);
    bool mergeCol(int col) const;
    bool setMergeCol(int col, bool on);
    // The run of merged cells that holds the cell: equal texts in adjacent rows of a
    // merging column, fixed rows merging only among themselves. A cell on its own is
    // a run of one.
    MergeSpan mergedSpan(int row, int col) const;

    // ---- sorting ----
    // Orders the non-fixed rows by the texts of one column. Equal texts keep their
    // order; a row's cells, colours, height and data move with it. The current row
    // keeps its index, as the grid control does.
    bool sort(int col, GridSort order);
    // The control's own form: the rows from row() to rowSel() by column col().
    bool sortSelection(GridSort order);

    // ---- colours of the grid ----
    // backColour() and foreColour() are those of the normal cells.
    Colour foreColourFixed() const { return foreFixed_; }
    Colour backColourFixed() const { return backFixed_; }
    void setForeColourFixed(Colour c);
    void setBackColourFixed(Colour c);
    Colour foreColourSel() const { return foreSel_; }
    Colour backColourSel() const { return backSel_; }
    void setForeColourSel(Colour c);
    void setBackColourSel(Colour c);
    Colour gridColour() const { return gridColour_; }
    void setGridColour(Colour c);
    SelectionMode selectionMode() const { return selectionMode_; }
    void setSelectionMode(SelectionMode m);
    Highlight highlight() const { return highlight_; }
    void setHighlight(Highlight h);

    // ---- drawing ----
    // With redraw off, changes collect and the view hears of them once redraw is on.
    bool redraw() const { return redraw_; }
    void setRedraw(bool on);
    // Draws again whatever the view shows (when redraw is on).
    void refresh();
    // During a notification: what changed (GridChange bits). The control's own state
    // (background, font, enabled, visible) announces itself at once, as appearance.
    unsigned changes() const { return announcing_ != 0 ? announcing_ : unsigned(GridAppearance); }

private:
    // A row's cells in one block, as a list of thousands of rows is kept in few
    // allocations: for each column the end of its text and its colours (a Slot),
    // then the texts one after another. A row with nothing in it holds no block.
    struct RowData {
        std::string block;
        int height = -1;
        long data = 0;
    };
    struct ColumnData {
        int width = -1;
        Alignment alignment = Alignment::General;
        Alignment fixedAlignment = Alignment::General;
        bool merge = false;
    };

    bool validCell(int r, int c) const { return r >= 0 && r < rows() && c >= 0 && c < cols_; }
    // The cell's text in its row's block; empty outside the grid.
    std::string_view cellText(int r, int c) const;
    std::optional<Colour> cellColour(int r, int c, bool fore) const;
    bool setCellColour(int r, int c, bool fore, std::optional<Colour> colour);
    void touch(unsigned what);
    void clampSelection();
    bool moveTo(int r, int c);
    template <typename F>
    bool forSelection(F f);

    std::vector<RowData> rows_;
    std::size_t blockSizeHint_ = 0;  // the size of the row block last written
    std::vector<ColumnData> columns_;
    int cols_ = 0;
    int fixedRows_ = 0;
    int fixedCols_ = 0;
    int row_ = -1;
    int col_ = -1;
    int rowSel_ = -1;
    int colSel_ = -1;
    int topRow_ = 0;
    int defaultRowHeight_ = 240;
    FillStyle fillStyle_ = FillStyle::Single;
    MergeCells mergeCells_ = MergeCells::Never;
    Colour foreFixed_ = colours::buttonText;
    Colour backFixed_ = colours::buttonFace;
    Colour foreSel_ = colours::highlightText;
    Colour backSel_ = colours::highlight;
    Colour gridColour_ = rgb(192, 192, 192);
    SelectionMode selectionMode_ = SelectionMode::Free;
    Highlight highlight_ = Highlight::Always;
    bool redraw_ = true;
    unsigned pending_ = 0;
    unsigned announcing_ = 0;
};

// Switches a grid's redraw off for its lifetime and puts the previous state back.
class RedrawSuspender {
public:
    explicit RedrawSuspender(Grid& grid) : grid_(grid), was_(grid.redraw()) { grid_.setRedraw(false); }
    ~RedrawSuspender() { grid_.setRedraw(was_); }
    RedrawSuspender(const RedrawSuspender&) = delete;
    RedrawSuspender& operator=(const RedrawSuspender&) = delete;

private:
    Grid& grid_;
    bool was_;
};

}  // namespace wendra::ui
