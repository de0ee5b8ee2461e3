// The two rule grammars of the calendar reader: vCalendar 1.0 ("MD1 LD #12")
// and iCalendar 2.0 ("FREQ=MONTHLY;BYDAY=MO"). Every number is held within the
// range the program's rules use, and BY items that no rule can mean are left
// out, so what reaches the store is a rule the expansion can walk.

#include <array>
#include <cstdlib>
#include <string>
#include <vector>

#include "exchange/ExchangeTexts.h"
#include "exchange/WireValues.h"
#include "exchange/iCalImport.h"
#include "store/modFuncs.h"

namespace wendra {

namespace {

constexpr int kMaxCount = 999;
constexpr std::size_t kMaxVCalTokens = 100;

void note(clsImportLog& log, const char* message, std::string_view info) {
    log.writeLog(clsImportLog::kWarning, message, std::string(info.substr(0, 200)));
}

// Takes the rule just added off the event again: a rule that cannot be read
// must not stand first in the event, where the merge and the writer look.
void dropRule(clsCalEvent& ev, clsImportLog& log, std::string_view value) {
    ev.deleteRRule(ev.RRulesCount());
    note(log, texts::kRuleDropped, value);
}

std::vector<std::string> blankTokens(std::string_view text) {
    std::vector<std::string> out;
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && text[i] == ' ') ++i;
        const std::size_t from = i;
        while (i < text.size() && text[i] != ' ') ++i;
        if (i > from) out.emplace_back(text.substr(from, i - from));
    }
    return out;
}

// A signed whole number of at most `maxDigits` digits; nothing else.
std::optional<int> smallInteger(std::string_view s, std::size_t maxDigits) {
    bool negative = false;
    if (!s.empty() && (s.front() == '+' || s.front() == '-')) {
        negative = s.front() == '-';
        s.remove_prefix(1);
    }
    if (s.empty() || s.size() > maxDigits || !iCalImport::isDigits(s)) return std::nullopt;
    const int v = std::atoi(std::string(s).c_str());
    return negative ? -v : v;
}

struct NumberRange {
    int low;   // for a signed range: the smallest magnitude
    int high;
    bool signedRange;  // both signs, zero excluded (counted from the end)
};

bool inRange(int v, const NumberRange& r) {
    if (r.signedRange) return v != 0 && std::abs(v) >= r.low && std::abs(v) <= r.high;
    return v >= r.low && v <= r.high;
}

bool isWeekdayItem(std::string_view item) {
    static constexpr std::array<std::string_view, 7> kDays = {"SU", "MO", "TU", "WE", "TH", "FR", "SA"};
    if (item.size() < 2) return false;
    const std::string_view day = item.substr(item.size() - 2);
    bool known = false;
    for (auto d : kDays) known = known || d == day;
    if (!known) return false;
    const std::string_view ordinal = item.substr(0, item.size() - 2);
    if (ordinal.empty()) return true;
    const auto n = smallInteger(ordinal, 2);
    return n && *n != 0 && std::abs(*n) <= 53;
}

// The items of a BY list that a rule can mean, joined by ",". `dropped`
// tells whether any was left out.
template <typename Accept>
std::string keptItems(std::string_view value, Accept accept, bool& dropped) {
    std::string out;
    for (const auto& raw : splitList(value)) {
        const std::string item = trim(raw);
        if (!accept(item)) {
            dropped = true;
            continue;
        }
        if (!out.empty()) out += ',';
        out += item;
    }
    return out;
}

struct ByPart {
    const char* name;
    void (clsCalRRule::*set)(std::string_view);
    NumberRange range;
};

