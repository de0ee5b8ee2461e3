#include "store/iCalData.h"

#include "store/clsCalRRule.h"
#include "store/modFuncs.h"

namespace wendra {

namespace {

// "<" key "=" value ">", or nothing for a blank value. A value cannot carry
// "<" or ">": the reader would take the first for the start of another tag and
// the second for the end of this one. Neither belongs in a date, number or
// weekday list, so they are left out.
// The value without "<" and ">", which would start another tag or end this one.
std::string tagFree(std::string_view value) {
    std::string out;
    out.reserve(value.size());
    for (char c : value)
        if (c != '<' && c != '>') out += c;
    return out;
}

void putTag(std::string& out, char key, std::string_view value) {
    const std::string safe = tagFree(value);
    if (trim(safe).empty()) return;
    out += '<';
    out += key;
    out += '=';
    out += safe;
    out += '>';
}

// A number tag's value within its field's range, else the field's default.
int numberValue(std::string_view value, int defaultValue, int minimum, int maximum) {
    const int v = toIntOrDefault(value, defaultValue);
    return v < minimum || v > maximum ? defaultValue : v;
}

struct DateValue {
    DateTime date;
    bool allDay = true;
};

DateValue dateValue(std::string_view value) {
    const auto d = parseICalDateTime(value);
    if (!d) return {};
    const bool allDay = value.find('T') == std::string_view::npos;
    // An all-day date has no time to keep (a date read with a time but no "T"
    // would otherwise lose it at the next write and read back another value).
    return {allDay ? d->date() : *d, allDay};
}

void readRuleTag(clsCalRRule& rule, char key, std::string_view value) {
    switch (key) {
        case 'F': rule.setFrequency(numberValue(value, 0, clsCalRRule::kYearly, clsCalRRule::kNone)); break;
        case 'I': rule.setInterval(numberValue(value, 0, 0, 32767)); break;
        case 'C': rule.setDurationCount(numberValue(value, 1, 0, 32767)); break;
        case 'U': {
            const DateValue u = dateValue(value);
            rule.setDurationUntil(u.date, u.allDay);
            break;
        }
        case 'M': rule.setByMonth(value); break;
        case 'W': rule.setByWeekNo(value); break;
        case 'Y': rule.setByYearDay(value); break;
        case 'T': rule.setByMonthDay(value); break;
        case 'D': rule.setByDay(value); break;
        case 'H': rule.setByHour(value); break;
        case 'N': rule.setByMinute(value); break;
        case 'S': rule.setBySecond(value); break;
        case 'P': rule.setBySetPos(value); break;
        case 'K': rule.setWeekStartDay(numberValue(value, 2, 1, 7)); break;
        default: break;
    }
}

}  // namespace

std::string makeiCalData(const clsCalEvent& event, bool includeExDates) {
    std::string out;
    putTag(out, 'R', event.RDates());
    if (includeExDates) putTag(out, 'X', event.ExDates());
    for (const clsCalRRule& r : event.RRules()) {
        putTag(out, '#', r.RRuleType() == 0 ? "R" : "X");
        putTag(out, 'F', std::to_string(r.Frequency()));
        if (r.Interval() > 1) putTag(out, 'I', std::to_string(r.Interval()));
        // A count of 1 is carried by the until date, which the store completes
        // from the count before it writes.
        if (r.DurationCount() > 1) putTag(out, 'C', std::to_string(r.DurationCount()));
        if (!r.DurationUntil().isNull())
            putTag(out, 'U', formatICalDateTime(r.DurationUntil(), !r.DurationUntil_AllDay()));
        putTag(out, 'M', r.ByMonth());
        putTag(out, 'W', r.ByWeekNo());
        putTag(out, 'Y', r.ByYearDay());
        putTag(out, 'T', r.ByMonthDay());
        putTag(out, 'D', r.ByDay());
        putTag(out, 'H', r.ByHour());
        putTag(out, 'N', r.ByMinute());
        putTag(out, 'S', r.BySecond());
        putTag(out, 'P', r.BySetPos());
        if (r.WeekStartDay() != 2) putTag(out, 'K', std::to_string(r.WeekStartDay()));
    }
    return out;
}

void parseICalData(clsCalEvent& event, std::string_view text) {
    // Index rather than reference: adding a rule may move the others.
    int current = 0;
    std::size_t pos = 0;
    for (;;) {
        const std::size_t open = text.find('<', pos);
        if (open == std::string_view::npos) break;
        pos = open + 1;
        // "<", a key, "=", the value and ">"; anything short of that is no tag.
        if (open + 2 >= text.size() || text[open + 2] != '=' || text[open + 1] == '<') continue;
        const std::size_t close = text.find('>', open + 3);
        if (close == std::string_view::npos) continue;
        const char key = text[open + 1];
        // The value runs to the first ">" and the reading goes on after it: what a
        // damaged value holds is never read again as tags of its own. A "<" in it
        // is dropped and a blank value is none, as the writer would store them, so
        // that what is read is written back unchanged.
        pos = close + 1;
        const std::string cleaned = tagFree(text.substr(open + 3, close - (open + 3)));
        const std::string_view value = trim(cleaned).empty() ? std::string_view() : std::string_view(cleaned);
        switch (key) {
            case '#':
                // An exclusion rule is not read: its tags must not fall to the
                // recurrence rule before it.
                if (value == "R") {
                    event.addRRule();
                    current = event.RRulesCount();
                } else {
                    current = 0;
                }
                break;
            case 'R': event.setRDates(std::string(value)); break;
            case 'X': event.setExDates(std::string(value)); break;
            default:
                if (clsCalRRule* rule = event.RRule(current)) readRuleTag(*rule, key, value);
                break;
        }
    }
}

}  // namespace wendra
