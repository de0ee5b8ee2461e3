#include "store/clsCalRRule.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <stdexcept>

#include "store/modFuncs.h"

namespace wendra {

namespace {

int clamp16(int v) { return std::clamp(v, -32768, 32767); }

// A list item as a 16-bit number, rounded half to even as the stored files were
// written; nothing for an item that is no number or does not fit.
std::optional<int> listNumber(std::string_view item) {
    const auto v = parseScientific(item);
    if (!v) return std::nullopt;
    const double r = std::nearbyint(*v);
    if (r < -32768 || r > 32767) return std::nullopt;
    return static_cast<int>(r);
}

}  // namespace

void clsCalRRule::NumberList::assign(std::string_view t) {
    text = std::string(t);
    items.clear();
    // The text comes from the user, a calendar file or a stored row: an item
    // that cannot be a number is kept out of the items rather than read as 0,
    // which every BY part would take for a real value.
    for (const auto& item : splitList(t))
        if (const auto n = listNumber(item)) items.push_back(*n);
}

void clsCalRRule::TextList::assign(std::string_view t) {
    text = std::string(t);
    items = splitList(t);
}

namespace {
void checkIndex(int i, int count) {
    if (i < 1 || i > count)
        throw std::out_of_range("list element " + std::to_string(i) + " of " + std::to_string(count));
}
}  // namespace

int clsCalRRule::NumberList::element(int i) const {
    checkIndex(i, count());
    return items[static_cast<std::size_t>(i - 1)];
}

const std::string& clsCalRRule::TextList::element(int i) const {
    checkIndex(i, count());
    return items[static_cast<std::size_t>(i - 1)];
}

void clsCalRRule::setInterval(int v) { interval_ = clamp16(v); }

void clsCalRRule::setWeekStartDay(int v) { weekStartDay_ = clamp16(v); }

bool clsCalRRule::isMonthEnd() const {
    if (frequency_ != kMonthly || bySetPos_.text != "-1") return false;
    // Whole items: "-28,-29,-30,-31" holds every one of the texts "28," to
    // "31," but names days counted from the end, not the last day.
    const auto& days = byMonthDay_.items;
    const auto has = [&days](int d) { return std::find(days.begin(), days.end(), d) != days.end(); };
    if (has(28) && has(29) && has(30) && has(31)) return true;
    int mask = 0;
    for (const auto& item : byDay_.items) {
        const std::string code = toUpper(item);
        if (code == "MO") mask |= 64;
        else if (code == "TU") mask |= 32;
        else if (code == "WE") mask |= 16;
        else if (code == "TH") mask |= 8;
        else if (code == "FR") mask |= 4;
        else if (code == "SA") mask |= 2;
        else if (code == "SU") mask |= 1;
    }
    return mask == 127;
}

bool clsCalRRule::isMonth29Plus() const {
    if (frequency_ != kMonthly || bySetPos_.text != "-1") return false;
    bool marked[32] = {};
    for (int d : byMonthDay_.items)
        if (d >= 1 && d <= 31) marked[d] = true;
    for (int d = 1; d <= 27; ++d)
        if (marked[d]) return false;
    if (!marked[28] || !marked[29]) return false;
    // 28-29, 28-30 or 28-31: no gap once the run stops.
    return marked[30] || !marked[31];
}

}  // namespace wendra