constexpr std::array<ByPart, 8> kNumberParts = {{
    {"BYMONTH", &clsCalRRule::setByMonth, {1, 12, false}},
    {"BYWEEKNO", &clsCalRRule::setByWeekNo, {1, 53, true}},
    {"BYYEARDAY", &clsCalRRule::setByYearDay, {1, 366, true}},
    {"BYMONTHDAY", &clsCalRRule::setByMonthDay, {1, 31, true}},
    {"BYHOUR", &clsCalRRule::setByHour, {0, 23, false}},
    {"BYMINUTE", &clsCalRRule::setByMinute, {0, 59, false}},
    {"BYSECOND", &clsCalRRule::setBySecond, {0, 60, false}},
    {"BYSETPOS", &clsCalRRule::setBySetPos, {1, 366, true}},
}};

// Writes a BY list with only the items its part can hold.
bool setByPart(clsCalRRule& rule, const std::string& name, const std::string& value, clsImportLog& log) {
    bool dropped = false;
    std::string kept;
    bool known = false;
    if (name == "BYDAY") {
        kept = keptItems(value, isWeekdayItem, dropped);
        rule.setByDay(kept);
        known = true;
    }
    for (const ByPart& part : kNumberParts) {
        if (name != part.name) continue;
        kept = keptItems(
            value,
            [&part](const std::string& item) {
                const auto n = smallInteger(item, 3);
                return n && inRange(*n, part.range);
            },
            dropped);
        (rule.*part.set)(kept);
        known = true;
    }
    if (dropped) note(log, texts::kRuleItemsDropped, name + "=" + value);
    return known;
}

}  // namespace

// ---- vCalendar 1.0 -------------------------------------------------------------

void iCalImport::parseVCalRRule(clsCalEvent& ev, std::string_view value, clsImportLog& log) {
    const std::string text = toUpper(trim(value));
    const std::vector<std::string> tokens = blankTokens(text);
    clsCalRRule& rule = ev.addRRule();

    struct Code {
        const char* text;
        int frequency;
    };
    static constexpr std::array<Code, 6> kCodes = {{{"YD", clsCalRRule::kYearly},
                                                    {"D", clsCalRRule::kDaily},
                                                    {"W", clsCalRRule::kWeekly},
                                                    {"MD", clsCalRRule::kMonthly},
                                                    {"YM", clsCalRRule::kYearly},
                                                    {"MP", clsCalRRule::kMonthly}}};
    const Code* code = nullptr;
    if (!tokens.empty())
        for (const Code& c : kCodes)
            if (tokens[0].starts_with(c.text)) {
                code = &c;
                break;
            }
    if (code == nullptr) {
        note(log, texts::kInvalidFrequency10, text);
        dropRule(ev, log, text);
        return;
    }

    const std::string rest = tokens[0].substr(std::string_view(code->text).size());
    int interval = 1;
    if (!isDigits(rest)) {
        note(log, texts::kInvalidCharacters10, text);
        dropRule(ev, log, text);
        return;
    }
    if (!rest.empty()) {
        // Digits that overflow even a double are a number too large.
        const std::int64_t n = wireNumber(rest).value_or(INT64_MAX);
        if (n >= 32768) {
            note(log, texts::kIntervalTooLarge10, text);
        } else if (n < 1) {
            note(log, texts::kValueChanged, text);
        } else {
            interval = static_cast<int>(n);
        }
    }
    rule.setFrequency(code->frequency);
    rule.setInterval(interval);
    rule.setIsValid(true);

    // Count, until date and month end follow for every code: a yearly-by-month
    // or monthly-by-position rule with "#5" still ends after five.
    const bool monthlyByDay = std::string_view(code->text) == "MD";
    bool lastDay = false;
    for (std::size_t i = 1; i < tokens.size() && i <= kMaxVCalTokens; ++i) {
        const std::string& token = tokens[i];
        if (token.front() == '#') {
            const std::string digits = token.substr(1);
            if (digits.empty() || !isDigits(digits)) {
                note(log, texts::kBadValue, token);
                continue;
            }
            std::int64_t n = wireNumber(digits).value_or(INT64_MAX);
            if (n > kMaxCount) {
                note(log, texts::kDurationTooLarge10, text);
                n = kMaxCount;
            }
            rule.setDurationCount(static_cast<int>(n));
        } else if (monthlyByDay && token == "LD") {
            rule.setByDay("MO,TU,WE,TH,FR,SA,SU");
            rule.setBySetPos("-1");
            lastDay = true;
        } else if (const auto d = wireDate(token)) {
            rule.setDurationUntil(*d, true);
        }
    }
    // A monthly rule from the 29th, 30th or 31st keeps to the last of those
    // days that each month has.
    if (monthlyByDay && !lastDay && rule.ByMonthDay().empty()) {
        switch (ev.EventStart().day()) {
            case 29: rule.setByMonthDay("28,29"); rule.setBySetPos("-1"); break;
            case 30: rule.setByMonthDay("28,29,30"); rule.setBySetPos("-1"); break;
            case 31: rule.setByMonthDay("28,29,30,31"); rule.setBySetPos("-1"); break;
            default: break;
        }
    }
    if (rule.DurationCount() != 1) ev.setIsRecurring(true);
}

