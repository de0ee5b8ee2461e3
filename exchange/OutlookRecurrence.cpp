#include "exchange/OutlookRecurrence.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cctype>
#include <charconv>
#include <string_view>
#include <vector>

#include "platform/outlook/ObjectModel.h"

namespace wendra {

namespace {

using namespace outlook;

// The pattern's limits: an interval up to 999 (months for the yearly types), up
// to 999999 occurrences.
constexpr int kMaxInterval = 999;
constexpr int kMaxOccurrences = 999999;
constexpr int kEveryDay = 127;
constexpr int kLastInstance = 5;

// ByDay codes in the order the rule lists them, with their mask bits.
constexpr std::array<std::pair<std::string_view, int>, 7> kDays{{{"MO", olMonday},
                                                                 {"TU", olTuesday},
                                                                 {"WE", olWednesday},
                                                                 {"TH", olThursday},
                                                                 {"FR", olFriday},
                                                                 {"SA", olSaturday},
                                                                 {"SU", olSunday}}};

int weekdayBit(DateTime d) { return 1 << (d.weekday() - 1); }  // weekday 1 = Sunday

// One ByDay item: a weekday with its signed position in the month or year (0 for none).
struct DayItem {
    int position = 0;
    int bit = 0;
};

std::optional<DayItem> parseDayItem(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    if (text.size() < 2) return std::nullopt;
    std::string code(text.substr(text.size() - 2));
    for (char& c : code) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    const auto day = std::find_if(kDays.begin(), kDays.end(), [&](const auto& d) { return d.first == code; });
    if (day == kDays.end()) return std::nullopt;
    DayItem item{0, day->second};
    std::string_view position = text.substr(0, text.size() - 2);
    if (position.empty()) return item;
    if (position.front() == '+') position.remove_prefix(1);
    const auto r = std::from_chars(position.data(), position.data() + position.size(), item.position);
    if (r.ec != std::errc() || r.ptr != position.data() + position.size() || item.position == 0) return std::nullopt;
    return item;
}

// The pattern's instance of a rule's position: the first to fourth, or the last.
std::optional<int> instanceOf(int position) {
    if (position >= 1 && position <= 4) return position;
    if (position == -1) return kLastInstance;
    return std::nullopt;
}

bool blank(const std::string& text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c == ' '; });
}

// What one rule holds, read once.
struct RuleParts {
    std::vector<DayItem> days;
    std::vector<int> setPos;
    std::vector<int> monthDays;
    std::vector<int> months;
};

int maskOf(const std::vector<DayItem>& days) {
    int mask = 0;
    for (const DayItem& d : days) mask |= d.bit;
    return mask;
}

bool plainDays(const std::vector<DayItem>& days) {
    return std::all_of(days.begin(), days.end(), [](const DayItem& d) { return d.position == 0; });
}

// The n-th weekday forms: one positioned day ("2TU", "-1FR"), or plain days with
// one position ("TU,TH" and BySetPos 2).
std::optional<std::pair<int, int>> nthWeekdays(const RuleParts& r) {
    if (r.days.size() == 1 && r.days.front().position != 0 && r.setPos.empty()) {
        if (auto instance = instanceOf(r.days.front().position)) return std::pair{r.days.front().bit, *instance};
        return std::nullopt;
    }
    if (!r.days.empty() && plainDays(r.days) && r.setPos.size() == 1) {
        if (auto instance = instanceOf(r.setPos.front())) return std::pair{maskOf(r.days), *instance};
    }
    return std::nullopt;
}

