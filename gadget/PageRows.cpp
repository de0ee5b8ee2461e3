#include "gadget/PageRows.h"

#include <algorithm>

#include "platform/text/Text.h"

namespace wendra {

// The order the list reaches the page in: the main window's rebuild puts the rows
// in order of their keys ignoring case, equal keys by their row keys ignoring case
// and then as the walk met them; the grid's sort then orders the keys code unit by
// code unit, and puts the rows of an equal key in the reverse of that order.
bool PageRows::before(const Kept& a, const Kept& b) {
    const int key = a.cells.text[grdSortKey].compare(b.cells.text[grdSortKey]);
    if (key != 0) return key < 0;
    const int rowKey = compareNoCase(a.cells.text[grdKey], b.cells.text[grdKey]);
    if (rowKey != 0) return rowKey > 0;
    return a.arrival > b.arrival;
}

bool PageRows::wants(std::string_view sortKey) {
    ++offered_;
    if (!full()) return true;
    if (keep_ == 0) return false;
    // A key after the last one kept comes after every row kept; an equal key is
    // settled by its row key.
    return sortKey <= std::string_view(kept_.front().cells.text[grdSortKey]);
}

void PageRows::add(RowCells&& cells) {
    Kept row{std::move(cells), offered_};
    if (full()) {
        if (!before(row, kept_.front())) return;
        std::pop_heap(kept_.begin(), kept_.end(), before);
        kept_.back() = std::move(row);
    } else {
        kept_.push_back(std::move(row));
    }
    std::push_heap(kept_.begin(), kept_.end(), before);
}

std::vector<RowCells> PageRows::take() {
    std::sort_heap(kept_.begin(), kept_.end(), before);
    std::vector<RowCells> rows;
    rows.reserve(kept_.size());
    for (Kept& k : kept_) rows.push_back(std::move(k.cells));
    kept_.clear();
    return rows;
}

}  // namespace wendra
