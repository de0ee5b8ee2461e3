#include "store/iCalRuleExpansion.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string_view>

#include "store/modFuncs.h"

namespace wendra {

namespace {

using Day = std::int64_t;  // DateTime::dayNumber

Day floorMod(Day a, Day b) {
    const Day r = a % b;
    return r < 0 ? r + b : r;
}

// 1 = Sunday .. 7 = Saturday; day 0 (30 December 1899) was a Saturday.
int weekdayOf(Day d) { return static_cast<int>(floorMod(d + 6, 7)) + 1; }

// 0 for the week start day .. 6 for the day before it.
int weekPosition(int weekday, int weekStart) { return (weekday - weekStart + 14) % 7; }

// What the passes need to know of one year.
struct YearInfo {
    Day jan1 = 0;
    int days = 365;
    int weeks = 52;
    Day week1Start = 0;  // the first day of the first week holding four days of the year
};

YearInfo yearInfo(int year, int weekStart) {
    YearInfo y;
    y.jan1 = daysFromCivil(year, 1, 1);
    const bool leap = DateTime::isLeapYear(year);
    y.days = leap ? 366 : 365;
    const int w = weekPosition(weekdayOf(y.jan1), weekStart) + 1;  // 1 = 1 January is the week start
    y.weeks = (w == 4 || (leap && w == 3)) ? 53 : 52;
    y.week1Start = w > 4 ? y.jan1 + (8 - w) : y.jan1 - (w - 1);
    return y;
}

// The week-numbering year that holds the day: the calendar year, or its
// neighbour when the day lies in the other year's first or last week.
int weekYearOf(Day day, int weekStart) {
    const int year = DateTime::fromSeconds(day * DateTime::kSecondsPerDay).year();
    if (day < yearInfo(year, weekStart).week1Start) return year - 1;
    if (day >= yearInfo(year + 1, weekStart).week1Start) return year + 1;
    return year;
}

// marks[v] for v in 1..n: whether the list names position v. Negative values
// count from the end (-1 = n) where the list allows them; values outside 1..n
// name nothing.
void buildMask(std::vector<char>& marks, const ExpansionRule::NumberList& list, int n, bool negatives) {
    marks.assign(static_cast<std::size_t>(n) + 1, 0);
    for (int v : list.values) {
        if (v < 0 && negatives) v = n + v + 1;
        if (v >= 1 && v <= n) marks[static_cast<std::size_t>(v)] = 1;
    }
}

// Clears the days of a period whose position the list does not name.
void clearUnnamed(char* period, int length, const ExpansionRule::NumberList& list, bool negatives,
                  std::vector<char>& scratch) {
    buildMask(scratch, list, length, negatives);
    for (int i = 0; i < length; ++i)
        if (!scratch[static_cast<std::size_t>(i) + 1]) period[i] = '0';
}

bool setPosActive(const ExpansionRule& r) {
    return std::any_of(r.setPos.values.begin(), r.setPos.values.end(), [](int v) { return v != 0; });
}

// BYSETPOS: the period keeps only the candidates the list selects, counted
// from its first day (positive) or back from its last (negative).
void selectPositions(char* period, int length, const std::vector<int>& positions, std::vector<int>& scratch) {
    scratch.clear();
    for (int i = 0; i < length; ++i)
        if (period[i] == '1') scratch.push_back(i);
    std::memset(period, '0', static_cast<std::size_t>(length));
    const int count = static_cast<int>(scratch.size());
    for (int v : positions) {
        if (v > 0 && v <= count) period[scratch[static_cast<std::size_t>(v - 1)]] = '1';
        else if (v < 0 && -v <= count) period[scratch[static_cast<std::size_t>(count + v)]] = '1';
    }
}

// Marks the numbered weekdays (2MO, -1FR) of the period [first, first + length).
void markNumberedWeekdays(std::string& span, Day spanStart, Day first, int length,
                          const std::vector<ExpansionRule::WeekdayItem>& items) {
    const Day last = first + length - 1;
    for (const auto& item : items) {
        if (item.ordinal == 0) continue;
        Day d;
        if (item.ordinal > 0) {
            d = first + (item.weekday - weekdayOf(first) + 7) % 7 + 7 * Day{item.ordinal - 1};
            if (d > last) continue;
        } else {
            d = last - (weekdayOf(last) - item.weekday + 7) % 7 - 7 * Day{-item.ordinal - 1};
            if (d < first) continue;
        }
        const Day at = d - spanStart;
        if (at >= 0 && at < static_cast<Day>(span.size())) span[static_cast<std::size_t>(at)] = '1';
    }
}

// A BYDAY item: an optional signed ordinal, then a two-letter weekday code.
std::optional<ExpansionRule::WeekdayItem> readWeekdayItem(std::string_view raw) {
    static constexpr std::array<std::string_view, 7> kCodes = {"SU", "MO", "TU", "WE", "TH", "FR", "SA"};
    const std::string item = toUpper(trim(raw));
    if (item.size() < 2) return std::nullopt;
    const std::string_view code = std::string_view(item).substr(item.size() - 2);
    const auto hit = std::find(kCodes.begin(), kCodes.end(), code);
    if (hit == kCodes.end()) return std::nullopt;
    ExpansionRule::WeekdayItem out;
    out.weekday = static_cast<int>(hit - kCodes.begin()) + 1;
    std::string_view number = std::string_view(item).substr(0, item.size() - 2);
    if (number.empty()) return out;
    bool negative = false;
    if (number.front() == '+' || number.front() == '-') {
        negative = number.front() == '-';
        number.remove_prefix(1);
    }
    if (number.empty() || number.size() > 2) return std::nullopt;
    int n = 0;
    for (char c : number) {
        if (c < '0' || c > '9') return std::nullopt;
        n = n * 10 + (c - '0');
    }
    // No period holds more than 53 of one weekday; 0 is no ordinal at all.
    if (n == 0 || n > 53) return std::nullopt;
    out.ordinal = negative ? -n : n;
    return out;
}

ExpansionRule::NumberList numberList(const std::string& text, std::vector<int> items) {
    ExpansionRule::NumberList list;
    list.given = !items.empty() || !trim(text).empty();
    list.values = std::move(items);
    return list;
}

// The values within 0..maximum, each once, in the order given.
std::vector<int> timeList(const std::vector<int>& items, int maximum) {
    std::vector<int> out;
    for (int v : items)
        if (v >= 0 && v <= maximum && std::find(out.begin(), out.end(), v) == out.end()) out.push_back(v);
    return out;
}

}  // namespace

bool ruleExpands(const clsCalRRule& rule) {
    return rule.Frequency() >= clsCalRRule::kYearly && rule.Frequency() <= clsCalRRule::kSecondly;
}

ExpansionRule prepareRule(const clsCalRRule& rule, DateTime eventStart) {
    ExpansionRule r;
    r.frequency = rule.Frequency();
    r.interval = std::max(1, rule.Interval());
    r.weekStart = (rule.WeekStartDay() >= 1 && rule.WeekStartDay() <= 7) ? rule.WeekStartDay() : 2;
    r.months = numberList(rule.ByMonth(), rule.ByMonthArray());
    r.weekNos = numberList(rule.ByWeekNo(), rule.ByWeekNoArray());
    r.yearDays = numberList(rule.ByYearDay(), rule.ByYearDayArray());
    r.monthDays = numberList(rule.ByMonthDay(), rule.ByMonthDayArray());
    r.setPos = numberList(rule.BySetPos(), rule.BySetPosArray());
    const std::vector<std::string> dayItems = rule.ByDayArray();
    r.byDayGiven = !dayItems.empty();
    for (const auto& item : dayItems)
        if (auto w = readWeekdayItem(item)) r.byDay.push_back(*w);

    // Hours, minutes and seconds outside the clock, or named twice, would make
    // slots that are no time or the same time twice.
    r.hours = timeList(rule.ByHourArray(), 23);
    r.minutes = timeList(rule.ByMinuteArray(), 59);
    r.seconds = timeList(rule.BySecondArray(), 59);
    if (r.seconds.empty()) r.seconds.push_back(eventStart.second());
    if (r.minutes.empty()) r.minutes.push_back(eventStart.minute());
    if (r.hours.empty()) r.hours.push_back(eventStart.hour());

    // Each default looks at the rule as it came, before any of them is added.
    const bool noMonths = !r.months.given, noWeekNos = !r.weekNos.given, noYearDays = !r.yearDays.given,
               noMonthDays = !r.monthDays.given, noDays = !r.byDayGiven;
    const bool yearly = r.frequency == clsCalRRule::kYearly;
    auto addMonthDay = [&] {
        r.monthDays.given = true;
        r.monthDays.values.push_back(eventStart.day());
    };
    if (r.frequency == clsCalRRule::kMonthly && noMonthDays && noDays) addMonthDay();
    if (yearly && noYearDays && noWeekNos && noMonthDays && noDays) addMonthDay();
    if (r.frequency == clsCalRRule::kWeekly && noDays) {
        r.byDayGiven = true;
        r.byDay.push_back({0, eventStart.weekday()});
    }
    if (yearly && noYearDays && noWeekNos && noMonths) {
        r.months.given = true;
        r.months.values.push_back(eventStart.month());
    }
    r.ownMonths = !noMonths;
    return r;
}

std::string expandRuleDays(const ExpansionRule& r, DateTime eventStart, int firstYear, int lastYear) {
    if (lastYear < firstYear) return {};
    const int ws = r.weekStart;
    const bool yearly = r.frequency == clsCalRRule::kYearly;
    const bool monthly = r.frequency == clsCalRRule::kMonthly;
    const bool weekly = r.frequency == clsCalRRule::kWeekly;
    const bool daily = r.frequency == clsCalRRule::kDaily;
    const Day startDay = eventStart.dayNumber();
    const int startYear = eventStart.year();
    const int startMonth = eventStart.month();
    const bool positions = setPosActive(r);

    // The span begins on the week start day on or before 1 January of the
    // first year, so position modulo 7 is the place in the week, and ends with
    // 31 December of the last year: nothing outside it is ever kept.
    const Day firstJan1 = daysFromCivil(firstYear, 1, 1);
    const Day spanStart = firstJan1 - weekPosition(weekdayOf(firstJan1), ws);
    const Day spanEnd = daysFromCivil(lastYear + 1, 1, 1);  // exclusive
    std::string span(static_cast<std::size_t>(spanEnd - spanStart), '0');

    // Week pattern: every day, or the plain weekdays of BYDAY.
    std::array<char, 7> pattern;
    pattern.fill(r.byDayGiven ? '0' : '1');
    for (const auto& item : r.byDay)
        if (item.ordinal == 0) pattern[static_cast<std::size_t>(weekPosition(item.weekday, ws))] = '1';
    if (pattern != std::array<char, 7>{'0', '0', '0', '0', '0', '0', '0'}) {
        std::size_t k = 0;
        for (char& c : span) {
            c = pattern[k];
            if (++k == 7) k = 0;
        }
    }

    std::vector<char> marks, monthMarks;
    std::vector<int> scratch;
    if (r.months.given) buildMask(monthMarks, r.months, 12, false);

    // Numbered weekdays. A monthly rule counts them within each month; so does
    // a yearly rule that names its own months (the fourth Thursday of
    // November), while a yearly rule without months counts within the year.
    const bool numbered = std::any_of(r.byDay.begin(), r.byDay.end(), [](const auto& w) { return w.ordinal != 0; });
    if (numbered && (yearly || monthly)) {
        for (int year = firstYear; year <= lastYear; ++year) {
            const YearInfo y = yearInfo(year, ws);
            if (yearly && !r.ownMonths) {
                markNumberedWeekdays(span, spanStart, y.jan1, y.days, r.byDay);
                continue;
            }
            Day first = y.jan1;
            for (int m = 1; m <= 12; ++m) {
                const int length = DateTime::daysInMonth(year, m);
                if (monthly || monthMarks[static_cast<std::size_t>(m)])
                    markNumberedWeekdays(span, spanStart, first, length, r.byDay);
                first += length;
            }
        }
    }

    // Week numbers and the weekly interval. Weeks run from the year's week 1;
    // the following year is walked too, since its week 1 can begin on 29 to
    // 31 December of the last year.
    const bool weekInterval = weekly && r.interval > 1;
    // A yearly rule of week numbers counts its interval in week-numbering years:
    // 30 December 2024 is in week 1 of 2025 and goes with 2025, not with 2024.
    const bool weekYearInterval = yearly && r.weekNos.given && r.interval > 1;
    if (r.weekNos.given || weekInterval) {
        const Day startWeek = startDay - weekPosition(weekdayOf(startDay), ws);
        const int startWeekYear = weekYearOf(startDay, ws);
        for (int year = firstYear - 1; year <= lastYear + 1; ++year) {
            const YearInfo y = yearInfo(year, ws);
            if (r.weekNos.given) buildMask(marks, r.weekNos, y.weeks, true);
            const bool offYear =
                weekYearInterval && (year < startWeekYear || (year - startWeekYear) % r.interval != 0);
            for (int k = 1; k <= y.weeks; ++k) {
                const Day weekFirst = y.week1Start + 7 * Day{k - 1};
                bool clear = offYear || (r.weekNos.given && !marks[static_cast<std::size_t>(k)]);
                if (!clear && weekInterval) {
                    const Day apart = (weekFirst - startWeek) / 7;
                    clear = apart < 0 || apart % r.interval != 0;
                }
                if (!clear) continue;
                const Day from = std::max(weekFirst, spanStart), to = std::min(weekFirst + 7, spanEnd);
                if (from < to)
                    std::memset(&span[static_cast<std::size_t>(from - spanStart)], '0',
                                static_cast<std::size_t>(to - from));
            }
        }
    }

    // Year by year.
    for (int year = firstYear; year <= lastYear; ++year) {
        const Day jan1 = daysFromCivil(year, 1, 1);
        const int days = DateTime::isLeapYear(year) ? 366 : 365;
        char* const yd = &span[static_cast<std::size_t>(jan1 - spanStart)];
        if (yearly && (year < startYear || (!weekYearInterval && (year - startYear) % r.interval > 0))) {
            std::memset(yd, '0', static_cast<std::size_t>(days));
            continue;
        }
        int monthFirst = 0;
        for (int m = 1; m <= 12; ++m) {
            const int length = DateTime::daysInMonth(year, m);
            char* const md = yd + monthFirst;
            monthFirst += length;
            bool clear = r.months.given && !monthMarks[static_cast<std::size_t>(m)];
            if (!clear && monthly && r.interval > 1 && year >= startYear) {
                const int apart = (year * 12 + m) - (startYear * 12 + startMonth);
                clear = apart < 0 || apart % r.interval > 0;
            }
            if (clear) {
                std::memset(md, '0', static_cast<std::size_t>(length));
                continue;
            }
            if (r.monthDays.given) clearUnnamed(md, length, r.monthDays, true, marks);
            if (monthly && positions) selectPositions(md, length, r.setPos.values, scratch);
        }
        if (r.yearDays.given) clearUnnamed(yd, days, r.yearDays, true, marks);
        if (year == startYear) {
            const Day before = std::clamp<Day>(startDay - jan1, 0, days);
            std::memset(yd, '0', static_cast<std::size_t>(before));
        }
        if (daily && r.interval > 1) {
            for (int i = 0; i < days; ++i)
                if (floorMod(jan1 + i - startDay, r.interval) != 0) yd[i] = '0';
        }
        if (yearly && positions) selectPositions(yd, days, r.setPos.values, scratch);
    }

    return span.substr(static_cast<std::size_t>(firstJan1 - spanStart));
}

}  // namespace wendra
