#include "platform/ui/Grid.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "platform/text/Text.h"

namespace wendra::ui {

namespace {
int compareText(std::string_view a, std::string_view b, bool ignoreCase) {
    if (ignoreCase) return compareNoCase(a, b);
    const int c = a.compare(b);
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

// ---- a row's block -----------------------------------------------------------
// For each of the grid's columns a slot of twelve bytes: where the column's text
// ends (counted from the first text), with two bits saying whether the cell has a
// fore and a back colour of its own, and the two colours; then the texts. A row's
// texts together stay below 1 GiB.
constexpr std::size_t kSlotSize = 12;
constexpr std::uint32_t kHasFore = 1u << 31;
constexpr std::uint32_t kHasBack = 1u << 30;
constexpr std::uint32_t kEndBits = kHasBack - 1;
// Room a row's block grows by beyond what a write needs, so that writing a row
// cell by cell takes one or two allocations rather than one a cell, and a row
// keeps little unused room.
constexpr std::size_t kBlockSlack = 64;

struct Slot {
    std::uint32_t end = 0;  // with the two colour bits
    Colour fore = 0;
    Colour back = 0;
};

Slot slotOf(const std::string& block, int col) {
    Slot s;
    const char* p = block.data() + static_cast<std::size_t>(col) * kSlotSize;
    std::memcpy(&s.end, p, 4);
    std::memcpy(&s.fore, p + 4, 4);
    std::memcpy(&s.back, p + 8, 4);
    return s;
}

void putSlot(std::string& block, int col, const Slot& s) {
    char* p = block.data() + static_cast<std::size_t>(col) * kSlotSize;
    std::memcpy(p, &s.end, 4);
    std::memcpy(p + 4, &s.fore, 4);
    std::memcpy(p + 8, &s.back, 4);
}

std::size_t textsStart(int cols) { return static_cast<std::size_t>(cols) * kSlotSize; }
std::uint32_t textEnd(const std::string& block, int col) { return col < 0 ? 0 : slotOf(block, col).end & kEndBits; }

std::string_view blockText(const std::string& block, int cols, int col) {
    if (block.empty()) return {};
    const std::uint32_t begin = textEnd(block, col - 1);
    return std::string_view(block).substr(textsStart(cols) + begin, textEnd(block, col) - begin);
}

void makeBlock(std::string& block, int cols) {
    if (block.empty()) block.assign(textsStart(cols), '\0');
}

// False when the row's texts would pass the limit. A new block takes at least the
// room `sizeHint` says (the size of the row written before: a list's rows are
// alike), and the hint becomes this row's size.
bool setBlockText(std::string& block, int cols, int col, std::string_view text, std::size_t& sizeHint) {
    if (block.empty()) block.reserve(std::max(sizeHint, textsStart(cols) + text.size()) + kBlockSlack);
    makeBlock(block, cols);
    const std::uint32_t begin = textEnd(block, col - 1);
    const std::uint32_t end = textEnd(block, col);
    const std::size_t total = textEnd(block, cols - 1) - (end - begin) + text.size();
    if (total > kEndBits) return false;
    const std::size_t needed = textsStart(cols) + total;
    if (needed > block.capacity()) block.reserve(needed + kBlockSlack);
    block.replace(textsStart(cols) + begin, end - begin, text);
    const auto grown = static_cast<std::uint32_t>(text.size()) - (end - begin);  // modulo 2^32, as the ends are
    for (int c = col; c < cols; ++c) {
        Slot s = slotOf(block, c);
        s.end = (s.end & ~kEndBits) | (((s.end & kEndBits) + grown) & kEndBits);
        putSlot(block, c, s);
    }
    sizeHint = block.size();
    return true;
}

// The block of the same cells for another number of columns: texts and colours of
// the columns both have, nothing for new ones.
std::string reshapedBlock(const std::string& block, int oldCols, int newCols) {
    std::string out;
    if (block.empty()) return out;
    std::size_t sizeHint = block.size();
    for (int c = 0; c < std::min(oldCols, newCols); ++c) {
        setBlockText(out, newCols, c, blockText(block, oldCols, c), sizeHint);
        Slot s = slotOf(out, c);
        const Slot old = slotOf(block, c);
        s.end = (s.end & kEndBits) | (old.end & ~kEndBits);
        s.fore = old.fore;
        s.back = old.back;
        putSlot(out, c, s);
    }
    return out;
}
}  // namespace

Grid::Grid(std::string name, int rows, int cols) : Control(std::move(name)) {
    setDefaultColours(colours::windowText, colours::window);
    setCols(cols);
    setRows(rows);
    pending_ = 0;
}

std::string_view Grid::cellText(int r, int c) const {
    return validCell(r, c) ? blockText(rows_[static_cast<std::size_t>(r)].block, cols_, c) : std::string_view();
}

std::optional<Colour> Grid::cellColour(int r, int c, bool fore) const {
    if (!validCell(r, c)) return std::nullopt;
    const std::string& block = rows_[static_cast<std::size_t>(r)].block;
    if (block.empty()) return std::nullopt;
    const Slot s = slotOf(block, c);
    if ((s.end & (fore ? kHasFore : kHasBack)) == 0) return std::nullopt;
    return fore ? s.fore : s.back;
}

bool Grid::setCellColour(int r, int c, bool fore, std::optional<Colour> colour) {
    if (!validCell(r, c)) return false;
    if (cellColour(r, c, fore) == colour) return true;
    std::string& block = rows_[static_cast<std::size_t>(r)].block;
    makeBlock(block, cols_);
    Slot s = slotOf(block, c);
    const std::uint32_t bit = fore ? kHasFore : kHasBack;
    s.end = colour ? (s.end | bit) : (s.end & ~bit);
    (fore ? s.fore : s.back) = colour.value_or(0);
    putSlot(block, c, s);
    touch(GridCells);
    return true;
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
    rows_.resize(static_cast<std::size_t>(n));
    clampSelection();
    touch(GridStructure | GridSelection);
    return true;
}

bool Grid::setCols(int n) {
    if (n < 0 || n < fixedCols_) return false;
    for (auto& r : rows_) r.block = reshapedBlock(r.block, cols_, n);
    cols_ = n;
    columns_.resize(static_cast<std::size_t>(n));
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
    RowData r;
    int c = 0;
    std::size_t start = 0;
    while (c < cols_) {
        const auto tab = tabText.find('\t', start);
        const std::string_view piece = tabText.substr(start, tab == std::string_view::npos ? tab : tab - start);
        if (!piece.empty() && !setBlockText(r.block, cols_, c, piece, blockSizeHint_)) return false;
        ++c;
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
    for (auto& r : rows_) std::string().swap(r.block);
    touch(GridCells);
}

// ---- cells -----------------------------------------------------------------

std::string Grid::textMatrix(int row, int col) const { return std::string(cellText(row, col)); }

bool Grid::setTextMatrix(int row, int col, std::string text) {
    if (!validCell(row, col)) return false;
    if (cellText(row, col) == text) return true;
    if (!setBlockText(rows_[static_cast<std::size_t>(row)].block, cols_, col, text, blockSizeHint_)) return false;
    touch(GridCells);
    return true;
}

std::optional<Colour> Grid::cellForeColourAt(int row, int col) const { return cellColour(row, col, true); }
std::optional<Colour> Grid::cellBackColourAt(int row, int col) const { return cellColour(row, col, false); }

bool Grid::setCellForeColourAt(int row, int col, std::optional<Colour> colour) {
    return setCellColour(row, col, true, colour);
}

bool Grid::setCellBackColourAt(int row, int col, std::optional<Colour> colour) {
    return setCellColour(row, col, false, colour);
}

bool Grid::clearRowColours(int row) {
    if (row < 0 || row >= rows()) return false;
    std::string& block = rows_[static_cast<std::size_t>(row)].block;
    bool cleared = false;
    for (int c = 0; c < cols_ && !block.empty(); ++c) {
        Slot s = slotOf(block, c);
        if ((s.end & (kHasFore | kHasBack)) == 0) continue;
        s.end &= kEndBits;
        s.fore = s.back = 0;
        putSlot(block, c, s);
        cleared = true;
    }
    if (cleared) touch(GridCells);
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
    const std::string_view text = cellText(row, col);
    auto same = [&](int r) { return cellText(r, col) == text; };
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
    std::stable_sort(rows_.begin() + fixedRows_, rows_.end(), [&](const RowData& a, const RowData& b) {
        const int cmp = compareText(blockText(a.block, cols_, col), blockText(b.block, cols_, col), ignoreCase);
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
    std::stable_sort(rows_.begin() + first, rows_.begin() + last + 1, [&](const RowData& a, const RowData& b) {
        const int cmp = compareText(blockText(a.block, cols_, col_), blockText(b.block, cols_, col_), ignoreCase);
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
