#pragma once

// The HTML fragment of the gadget's event list: a table of a toolbar row, a row
// for the folded past occurrences or for an empty list, and one row for each
// occurrence row of the page, its cells linking to the page's script functions.
//
// The user's texts are escaped where they land: HTML text in the cells, and in the
// links' script arguments every character that would end the argument, the
// script or the attribute. Ordinary texts come out as they stand.

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/clock/DateTime.h"

namespace wendra {

class clsGrid;

struct FragmentPage {
    std::int16_t maxRows = -1;  // -1: to the last row
    std::int16_t topRow = 0;    // below 0 counts as 0
    bool shrinkPast = true;     // past occurrences folded into a count
    int pastCount = 0;          // how many were folded
    int noEventsDays = 0;       // the days the empty list's row names
    // The rows of the whole list, of which the grid holds the first ones (at least
    // to the page's last); -1: the grid holds them all.
    int rows = -1;
};

// The occurrence of each event row written, by the event id and the date text its
// editEvent link hands back (before the link's escapes), joined by linkKey.
using ShownOccurrences = std::vector<std::pair<std::string, DateTime>>;
std::string linkKey(std::string_view id, std::string_view when);

std::string createTable(const clsGrid& grid, const FragmentPage& page, ShownOccurrences* shown = nullptr);

// ---- escapes (public for their tests) ----
// & < > as HTML references.
std::string htmlText(std::string_view text);
// The same and the double quote, for a value inside double quotes.
std::string htmlAttribute(std::string_view text);
// The description as showCountdown takes it: both quotes become "`" and a
// backslash "\u005C"; control characters and "%" become \u00XX escapes, the
// line and paragraph separators \u2028 and \u2029.
std::string countdownArgument(std::string_view text);
// Any other argument of a link: backslash, quotes, control characters and "%"
// as \u00XX escapes, the separators as \u2028 and \u2029, and with colons, ":"
// too (the date and time of editEvent).
std::string scriptArgument(std::string_view text, bool colons = false);

}  // namespace wendra