// ---- iCalendar 2.0 -------------------------------------------------------------

void iCalImport::parseICalRRule(clsCalEvent& ev, std::string_view value, clsImportLog& log) {
    const std::string text = toUpper(trim(value));
    clsCalRRule& rule = ev.addRRule();
    bool frequencySeen = false, invalid = false;

    for (const auto& part : splitList(text, ';')) {
        const auto eq = part.find('=');
        const std::string name = trim(part.substr(0, eq));
        const std::string val = eq == std::string::npos ? std::string() : trim(part.substr(eq + 1));
        if (name == "FREQ") {
            static const std::vector<std::string> kNames = {"YEARLY", "MONTHLY", "WEEKLY",  "DAILY",
                                                            "HOURLY", "MINUTELY", "SECONDLY"};
            static const std::vector<int> kCodes = {0, 1, 2, 3, 4, 5, 6};
            const int f = lookupCode(val, kNames, kCodes, -1, false);
            if (f < 0) {
                note(log, texts::kInvalidFrequency20, part);
                invalid = true;
            } else {
                rule.setFrequency(f);
                frequencySeen = true;
            }
        } else if (name == "INTERVAL") {
            const auto n = wireNumber(val);
            int interval = 1;
            if (!n) note(log, texts::kIntervalNotNumeric20, part);
            else if (*n >= 32768) note(log, texts::kIntervalTooLarge20, part);
            else if (*n < 1) note(log, texts::kValueChanged, part);
            else interval = static_cast<int>(*n);
            rule.setInterval(interval);
        } else if (name == "COUNT") {
            const auto n = wireNumber(val);
            if (!n) {
                note(log, texts::kCountNotNumeric20, part);
                rule.setDurationCount(0);
            } else {
                if (*n < 0 || *n > kMaxCount) note(log, texts::kValueChanged, part);
                rule.setDurationCount(saturate(*n, 0, kMaxCount));
            }
        } else if (name == "UNTIL") {
            if (const auto d = wireDate(val))
                rule.setDurationUntil(*d, val.find('T') == std::string::npos);
            else
                note(log, texts::kUntilNotDate20, part);
        } else if (name == "WKST") {
            static const std::vector<std::string> kDays = {"MO", "TU", "WE", "TH", "FR", "SA", "SU"};
            static const std::vector<int> kStarts = {2, 3, 4, 5, 6, 7, 1};
            const int start = lookupCode(val, kDays, kStarts, 0, false);
            if (start == 0) note(log, texts::kInvalidWeekStart20, part);
            else rule.setWeekStartDay(start);
        } else {
            setByPart(rule, name, val, log);  // other names are ignored
        }
    }
    if (!frequencySeen || invalid) {
        dropRule(ev, log, text);
        return;
    }
    rule.setIsValid(true);
    if (rule.DurationCount() != 1) ev.setIsRecurring(true);
}

}  // namespace wendra