std::optional<PatternShape> shapeOf(const clsCalRRule& rule, const RuleParts& r, DateTime start, std::string& why) {
    const int interval = std::max(1, rule.Interval());
    PatternShape s;
    s.interval = interval;
    switch (rule.Frequency()) {
    case clsCalRRule::kDaily:
    case clsCalRRule::kWeekly: {
        if (!plainDays(r.days) || !r.setPos.empty() || !r.monthDays.empty() || !r.months.empty()) {
            why = "The event repeats on positions, days of the month or months that a daily or weekly pattern cannot hold.";
            return std::nullopt;
        }
        const bool weekly = rule.Frequency() == clsCalRRule::kWeekly;
        s.type = weekly ? olRecursWeekly : olRecursDaily;
        s.mask = maskOf(r.days);
        if (weekly && s.mask == 0) s.mask = weekdayBit(start);
        // The pattern counts its weeks from Monday; on other weeks several days of
        // every second week fall differently.
        if (weekly && interval > 1 && std::popcount(static_cast<unsigned>(s.mask)) > 1 && rule.WeekStartDay() != 2) {
            why = "The event's weeks start on another day than Monday.";
            return std::nullopt;
        }
        break;
    }
    case clsCalRRule::kMonthly: {
        if (!r.months.empty()) {
            why = "A monthly rule of the event names months.";
            return std::nullopt;
        }
        if (rule.isMonthEnd() || (r.days.empty() && r.monthDays == std::vector<int>{-1} && r.setPos.empty())) {
            s.type = olRecursMonthNth;
            s.mask = kEveryDay;
            s.instance = kLastInstance;
        } else if (!r.monthDays.empty()) {
            if (!r.days.empty()) {
                why = "The event repeats on weekdays and days of the month together.";
                return std::nullopt;
            }
            s.type = olRecursMonthly;
            if (rule.isMonth29Plus()) {
                s.dayOfMonth = *std::max_element(r.monthDays.begin(), r.monthDays.end());
            } else if (r.monthDays.size() == 1 && r.monthDays.front() >= 1 && r.monthDays.front() <= 28 &&
                       r.setPos.empty()) {
                s.dayOfMonth = r.monthDays.front();
            } else {
                why = "The event repeats on days of the month that a monthly pattern cannot hold.";
                return std::nullopt;
            }
        } else if (!r.days.empty()) {
            const auto nth = nthWeekdays(r);
            if (!nth) {
                why = "The event repeats on weekdays of the month that a monthly pattern cannot hold.";
                return std::nullopt;
            }
            s.type = olRecursMonthNth;
            s.mask = nth->first;
            s.instance = nth->second;
        } else if (r.setPos.empty() && start.day() <= 28) {
            s.type = olRecursMonthly;
            s.dayOfMonth = start.day();
        } else {
            // From the 29th on a plain monthly rule skips the months too short for
            // it, where a pattern falls on their last day.
            why = "The event repeats monthly from a day that not every month has.";
            return std::nullopt;
        }
        break;
    }
    case clsCalRRule::kYearly: {
        if (r.months.size() > 1 || (r.months.size() == 1 && (r.months.front() < 1 || r.months.front() > 12))) {
            why = "The event repeats yearly in more than one month.";
            return std::nullopt;
        }
        s.monthOfYear = r.months.empty() ? start.month() : r.months.front();
        s.interval = interval * 12;
        if (!r.days.empty()) {
            const auto nth = nthWeekdays(r);
            if (!nth || !r.monthDays.empty()) {
                why = "The event repeats on weekdays of the year that a yearly pattern cannot hold.";
                return std::nullopt;
            }
            s.type = olRecursYearNth;
            s.mask = nth->first;
            s.instance = nth->second;
        } else {
            const int day = r.monthDays.empty() ? start.day() : r.monthDays.front();
            // 29 February falls on the 28th in other years in a pattern, and is skipped by the rule.
            const bool everyYear = day <= DateTime::daysInMonth(2023, s.monthOfYear);
            if (r.monthDays.size() > 1 || !r.setPos.empty() || day < 1 || !everyYear) {
                why = "The event repeats yearly on a day that a yearly pattern cannot hold.";
                return std::nullopt;
            }
            s.type = olRecursYearly;
            s.dayOfMonth = day;
        }
        break;
    }
    default: why = "The event repeats more often than daily."; return std::nullopt;
    }
    if (s.interval > kMaxInterval) {
        why = "The event's interval is longer than a pattern can hold.";
        return std::nullopt;
    }
    return s;
}

}  // namespace

bool repeatsInOutlook(const clsCalEvent& ev) {
    const clsCalRRule* rule = ev.RRule(1);
    return ev.IsRecurring() && rule != nullptr && rule->Frequency() != clsCalRRule::kNone;
}

bool repeatsUnknown(const clsCalEvent& ev) {
    const clsCalRRule* rule = ev.RRule(1);
    return ev.IsRecurring() && rule != nullptr && rule->Frequency() == clsCalRRule::kNone;
}

