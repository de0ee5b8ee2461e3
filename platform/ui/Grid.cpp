#include "platform/ui/Grid.h"

#include <algorithm>

#include "platform/text/Text.h"

namespace wendra::ui {

namespace {
int compareText(const std::string& a, const std::string& b, bool ignoreCase) {
    if (ignoreCase) return compareNoCase(a, b);
    const int c = a.compare(b);
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}
}  // namespace

Grid::Grid(std::string name, int rows, int cols) : Control(std::move(name)) {
    setDefaultColours(colours::windowText, colours::window);
    setCols(cols);
    setRows(rows);
    pending_ = 0;
}

Grid::Cell* Grid::cell(int r, int c) {
    return validCell(r, c) ? &rows_[static_cast<std::size_t>(r)].cells[static_cast<std::size_t>(c)] : nullptr;
}

const Grid::Cell* Grid::cell(int r, int c) const {
    return validCell(r, c) ? &rows_[static_cast<std::size_t>(r)].cells[static_cast<std::size_t>(c)] : nullptr;
}

void Grid::touch(unsigned what) {
    pending_ |= what;
    if (!redraw_) return;
    announcing_ = pending_;
    pending_ = 0;
    changed();
    announcing_ = 0;
}

// Keeps the current cell and the selection inside the grid after its shape changed.
void Grid::clampSelection() {
    const int lastRow = rows() - 1;
    const int lastCol = cols_ - 1;
    if (lastRow < 0 || lastCol < 0) {
        row_ = col_ = rowSel_ = colSel_ = -1;
        topRow_ = fixedRows_;
        return;
    }
    if (row_ < 0) row_ = std::min(fixedRows_, lastRow);
    if (col_ < 0) col_ = std::min(fixedCols_, lastCol);
    row_ = std::min(row_, lastRow);
    col_ = std::min(col_, lastCol);
    rowSel_ = rowSel_ < 0 ? row_ : std::min(rowSel_, lastRow);
    colSel_ = colSel_ < 0 ? col_ : std::min(colSel_, lastCol);
    topRow_ = std::clamp(topRow_, std::min(fixedRows_, lastRow), lastRow);
}

// ---- structure -------------------------------------------------------------

bool Grid::setRows(int n) {
    if (n < 0 || n < fixedRows_) return false;
    rows_.resize(static_cast<std::size_t>(n), RowData{std::vector<Cell>(static_cast<std::size_t>(cols_)), -1, 0});
    clampSelection();
    touch(GridStructure | GridSelection);
    return true;
}

bool Grid::setCols(int n) {
    if (n < 0 || n < fixedCols_) return false;
    cols_ = n;
    columns_.resize(static_cast<std::size_t>(n));
    for (auto& r : rows_) r.cells.resize(static_cast<std::size_t>(n));
    clampSelection();
    touch(GridStructure | GridSelection);
    return true;
}

bool Grid::setFixedRows(int n) {
    if (n < 0 || n > rows()) return false;
    fixedRows_ = n;
    clampSelection();
    touch(GridLayout | GridSelection);
    return true;
}

bool Grid::setFixedCols(int n) {
    if (n < 0 || n > cols_) return false;
    fixedCols_ = n;
    clampSelection();
    touch(GridLayout | GridSelection);
    return true;
}

bool Grid::addItem(std::string_view tabText, int index) {
    if (index == -1) index = rows();
    if (index < 0 || index > rows()) return false;
    RowData r{std::vector<Cell>(static_cast<std::size_t>(cols_)), -1, 0};
    std::size_t c = 0;
    std::size_t start = 0;
    while (c < r.cells.size()) {
        const auto tab = tabText.find('\t', start);
        r.cells[c++].text = std::string(tabText.substr(start, tab == std::string_view::npos ? tab : tab - start));
        if (tab == std::string_view::npos) break;
        start = tab + 1;
    }
    rows_.insert(rows_.begin() + index, std::move(r));
    clampSelection();
    touch(GridStructure | GridSelection);
    return true;
}

bool Grid::removeItem(int index) {
    if (index < fixedRows_ || index >= rows()) return false;
    if (rows() - fixedRows_ <= 1) return false;  // the grid keeps its last non-fixed row
    rows_.erase(rows_.begin() + index);
    clampSelection();
    touch(GridStructure | GridSelection);
    return true;
}

void Grid::clear() {
    for (auto& r : rows_) {
        for (auto& c : r.cells) c = Cell{};
    }
    touch(GridCells);
}

// ---- cells -----------------------------------------------------------------

std::string Grid::textMatrix(int row, int col) const {
    const Cell* c = cell(row, col);
    return c ? c->text : std::string();
}

bool Grid::setTextMatrix(int row, int col, std::string text) {
    Cell* c = cell(row, col);
    if (c == nullptr) return false;
    if (c->text != text) {
        c->text = std::move(text);
        touch(GridCells);
    }
    return true;
}

std::optional<Colour> Grid::cellForeColourAt(int row, int col) const {
    const Cell* c = cell(row, col);
    return c ? c->fore : std::nullopt;
}

std::optional<Colour> Grid::cellBackColourAt(int row, int col) const {
    const Cell* c = cell(row, col);
    return c ? c->back : std::nullopt;
}

bool Grid::setCellForeColourAt(int row, int col, std::optional<Colour> colour) {
    Cell* c = cell(row, col);
    if (c == nullptr) return false;
    if (c->fore != colour) {
        c->fore = colour;
        touch(GridCells);
    }
    return true;
}

bool Grid::setCellBackColourAt(int row, int col, std::optional<Colour> colour) {
    Cell* c = cell(row, col);
    if (c == nullptr) return false;
    if (c->back != colour) {
        c->back = colour;
        touch(GridCells);
    }
    return true;
}

Colour Grid::effectiveForeColour(int row, int col) const {
    if (auto c = cellForeColourAt(row, col)) return *c;
    return isFixed(row, col) ? foreFixed_ : foreColour();
}

Colour Grid::effectiveBackColour(int row, int col) const {
    if (auto c = cellBackColourAt(row, col)) return *c;
    return isFixed(row, col) ? backFixed_ : backColour();
}

long Grid::rowData(int row) const {
    return (row >= 0 && row < rows()) ? rows_[static_cast<std::size_t>(row)].data : 0;
}

bool Grid::setRowData(int row, long data) {
    if (row < 0 || row >= rows()) return false;
    rows_[static_cast<std::size_t>(row)].data = data;
    return true;
}

// ---- current cell ----------------------------------------------------------

bool Grid::moveTo(int r, int c) {
    if (!validCell(r, c)) return false;
    const bool moves = r != row_ || c != col_;
    if (moves && onLeaveCell) onLeaveCell();
    row_ = rowSel_ = r;
    col_ = colSel_ = c;
    touch(GridSelection);
    if (moves) {
        if (onEnterCell) onEnterCell();
        if (onRowColChange) onRowColChange();
    }
    return true;
}

bool Grid::setRow(int r) { return moveTo(r, col_); }
bool Grid::setCol(int c) { return moveTo(row_, c); }
bool Grid::setCurrentCell(int r, int c) { return moveTo(r, c); }

bool Grid::setRowSel(int r) {
    if (r < 0 || r >= rows()) return false;
    rowSel_ = r;
    touch(GridSelection);
    return true;
}

bool Grid::setColSel(int c) {
    if (c < 0 || c >= cols_) return false;
    colSel_ = c;
    touch(GridSelection);
    return true;
}

template <typename F>
bool Grid::forSelection(F f) {
    if (!validCell(row_, col_)) return false;
    if (fillStyle_ == FillStyle::Single) {
        f(row_, col_);
        return true;
    }
    for (int r = std::min(row_, rowSel_); r <= std::max(row_, rowSel_); ++r) {
        for (int c = std::min(col_, colSel_); c <= std::max(col_, colSel_); ++c) f(r, c);
    }
    return true;
}

bool Grid::setText(std::string text) {
    return forSelection([&](int r, int c) { setTextMatrix(r, c, text); });
}

bool Grid::setCellForeColour(std::optional<Colour> colour) {
    return forSelection([&](int r, int c) { setCellForeColourAt(r, c, colour); });
}

bool Grid::setCellBackColour(std::optional<Colour> colour) {
    return forSelection([&](int r, int c) { setCellBackColourAt(r, c, colour); });
}

bool Grid::setTopRow(int r) {
    if (r < fixedRows_ || r >= rows()) return false;
    topRow_ = r;
    touch(GridSelection);
    return true;
}

void Grid::topRowFromView(int r) {
    if (r >= fixedRows_ && r < rows()) topRow_ = r;
}

void Grid::click(int row, int col) {
    moveTo(row, col);
    if (onClick) onClick();
}

void Grid::dblClick() {
    if (onDblClick) onDblClick();
}

// ---- layout ----------------------------------------------------------------

int Grid::colWidth(int col) const {
    return (col >= 0 && col < cols_) ? columns_[static_cast<std::size_t>(col)].width : 0;
}

bool Grid::setColWidth(int col, int twips) {
    if (col < 0 || col >= cols_ || twips < -1) return false;
    if (columns_[static_cast<std::size_t>(col)].width != twips) {
        columns_[static_cast<std::size_t>(col)].width = twips;
        touch(GridLayout);
    }
    return true;
}

Alignment Grid::colAlignment(int col) const {
    return (col >= 0 && col < cols_) ? columns_[static_cast<std::size_t>(col)].alignment : Alignment::General;
}

bool Grid::setColAlignment(int col, Alignment a) {
    if (col < 0 || col >= cols_) return false;
    if (columns_[static_cast<std::size_t>(col)].alignment != a) {
        columns_[static_cast<std::size_t>(col)].alignment = a;
        touch(GridLayout);
    }
    return true;
}

Alignment Grid::fixedAlignment(int col) const {
    return (col >= 0 && col < cols_) ? columns_[static_cast<std::size_t>(col)].fixedAlignment : Alignment::General;
}

bool Grid::setFixedAlignment(int col, Alignment a) {
    if (col < 0 || col >= cols_) return false;
    if (columns_[static_cast<std::size_t>(col)].fixedAlignment != a) {
        columns_[static_cast<std::size_t>(col)].fixedAlignment = a;
        touch(GridLayout);
    }
    return true;
}

int Grid::rowHeight(int row) const {
    if (row < 0 || row >= rows()) return 0;
    const int h = rows_[static_cast<std::size_t>(row)].height;
    return h < 0 ? defaultRowHeight_ : h;
}

bool Grid::setRowHeight(int row, int twips) {
    if (row < 0 || row >= rows() || twips < -1) return false;
    rows_[static_cast<std::size_t>(row)].height = twips;
    touch(GridLayout);
    return true;
}

void Grid::setDefaultRowHeight(int twips) {
    defaultRowHeight_ = std::max(0, twips);
    touch(GridLayout);
}

// ---- merging ---------------------------------------------------------------

void Grid::setMergeCells(MergeCells m) {
    mergeCells_ = m;
    touch(GridLayout);
}

bool Grid::mergeCol(int col) const {
    return col >= 0 && col < cols_ && columns_[static_cast<std::size_t>(col)].merge;
}

bool Grid::setMergeCol(int col, bool on) {
    if (col < 0 || col >= cols_) return false;
    if (columns_[static_cast<std::size_t>(col)].merge != on) {
        columns_[static_cast<std::size_t>(col)].merge = on;
        touch(GridLayout);
    }
    return true;
}

MergeSpan Grid::mergedSpan(int row, int col) const {
    if (!validCell(row, col) || mergeCells_ == MergeCells::Never || !mergeCol(col)) return {row, 1};
    // Fixed and scrolling rows never merge with each other.
    const bool fixedRow = row < fixedRows_;
    const int low = fixedRow ? 0 : fixedRows_;
    const int high = fixedRow ? fixedRows_ - 1 : rows() - 1;
    const std::string& text = rows_[static_cast<std::size_t>(row)].cells[static_cast<std::size_t>(col)].text;
    auto same = [&](int r) { return rows_[static_cast<std::size_t>(r)].cells[static_cast<std::size_t>(col)].text == text; };
    int first = row;
    while (first > low && same(first - 1)) --first;
    int last = row;
    while (last < high && same(last + 1)) ++last;
    return {first, last - first + 1};
}

// ---- sorting ---------------------------------------------------------------

bool Grid::sort(int col, GridSort order) {
    if (col < 0 || col >= cols_) return false;
    if (rows() - fixedRows_ < 2) return true;
    const bool ignoreCase = order == GridSort::TextNoCaseAscending || order == GridSort::TextNoCaseDescending;
    const bool descending = order == GridSort::TextDescending || order == GridSort::TextNoCaseDescending;
    const auto c = static_cast<std::size_t>(col);
    std::stable_sort(rows_.begin() + fixedRows_, rows_.end(), [&](const RowData& a, const RowData& b) {
        const int cmp = compareText(a.cells[c].text, b.cells[c].text, ignoreCase);
        return descending ? cmp > 0 : cmp < 0;
    });
    touch(GridStructure);
    return true;
}

bool Grid::sortSelection(GridSort order) {
    if (!validCell(row_, col_)) return false;
    const int first = std::max(fixedRows_, std::min(row_, rowSel_));
    const int last = std::max(row_, rowSel_);
    if (last - first < 1) return true;
    const bool ignoreCase = order == GridSort::TextNoCaseAscending || order == GridSort::TextNoCaseDescending;
    const bool descending = order == GridSort::TextDescending || order == GridSort::TextNoCaseDescending;
    const auto c = static_cast<std::size_t>(col_);
    std::stable_sort(rows_.begin() + first, rows_.begin() + last + 1, [&](const RowData& a, const RowData& b) {
        const int cmp = compareText(a.cells[c].text, b.cells[c].text, ignoreCase);
        return descending ? cmp > 0 : cmp < 0;
    });
    touch(GridStructure);
    return true;
}

// ---- colours and drawing ---------------------------------------------------

void Grid::setForeColourFixed(Colour c) {
    foreFixed_ = c;
    touch(GridAppearance);
}
void Grid::setBackColourFixed(Colour c) {
    backFixed_ = c;
    touch(GridAppearance);
}
void Grid::setForeColourSel(Colour c) {
    foreSel_ = c;
    touch(GridAppearance);
}
void Grid::setBackColourSel(Colour c) {
    backSel_ = c;
    touch(GridAppearance);
}
void Grid::setGridColour(Colour c) {
    gridColour_ = c;
    touch(GridAppearance);
}
void Grid::setSelectionMode(SelectionMode m) {
    selectionMode_ = m;
    touch(GridAppearance | GridSelection);
}
void Grid::setHighlight(Highlight h) {
    highlight_ = h;
    touch(GridAppearance);
}

void Grid::setRedraw(bool on) {
    if (redraw_ == on) return;
    redraw_ = on;
    if (on && pending_ != 0) touch(0);
}

void Grid::refresh() { touch(GridEverything); }

}  // namespace wendra::ui
