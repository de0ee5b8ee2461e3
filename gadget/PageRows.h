#pragma once

// The rows of the gadget's list that its page can show: the first ones in the
// order of the grid's sort, from a list of tens of thousands of which the page
// shows ten. The others are counted, and only their sort key is ever made.

#include <cstdint>
#include <string_view>
#include <vector>

#include "list/EventList.h"

namespace wendra {

class PageRows final : public ListRows {
public:
    // Keeps the first `keep` rows of the order; -1 keeps them all.
    explicit PageRows(int keep) : keep_(keep) {}

    bool wants(std::string_view sortKey) override;
    void add(RowCells&& cells) override;

    // Every row offered, kept or not.
    int rows() const { return offered_; }
    // The rows kept, in the grid's order; the collection is empty after.
    std::vector<RowCells> take();

private:
    struct Kept {
        RowCells cells;
        std::int64_t arrival;
    };
    // Whether a comes before b in the list the grid's sort gives.
    static bool before(const Kept& a, const Kept& b);
    bool full() const { return keep_ >= 0 && kept_.size() >= static_cast<std::size_t>(keep_); }

    int keep_;
    int offered_ = 0;
    // A heap whose front is the last of the rows kept.
    std::vector<Kept> kept_;
};

}  // namespace wendra
