#include "platform/outlook/Pattern.h"

#include <algorithm>
#include <cstdio>

#include "platform/outlook/Errors.h"
#include "platform/outlook/ObjectModel.h"

namespace wendra::outlook::ics {

namespace {

constexpr const char* kDayCodes[] = {"SU", "MO", "TU", "WE", "TH", "FR", "SA"};
// How many occurrences two rules must agree on for one to stand for the other.
constexpr int kCompareOccurrences = 64;

// A parsed rule that frees what the parser allocated.
struct Rule {
    struct icalrecurrencetype r;
    explicit Rule(const std::string& text) : r(icalrecurrencetype_from_string(text.c_str())) {}
    ~Rule() {
        if (r.rscale) icalmemory_free_buffer(r.rscale);
    }
    Rule(const Rule&) = delete;
    Rule& operator=(const Rule&) = delete;
};

[[noreturn]] void badPattern(const std::string& why) { throw Error(err::kBadPattern, why, kErrorSource); }

int maskBit(int weekday) { return 1 << (weekday - 1); }  // weekday 1 = Sunday

// The 29th to the 31st are in no fourth week: they are the last.
int weekOfMonth(DateTime d) { return (d.day() - 1) / 7 + 1; }

template <std::size_t N>
std::vector<short> items(const short (&list)[N]) {
    std::vector<short> out;
    for (std::size_t i = 0; i < N && list[i] != ICAL_RECURRENCE_ARRAY_MAX; ++i) out.push_back(list[i]);
    return out;
}

std::string dayList(int mask) {
    std::string out;
    // Monday first, as calendar programs write them.
    for (int i = 1; i <= 7; ++i) {
        const int weekday = i % 7 + 1;
        if (mask & maskBit(weekday)) out += std::string(out.empty() ? "" : ",") + kDayCodes[weekday - 1];
    }
    return out;
}

std::string nthDays(int mask, int instance) {
    const int position = instance == 5 ? -1 : instance;
    const std::string days = dayList(mask);
    if (days.size() == 2) return "BYDAY=" + std::to_string(position) + days;
    return "BYDAY=" + days + ";BYSETPOS=" + std::to_string(position);
}

// A day past the end of a short month falls on its last day: the last of the
// days from the 28th up to it that the month has.
std::string monthDays(int day) {
    if (day <= 28) return "BYMONTHDAY=" + std::to_string(day);
    std::string list = "28";
    for (int d = 29; d <= day; ++d) list += "," + std::to_string(d);
    return "BYMONTHDAY=" + list + ";BYSETPOS=-1";
}

std::string untilText(DateTime lastDay, const SeriesStart& start) {
    char text[32];
    const DateTime day = lastDay.date();
    if (start.allDay) {
        std::snprintf(text, sizeof text, "%04d%02d%02d", day.year(), day.month(), day.day());
        return text;
    }
    const DateTime end = day.addSeconds(DateTime::kSecondsPerDay - 1);
    if (start.form.kind == TimeForm::Kind::floating) {
        std::snprintf(text, sizeof text, "%04d%02d%02dT235959", day.year(), day.month(), day.day());
        return text;
    }
    // A rule on zoned or UTC times ends in UTC.
    const icaltimetype u = localToUtc(end);
    std::snprintf(text, sizeof text, "%04d%02d%02dT%02d%02d%02dZ", u.year, u.month, u.day, u.hour, u.minute, u.second);
    return text;
}

// A rule with the day RFC 5545 takes from DTSTART when the rule names none
// written out, as the program writes its own rules; others as they are.
std::string withDayOfStart(const std::string& rrule, const SeriesStart& start) {
    Rule rule(rrule);
    const struct icalrecurrencetype& r = rule.r;
    const bool named = !items(r.by_day).empty() || !items(r.by_month_day).empty() || !items(r.by_month).empty() ||
                       !items(r.by_year_day).empty() || !items(r.by_week_no).empty() || !items(r.by_set_pos).empty();
    if (named || start.wall.day() > 28) return rrule;
    std::string parts;
    switch (r.freq) {
    case ICAL_WEEKLY_RECURRENCE: parts = ";BYDAY=" + dayList(maskBit(start.wall.weekday())); break;
    case ICAL_MONTHLY_RECURRENCE: parts = ";BYMONTHDAY=" + std::to_string(start.wall.day()); break;
    case ICAL_YEARLY_RECURRENCE:
        parts = ";BYMONTH=" + std::to_string(start.wall.month()) + ";BYMONTHDAY=" + std::to_string(start.wall.day());
        break;
    default: return rrule;
    }
    Rule full(rrule + parts);
    return takeString(icalrecurrencetype_as_string_r(&full.r));
}

// The local day of an occurrence a rule gave.
DateTime localDay(const icaltimetype& t, const SeriesStart& start) { return toLocal(t, start.form).date(); }

std::vector<DateTime> firstOccurrences(const std::string& rrule, const SeriesStart& start, int n) {
    std::vector<DateTime> out;
    Rule rule(rrule);
    walkRule(rule.r, start.dtstart(), [&](const icaltimetype& t) {
        out.push_back(wallTime(t));
        return static_cast<int>(out.size()) < n;
    });
    return out;
}

void readDays(PatternData& p, const struct icalrecurrencetype& r, bool& positional) {
    positional = false;
    for (short d : items(r.by_day)) {
        const int weekday = icalrecurrencetype_day_day_of_week(d);
        const int pos = icalrecurrencetype_day_position(d);
        if (weekday >= 1 && weekday <= 7) p.mask |= maskBit(weekday);
        if (pos != 0) {
            positional = true;
            p.instance = pos < 0 ? 5 : std::min(pos, 4);
        }
    }
    const auto setPos = items(r.by_set_pos);
    if (!setPos.empty()) {
        positional = true;
        p.instance = setPos.front() < 0 ? 5 : std::clamp<int>(setPos.front(), 1, 4);
    }
}

int readMonthDay(const struct icalrecurrencetype& r, DateTime start) {
    const auto days = items(r.by_month_day);
    if (days.empty()) return start.day();
    const int last = *std::max_element(days.begin(), days.end());
    if (days.front() < 0) return 31;  // counted from the month's end: its last day
    return std::clamp(last, 1, 31);
}

}  // namespace

PatternData weeklyPatternFor(DateTime start) {
    PatternData p;
    resetForType(p, 1, start);
    return p;
}

void resetForType(PatternData& p, int type, DateTime start) {
    p.type = type;
    p.interval = (type == 5 || type == 6) ? 12 : 1;
    // Only the weekly and the n-th weekday types name days of the week.
    p.mask = (type == 1 || type == 3 || type == 6) ? maskBit(start.weekday()) : 0;
    p.instance = weekOfMonth(start);
    p.dayOfMonth = start.day();
    p.monthOfYear = start.month();
    p.exact = true;
}

PatternData patternOf(const std::vector<std::string>& rrules, bool extraDates, const SeriesStart& start) {
    PatternData p;
    if (rrules.empty()) return weeklyPatternFor(start.wall);
    Rule rule(rrules.front());
    const struct icalrecurrencetype& r = rule.r;
    resetForType(p, 1, start.wall);
    p.mask = 0;
    bool positional = false;
    switch (r.freq) {
    case ICAL_DAILY_RECURRENCE:
        p.type = 0;
        readDays(p, r, positional);
        break;
    case ICAL_WEEKLY_RECURRENCE:
        p.type = 1;
        readDays(p, r, positional);
        if (p.mask == 0) p.mask = maskBit(start.wall.weekday());
        break;
    case ICAL_MONTHLY_RECURRENCE:
        readDays(p, r, positional);
        p.type = p.mask != 0 ? 3 : 2;
        p.dayOfMonth = readMonthDay(r, start.wall);
        break;
    case ICAL_YEARLY_RECURRENCE: {
        readDays(p, r, positional);
        p.type = p.mask != 0 ? 6 : 5;
        p.dayOfMonth = readMonthDay(r, start.wall);
        if (const auto months = items(r.by_month); !months.empty())
            p.monthOfYear = std::clamp(icalrecurrencetype_month_month(months.front()), 1, 12);
        break;
    }
    default:
        p.type = olRecursOther;
        p.exact = false;
        break;
    }
    p.interval = std::max<int>(r.interval, 1) * ((p.type == 5 || p.type == 6) ? 12 : 1);
    if (p.mask == 0 && (p.type == 3 || p.type == 6)) p.mask = maskBit(start.wall.weekday());
    if (r.count > 0) {
        p.end = PatternData::End::count;
        p.count = r.count;
    } else if (!icaltime_is_null_time(r.until)) {
        p.end = PatternData::End::until;
        p.until = localDay(r.until, start);
    }
    if (!p.exact) return p;

    // The pattern stands for the file's rule only when it gives the same occurrences.
    if (rrules.size() > 1 || extraDates) {
        p.exact = false;
        return p;
    }
    try {
        // The same rule as the program writes its own gives the same occurrences without a walk.
        const std::string own = ruleOf(p, start);
        p.exact = own == withDayOfStart(rrules.front(), start) ||
                  firstOccurrences(own, start, kCompareOccurrences) ==
                      firstOccurrences(rrules.front(), start, kCompareOccurrences);
    } catch (const Error&) {
        p.exact = false;
    }
    return p;
}

std::string ruleOf(const PatternData& p, const SeriesStart& start) {
    if (p.interval < 1) badPattern("The pattern's interval must be at least 1.");
    const bool yearly = p.type == 5 || p.type == 6;
    if (yearly && p.interval % 12 != 0)
        badPattern("A yearly pattern counts its interval in months: it must be a multiple of 12.");
    if ((p.type == 1 || p.type == 3 || p.type == 6) && (p.mask & 127) == 0)
        badPattern("The pattern names no day of the week.");
    const std::string interval = ";INTERVAL=" + std::to_string(yearly ? p.interval / 12 : p.interval);
    const std::string month = ";BYMONTH=" + std::to_string(p.monthOfYear) + ";";
    std::string text;
    switch (p.type) {
    case 0: text = "FREQ=DAILY" + interval + ((p.mask & 127) ? ";BYDAY=" + dayList(p.mask) : ""); break;
    case 1: text = "FREQ=WEEKLY" + interval + ";BYDAY=" + dayList(p.mask); break;
    case 2: text = "FREQ=MONTHLY" + interval + ";" + monthDays(p.dayOfMonth); break;
    case 3: text = "FREQ=MONTHLY" + interval + ";" + nthDays(p.mask, p.instance); break;
    case 5: text = "FREQ=YEARLY" + interval + month + monthDays(p.dayOfMonth); break;
    case 6: text = "FREQ=YEARLY" + interval + month + nthDays(p.mask, p.instance); break;
    default: badPattern("The pattern has no recurrence type a calendar file can hold.");
    }
    if (p.end == PatternData::End::count) text += ";COUNT=" + std::to_string(p.count);
    if (p.end == PatternData::End::until) text += ";UNTIL=" + untilText(p.until, start);
    Rule rule(text);
    if (rule.r.freq == ICAL_NO_RECURRENCE) badPattern("The pattern cannot be written as a rule.");
    return takeString(icalrecurrencetype_as_string_r(&rule.r));
}

DateTime dayOfOccurrence(const std::string& rrule, const SeriesStart& start, int n) {
    if (n < 1) return noDate();
    const auto first = firstOccurrences(rrule, start, n);
    if (static_cast<int>(first.size()) < n) return noDate();
    return localDay(fromWall(first.back(), start.form, start.allDay), start);
}

int countThrough(const std::string& rrule, const SeriesStart& start, DateTime lastDay) {
    int count = 0;
    Rule rule(rrule);
    walkRule(rule.r, start.dtstart(), [&](const icaltimetype& t) {
        if (localDay(t, start) > lastDay.date()) return false;
        ++count;
        return true;
    });
    return count;
}

DateTime firstOccurrence(const std::string& rrule, const SeriesStart& start) {
    const auto first = firstOccurrences(rrule, start, 1);
    return first.empty() ? noDate() : first.front();
}

}  // namespace wendra::outlook::ics
