// The operations of clsCalEvent that turn the event and its rules into dates:
// the occurrence walk, the rule durations and the next view date. All of them
// expand through the map creator and read through the map reader.

#include <algorithm>
#include <optional>
#include <vector>

#include "platform/clock/Clock.h"
#include "store/clsCalEvent.h"
#include "store/iCalMapCreator.h"
#include "store/iCalMapReader.h"
#include "store/iCalRuleExpansion.h"
#include "store/modFuncs.h"

namespace wendra {

namespace {

// How far rules without an end are expanded: 31 December, five years on.
DateTime horizon() { return DateTime::ymd(today().year() + 5, 12, 31); }

// The rules that expand; a rule of no known frequency counts as no rule.
std::vector<clsCalRRule*> expandingRules(std::vector<clsCalRRule>& rules) {
    std::vector<clsCalRRule*> out;
    for (auto& r : rules)
        if (ruleExpands(r)) out.push_back(&r);
    return out;
}

// The latest extra date of the event, if it has any that reads as a date.
std::optional<DateTime> latestExtraDate(const clsCalEvent& ev) {
    std::optional<DateTime> latest;
    for (const auto& text : ev.RDatesArray())
        if (const auto d = parseICalDateTime(text); d && (!latest || *d > *latest)) latest = *d;
    return latest;
}

}  // namespace

void clsCalEvent::generateOccurs(DateTime fromDate, DateTime toDate) {
    walk_.clear();
    iCalMapCreator creator(*this);
    const DateTime start = combineDateTime(fromDate, eventStart_);
    const std::vector<clsCalRRule*> rules = expandingRules(rules_);
    if (!isRecurring_ || rules.empty()) {
        walk_.addMap(creator.makeEventBitMap(nullptr, start, toDate));
        return;
    }
    for (clsCalRRule* rule : rules) walk_.addMap(creator.makeEventBitMap(rule, start, toDate));
}

int clsCalEvent::getOccurCount() const { return walk_.getOccurCount(); }

void clsCalEvent::firstOccur() { nextOccur(); }

void clsCalEvent::nextOccur() {
    occurDate_ = walk_.getNextOccur();
    occurDesc_ = description_;
    endOfOccurs_ = walk_.endOfOccurs();
    allDayOccur_ = walk_.AllDayOccur();
    if (endOfOccurs_ || descExceptions_.empty()) return;
    // The occurrence's own text: TAB, its fourteen digits, "=", up to the next TAB.
    std::string key = formatICalDateTime(occurDate_, true);
    key.erase(8, 1);  // the "T"
    key = "\t" + key + "=";
    const auto found = descExceptions_.find(key);
    if (found == std::string::npos) return;
    const auto from = found + key.size();
    const auto tab = descExceptions_.find('\t', from);
    if (tab != std::string::npos) occurDesc_ = descExceptions_.substr(from, tab - from);
}

void clsCalEvent::CalcRRuleDurations() {
    for (auto& rule : rules_)
        if (rule.DurationUntil().isNull() && rule.DurationCount() > 0) calcDurationUntil(rule);
}

DateTime clsCalEvent::calcDurationUntil(clsCalRRule& rule) const {
    iCalMapCreator creator(*this);
    creator.makeEventBitMap(&rule, eventStart_, horizon());
    return rule.DurationUntil();
}

int clsCalEvent::calcDurationCount(const clsCalRRule& rule) const {
    // Every occurrence counts, removed and hidden ones too: a copy without
    // those lists is expanded, so the event itself never changes, not even
    // for a moment.
    clsCalEvent all = *this;
    all.exDates_.clear();
    all.hiddenList_.clear();
    all.viewFromDate_ = eventStart_;
    all.walk_.clear();
    clsCalRRule counted = rule;
    iCalMapCreator creator(all);
    iCalMapReader reader;
    reader.setEncodedEventMap(creator.makeEventBitMap(&counted, eventStart_, rule.DurationUntil()));
    return reader.getOccurCount();
}

DateTime clsCalEvent::calcNextViewDate() {
    iCalMapCreator creator(*this);
    const std::vector<clsCalRRule*> rules = expandingRules(rules_);
    // A one-off event keeps its start, past or not, until it is removed or hidden.
    if (!isRecurring_ || rules.empty())
        return creator.isDateDeleted(eventStart_, allDayEvent_, true, true) ? DateTime() : eventStart_;

    // The search starts at the earlier of the stored view date and now: a past
    // occurrence still in view stays the view date, one in the future is
    // searched again from now.
    const DateTime present = now();
    DateTime searchFrom = viewFromDate_.isNull() ? eventStart_ : viewFromDate_;
    if (searchFrom > present) searchFrom = present;
    const DateTime from = combineDateTime(searchFrom, eventStart_);
    const std::optional<DateTime> lastExtra = latestExtraDate(*this);

    DateTime result;
    bool open = false;
    iCalMapReader reader;
    for (clsCalRRule* rule : rules) {
        DateTime until = rule->DurationUntil();
        if (until.isNull()) {
            until = horizon();
            open = true;
        } else if (lastExtra && lastExtra->date() > until) {
            // Extra dates after the rule's end are occurrences too.
            until = lastExtra->date();
        }
        // UNTIL holds its whole day, as the expansion does.
        if (until.dayNumber() < from.dayNumber()) continue;
        reader.setEncodedEventMap(creator.makeEventBitMap(rule, from, until));
        DateTime d = reader.getFirstOccur();
        while (!reader.endOfOccurs() && d < from) d = reader.getNextOccur();
        if (reader.endOfOccurs()) continue;
        if (result.isNull() || d < result) result = d;
    }
    if (result.isNull() && open) result = horizon();
    return result;
}

}  // namespace wendra
