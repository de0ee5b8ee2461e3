#include "store/clsCalEvent.h"

#include <algorithm>
#include <initializer_list>

#include "platform/clock/Clock.h"

namespace wendra {

namespace {

int clamp16(int v) { return std::clamp(v, -32768, 32767); }

// A list that already ends in "," (as some writers leave it) takes no second
// one, which would read as an empty item.
void appendItem(std::string& list, std::string_view item) {
    if (!list.empty() && list.back() != ',') list += ',';
    list += item;
}

// The list without the items that are one of `texts` and without empty items,
// joined by ",". Whole items are compared, blanks around them aside, so an
// item that only holds the text stays whole; the empty items that text
// replacements leave behind would otherwise reach the expansion as dates.
std::string withoutItems(std::string_view list, std::initializer_list<std::string_view> texts) {
    std::string out;
    for (const auto& item : splitList(list)) {
        const std::string t = trim(item);
        if (t.empty() || std::find(texts.begin(), texts.end(), t) != texts.end()) continue;
        appendItem(out, item);
    }
    return out;
}

bool hasItem(std::string_view list, std::string_view text) {
    for (const auto& item : splitList(list))
        if (trim(item) == text) return true;
    return false;
}

// The items of `list` that read as dates and lie no earlier than the earlier
// of the two limits, joined by ",".
std::string keepFrom(std::string_view list, DateTime limitA, DateTime limitB) {
    std::string out;
    for (const auto& item : splitList(dedupeList(trim(list)))) {
        const auto d = parseICalDateTime(item);
        if (!d) continue;
        if (compareDates(*d, limitA) == DateOrder::Earlier && compareDates(*d, limitB) == DateOrder::Earlier) continue;
        out += item;
        out += ',';
    }
    return trimCommas(out);
}

}  // namespace

clsCalEvent::clsCalEvent(int xCalendarId)
    : eventStart_(today()), viewFromDate_(today()), created_(now()), xCalendarId_(xCalendarId) {}

int clsCalEvent::PriorWarning() const { return clamp16(priorWarning_); }

void clsCalEvent::setCreatorId(int v) { creatorId_ = clamp16(v); }

void clsCalEvent::setEventFormat(int v) { eventFormat_ = clamp16(v); }

// ---- date lists ------------------------------------------------------------

std::vector<std::string> clsCalEvent::RDatesArray() const { return splitList(dedupeList(rDates_)); }

std::vector<std::string> clsCalEvent::ExAndHiddenDatesArray(bool includeExDates, bool includeHidden) const {
    std::string joined;
    if (includeExDates) joined = exDates_;
    if (includeHidden) {
        if (!joined.empty() && !hiddenList_.empty()) joined += ',';
        joined += hiddenList_;
    }
    return splitList(dedupeList(joined));
}

void clsCalEvent::AddExDate(DateTime date, bool allDay) { appendItem(exDates_, formatICalDateTime(date, !allDay)); }

void clsCalEvent::AddHidden(DateTime date, bool allDay) { appendItem(hiddenList_, formatICalDateTime(date, !allDay)); }

void clsCalEvent::removeRDate(DateTime date, bool allDay) {
    rDates_ = withoutItems(rDates_, {formatICalDateTime(date, !allDay)});
}

void clsCalEvent::removeHiddenDate(DateTime date) {
    hiddenList_ = withoutItems(hiddenList_, {formatICalDateTime(date, true), formatICalDateTime(date, false)});
}

void clsCalEvent::CleanHiddenList() { hiddenList_ = keepFrom(hiddenList_, viewFromDate_, today()); }

void clsCalEvent::CleanDeletedList() {
    exDates_ = keepFrom(exDates_, today().addDays(-366), viewFromDate_.addDays(-366));
}

// ---- row key ---------------------------------------------------------------

std::string clsCalEvent::GridKey() const {
    const std::string occurDesc = OccurDesc();
    const bool ownDesc = occurDesc != description_;
    // Every list row has a key: it is written in one piece, not a piece a field.
    std::string key;
    key.reserve(112 + description_.size() + xid_.size() + wendraWinId_.size() + (ownDesc ? occurDesc.size() : 0));
    const auto field = [&key](Tag tag, std::string_view value) {
        key.append(tagName(tag)).append(value).append(tagName(Tag::End));
    };
    field(Tag::Desc, tagSafe(description_));
    field(Tag::XId, tagSafe(xid_));
    field(Tag::Id, tagSafe(wendraWinId_));
    field(Tag::Recur, isRecurring_ ? "True" : "False");
    field(Tag::Strt, formatICalDateTime(eventStart_, !allDayEvent_));
    field(Tag::Occr, formatICalDateTime(occurDate_, !allDayOccur_));
    field(Tag::OcDesc, ownDesc ? tagSafe(occurDesc) : std::string());
    field(Tag::MSO, formatICalDateTime(msoCreated_, true));
    return key;
}

std::string gridKeyValue(std::string_view key, Tag tag) { return untagValue(taggedValue(key, tag)); }

// ---- rules -----------------------------------------------------------------

clsCalRRule& clsCalEvent::addRRule() { return rules_.emplace_back(); }

void clsCalEvent::deleteRRule(int index) {
    if (index < 1 || index > RRulesCount()) return;
    rules_.erase(rules_.begin() + (index - 1));
}

clsCalRRule* clsCalEvent::RRule(int index) {
    if (index < 1 || index > RRulesCount()) return nullptr;
    return &rules_[static_cast<std::size_t>(index - 1)];
}

const clsCalRRule* clsCalEvent::RRule(int index) const {
    if (index < 1 || index > RRulesCount()) return nullptr;
    return &rules_[static_cast<std::size_t>(index - 1)];
}

// ---- editing and deletion --------------------------------------------------

bool clsCalEvent::isEditableQVR() const {
    if (hasExceptions_) return false;
    if (rules_.size() >= 2) return false;
    if (rules_.empty()) return true;
    const clsCalRRule& r = rules_.front();
    // The editor shows one recurrence rule of a frequency it offers; Save
    // would rewrite anything else as one of its own.
    if (r.RRuleType() != 0) return false;
    switch (r.Frequency()) {
        case clsCalRRule::kYearly:
        case clsCalRRule::kMonthly:
        case clsCalRRule::kWeekly:
        case clsCalRRule::kDaily:
        case clsCalRRule::kNone:
            break;
        default:
            return false;
    }
    if (r.isMonthEnd() || r.isMonth29Plus()) return true;
    for (const std::string* list : {&r.ByMonth(), &r.ByWeekNo(), &r.ByYearDay(), &r.ByMonthDay(), &r.ByDay(),
                                    &r.ByHour(), &r.ByMinute(), &r.BySecond(), &r.BySetPos()})
        if (!trim(*list).empty()) return false;
    return true;
}

void clsCalEvent::MarkDelete(bool wholeEvent, DateTime occurrenceDate, bool allDayOccurrence) {
    if (wholeEvent) {
        updateRequest_ = kRequestDeleteEvent;
    } else {
        updateRequest_ = kRequestDeleteOccurrence;
        // The same whole-item test as removeRDate's, so an extra date found
        // here is always the one removed.
        if (hasItem(rDates_, formatICalDateTime(occurrenceDate, !allDayOccurrence)))
            removeRDate(occurrenceDate, allDayOccurrence);
        else
            AddExDate(occurrenceDate, allDayOccurrence);
    }
    lastModified_ = now();
}

// ---- current occurrence ----------------------------------------------------

std::string clsCalEvent::OccurDesc() const { return trim(occurDesc_).empty() ? description_ : occurDesc_; }

}  // namespace wendra