std::optional<PatternPlan> patternForEvent(const clsCalEvent& ev, std::string& why) {
    const clsCalRRule* rule = ev.RRule(1);
    if (rule == nullptr || !repeatsInOutlook(ev)) {
        why = "The event does not repeat.";
        return std::nullopt;
    }
    if (ev.RRulesCount() > 1) {
        why = "The event repeats by more than one rule.";
        return std::nullopt;
    }
    if (rule->RRuleType() != 0) {
        why = "The event's rule excludes occurrences.";
        return std::nullopt;
    }
    if (!blank(rule->ByHour()) || !blank(rule->ByMinute()) || !blank(rule->BySecond()) || !blank(rule->ByWeekNo()) ||
        !blank(rule->ByYearDay())) {
        why = "The event's rule chooses hours, minutes, seconds, weeks or days of the year.";
        return std::nullopt;
    }
    RuleParts parts;
    for (const std::string& item : rule->ByDayArray()) {
        const auto day = parseDayItem(item);
        if (!day) {
            why = "The event's rule names a day that cannot be read: " + item;
            return std::nullopt;
        }
        parts.days.push_back(*day);
    }
    parts.setPos = rule->BySetPosArray();
    parts.monthDays = rule->ByMonthDayArray();
    parts.months = rule->ByMonthArray();
    const bool unread = (!blank(rule->BySetPos()) && parts.setPos.empty()) ||
                        (!blank(rule->ByMonthDay()) && parts.monthDays.empty()) ||
                        (!blank(rule->ByMonth()) && parts.months.empty());
    if (unread) {
        why = "The event's rule holds a list that cannot be read.";
        return std::nullopt;
    }

    PatternPlan plan;
    const auto shape = shapeOf(*rule, parts, ev.EventStart(), why);
    if (!shape) return std::nullopt;
    plan.shape = *shape;

    if (rule->DurationCount() > 0) {
        if (rule->DurationCount() > kMaxOccurrences) {
            why = "The event repeats more times than a pattern can count.";
            return std::nullopt;
        }
        plan.end.kind = PatternEnd::Kind::count;
        plan.end.count = rule->DurationCount();
    } else if (!rule->DurationUntil().isNull()) {
        plan.end.kind = PatternEnd::Kind::until;
        DateTime last = rule->DurationUntil().date();
        // A pattern ends with a whole day: an end earlier in the day than the
        // event's time leaves that day out.
        if (!ev.AllDayEvent() && !rule->DurationUntil_AllDay() &&
            rule->DurationUntil().secondOfDay() < ev.EventStart().secondOfDay())
            last = last.addDays(-1);
        plan.end.until = last;
    }
    return plan;
}

void maskToByDay(clsCalRRule& rule, const PatternShape& p) {
    const bool nth = p.type == olRecursMonthNth || p.type == olRecursYearNth;
    // Only the n-th types have a position; only they and the daily and weekly types name days.
    std::string position;
    if (nth && p.instance == kLastInstance) position = "-1";
    else if (nth && p.instance > 0) position = std::to_string(p.instance);
    std::string days;
    if (p.mask > 0 && (nth || p.type == olRecursDaily || p.type == olRecursWeekly)) {
        for (const auto& [code, bit] : kDays)
            if (p.mask & bit) days += std::string(code) + ",";
        if (!days.empty()) days.pop_back();
    }
    if (!position.empty() && !days.empty()) {
        if (days.size() > 2) rule.setBySetPos(position);
        else days = position + days;
    }
    // One plain weekday: the rule takes it from the start date.
    if (days.size() == 2) days.clear();
    rule.setByDay(days);
}

void ruleFromPattern(clsCalRRule& rule, const PatternShape& p) {
    rule.setInterval(p.interval);
    switch (p.type) {
    case olRecursYearly:
    case olRecursYearNth:
        rule.setFrequency(clsCalRRule::kYearly);
        // The pattern counts a yearly interval in months.
        rule.setInterval(std::max(1, p.interval / 12));
        if (p.type == olRecursYearNth) rule.setByMonth(std::to_string(p.monthOfYear));
        break;
    case olRecursMonthly:
    case olRecursMonthNth: rule.setFrequency(clsCalRRule::kMonthly); break;
    case olRecursWeekly: rule.setFrequency(clsCalRRule::kWeekly); break;
    case olRecursDaily: rule.setFrequency(clsCalRRule::kDaily); break;
    default: break;
    }
    maskToByDay(rule, p);
    if (p.type == olRecursMonthly && p.dayOfMonth > 28) {
        std::string list = "28";
        for (int d = 29; d <= std::min(p.dayOfMonth, 31); ++d) list += "," + std::to_string(d);
        rule.setByMonthDay(list);
        rule.setBySetPos("-1");
    }
}

}  // namespace wendra
