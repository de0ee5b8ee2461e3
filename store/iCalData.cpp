#include "store/iCalData.h"

#include "store/clsCalRRule.h"
#include "store/modFuncs.h"

namespace wendra {

namespace {

// "<" key "=" value ">", or nothing for a blank value. A value cannot carry
// "<" or ">": the reader would take the first for the start of another tag and
// the second for the end of this one. Neither belongs in a date, number or
// weekday list, so they are left out.
void putTag(std::string& out, char key, std::string_view value) {
    if (trim(value).empty()) return;
    out += '<';
    out += key;
    out += '=';
    for (char c : value)
        if (c != '<' && c != '>') out += c;
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
    return {*d, value.find('T') == std::string_view::npos};
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
        if (open + 2 >= text.size() || text[open + 2] != '=') continue;
        const std::size_t close = text.find('>', open + 3);
        if (close == std::string_view::npos) continue;
        const char key = text[open + 1];
        const std::string_view value = text.substr(open + 3, close - (open + 3));
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
