#include "exchange/SyncMerge.h"

#include <algorithm>
#include <string>
#include <vector>

#include "exchange/iCalExport.h"
#include "store/iCalData.h"
#include "store/modFuncs.h"

namespace wendra {

namespace {

bool sameDate(DateTime a, DateTime b) { return compareDates(a, b) == DateOrder::Same; }

// Whether the source's schedule is not the base's: its start, its kind of day,
// whether it repeats, or its rules. The removed dates are left out of the rule
// text: the device sends its hidden dates as removed ones, and the date lists are
// settled on their own (mergeDateLists).
//
// A rule reads back from the device as only the 1.0 grammar says it (an end date
// as a count, say): a copy whose rule is the one the base goes out as is the rule
// sent, unchanged.
bool scheduleChanged(const clsCalEvent& source, const clsCalEvent& base) {
    if (!sameDate(source.EventStart(), base.EventStart()) || source.AllDayEvent() != base.AllDayEvent() ||
        source.IsRecurring() != base.IsRecurring())
        return true;
    if (makeiCalData(source, false) == makeiCalData(base, false)) return false;
    const auto sent = iCalExport::vcalRRule(base);
    return !sent || sent != iCalExport::vcalRRule(source) || source.RDates() != base.RDates();
}

void takeSchedule(clsCalEvent& target, const clsCalEvent& source) {
    target.setEventStart(source.EventStart());
    target.setAllDayEvent(source.AllDayEvent());
    const clsCalRRule* from = source.RRule(1);
    if (!source.IsRecurring() || from == nullptr) {
        target.setIsRecurring(false);
        target.deleteRRule(1);
        return;
    }
    // A target that does not repeat has no rule of its own to build on.
    if (!target.IsRecurring())
        while (target.RRulesCount() > 0) target.deleteRRule(1);
    if (target.RRulesCount() == 0) target.addRRule();
    clsCalRRule& to = *target.RRule(1);
    target.setIsRecurring(true);
    to.setIsValid(true);
    to.setFrequency(from->Frequency());
    to.setInterval(from->Interval());
    to.setDurationCount(from->DurationCount());
    to.setByMonth(from->ByMonth());
    to.setByWeekNo(from->ByWeekNo());
    to.setByYearDay(from->ByYearDay());
    to.setByMonthDay(from->ByMonthDay());
    to.setByDay(from->ByDay());
    to.setBySetPos(from->BySetPos());
    to.setDurationUntil(from->DurationUntil(), from->DurationUntil_AllDay());
}

// The source's whole schedule, every rule of it as it stands: taken over the
// device's day map of an event, whose schedule the device cannot have changed, a
// field-by-field copy of the first rule alone would lose the other rules and what
// the first holds beyond the fields the device exchanges.
void takeWholeSchedule(clsCalEvent& target, const clsCalEvent& source) {
    target.setEventStart(source.EventStart());
    target.setAllDayEvent(source.AllDayEvent());
    while (target.RRulesCount() > 0) target.deleteRRule(1);
    for (const clsCalRRule& r : source.RRules()) target.addRRule() = r;
    target.setIsRecurring(source.IsRecurring() && target.RRulesCount() > 0);
}

bool ruleChanged(const clsCalRRule& a, const clsCalRRule& b) {
    return a.Frequency() != b.Frequency() || a.Interval() != b.Interval() || a.DurationCount() != b.DurationCount() ||
           !sameDate(a.DurationUntil(), b.DurationUntil()) || a.ByMonth() != b.ByMonth() ||
           a.ByWeekNo() != b.ByWeekNo() || a.ByYearDay() != b.ByYearDay() || a.ByMonthDay() != b.ByMonthDay() ||
           a.ByDay() != b.ByDay() || a.BySetPos() != b.BySetPos();
}

bool listHas(const std::string& list, const std::string& item) {
    const std::vector<std::string> items = splitList(list);
    return std::find(items.begin(), items.end(), item) != items.end();
}

// The program's own item of the list that a device item stands for: the same text,
// or, for a timed event, a whole day (or its midnight) that went to the device at
// the event's time of day. Empty when the list has none.
std::string programItem(const std::string& list, const std::string& item, const clsCalEvent& event) {
    if (listHas(list, item)) return item;
    const auto date = parseICalDateTime(item);
    if (event.AllDayEvent() || !date || item.size() != 15 || date->secondOfDay() != event.EventStart().secondOfDay())
        return {};
    for (std::string day : {item.substr(0, 8), item.substr(0, 8) + "T000000"})
        if (listHas(list, day)) return day;
    return {};
}

// The new items first, then the program's own, each once, no comma at either end.
std::string joinLists(const std::string& added, const std::string& program) {
    return trimCommas(dedupeList(added + program));
}

}  // namespace

DateTime mergeDate(DateTime base, DateTime target, DateTime source, bool useBase) {
    return useBase && sameDate(source, base) ? target : source;
}

clsCalEvent mergeEvent(const clsCalEvent& base, clsCalEvent target, const clsCalEvent& source, bool useBase) {
    target.setDescription(mergeValue(base.Description(), target.Description(), source.Description(), useBase));
    target.setViewFromDate(mergeDate(base.ViewFromDate(), target.ViewFromDate(), source.ViewFromDate(), useBase));
    target.setPriorWarningIsDefault(mergeValue(base.PriorWarningIsDefault(), target.PriorWarningIsDefault(),
                                               source.PriorWarningIsDefault(), useBase));
    target.setPriorWarning(mergeValue(base.PriorWarning(), target.PriorWarning(), source.PriorWarning(), useBase));
    target.setAutoDelete(mergeValue(base.AutoDelete(), target.AutoDelete(), source.AutoDelete(), useBase));
    target.setLastModified(mergeDate(base.LastModified(), target.LastModified(), source.LastModified(), useBase));
    target.setRDates(mergeValue(base.RDates(), target.RDates(), source.RDates(), useBase));
    target.setHasExceptions(mergeValue(base.hasExceptions(), target.hasExceptions(), source.hasExceptions(), useBase));
    target.setDescExceptions(
        mergeValue(base.DescExceptions(), target.DescExceptions(), source.DescExceptions(), useBase));
    target.setModified(mergeValue(base.Modified(), target.Modified(), source.Modified(), useBase));

    // The device's day map is no schedule it can have changed: the other side's stands.
    if (target.EventFormat() > 0)
        takeWholeSchedule(target, source);
    else if (!useBase || scheduleChanged(source, base))
        takeSchedule(target, source);
    return target;
}

bool rruleChanged(const clsCalEvent& a, const clsCalEvent& b) {
    if (trim(a.Description()) != trim(b.Description()) || !sameDate(a.EventStart(), b.EventStart()) ||
        !sameDate(a.ViewFromDate(), b.ViewFromDate()) || a.AllDayEvent() != b.AllDayEvent() ||
        a.RDates() != b.RDates() || a.ExDates() != b.ExDates() || a.HiddenList() != b.HiddenList() ||
        a.DescExceptions() != b.DescExceptions() || a.PriorWarningIsDefault() != b.PriorWarningIsDefault() ||
        a.PriorWarning() != b.PriorWarning() || a.AutoDelete() != b.AutoDelete() || a.IsRecurring() != b.IsRecurring())
        return true;
    if (!a.IsRecurring()) return false;
    const clsCalRRule* ra = a.RRule(1);
    const clsCalRRule* rb = b.RRule(1);
    if (ra == nullptr || rb == nullptr) return (ra == nullptr) != (rb == nullptr);
    return ruleChanged(*ra, *rb);
}

void mergeDateLists(clsCalEvent& merged, const clsCalEvent& program, const clsCalEvent& device, int deleteSetting,
                    DateTime present) {
    std::string excluded, hidden;
    const auto add = [](std::string& list, const std::string& item) { (list += item) += ','; };
    for (const std::string& item : device.ExAndHiddenDatesArray(true, true)) {
        const auto date = parseICalDateTime(item);
        if (!date) continue;
        // Whole items are compared: the program's last item has no comma after it.
        if (const std::string own = programItem(program.HiddenList(), item, program); !own.empty()) {
            add(hidden, own);
        } else if (const std::string ownExcluded = programItem(program.ExDates(), item, program); !ownExcluded.empty()) {
            add(excluded, ownExcluded);
        } else if (merged.AllDayEvent() ? date->date() > present.date() : compareDates(*date, present) == DateOrder::Later) {
            add(excluded, item);
        } else if (deleteSetting == 0) {
            add(hidden, item);
        } else {
            add(excluded, item);
        }
    }
    merged.setExDates(joinLists(excluded, program.ExDates()));
    merged.setHiddenList(joinLists(hidden, program.HiddenList()));
}

void copyDescExceptions(const clsCalEvent& from, clsCalEvent& to) {
    to.setDescExceptions(from.DescExceptions());
    to.setHasExceptions(from.hasExceptions());
}

}  // namespace wendra
