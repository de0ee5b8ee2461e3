#pragma once

// The filters Items::Restrict takes: comparisons of an item's properties with
// literals, joined by AND, OR and NOT, with parentheses:
//   [Subject] = 'Mum''s birthday'
//   [CreationTime] > '05/Mar/2024 10:29' AND [CreationTime] < '05/Mar/2024 10:31'
// Texts compare without regard to case; dates compare to the minute and are
// written with English month names ("05 March 2024", "05/Mar/2024 10:29") or
// as ISO dates ("2024-03-05 10:29").

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/clock/DateTime.h"

namespace wendra::outlook::ics {

// What a filter can ask of one item or occurrence.
struct ItemFacts {
    const std::string* subject = nullptr;
    DateTime start;
    long duration = 0;
    bool allDay = false;
    bool recurring = false;
    bool reminder = false;
    DateTime created;
    DateTime lastModified;
};

class Restriction {
public:
    // Raises an Error for a filter it cannot read.
    static Restriction parse(const std::string& filter);
    bool matches(const ItemFacts& item) const;

    // The starts a match can have, as far as the filter bounds [Start]:
    // from `from` on and before `to`; an unset end is open.
    struct StartRange {
        std::optional<DateTime> from, to;
    };
    StartRange startRange() const;

    struct Node;

private:
    std::shared_ptr<const Node> root_;
};

// A date literal of a filter; nullopt when it is none.
std::optional<DateTime> parseFilterDate(std::string_view text);

}  // namespace wendra::outlook::ics
