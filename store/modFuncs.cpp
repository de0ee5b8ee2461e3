#include "store/modFuncs.h"

#include <langinfo.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>

#include "platform/clock/Names.h"

namespace wendra {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool allDigits(std::string_view s) { return !s.empty() && std::all_of(s.begin(), s.end(), isDigit); }

// A run of digits as a number. A run too long for an int saturates at a value no
// part of a date can have, so the reading that asked refuses it.
int digitsValue(std::string_view s) {
    constexpr int kTooLarge = 1'000'000'000;
    int v = 0;
    for (char c : s) {
        if (v >= kTooLarge / 10) return kTooLarge;
        v = v * 10 + (c - '0');
    }
    return v;
}

// ---- the general date reading ----------------------------------------------

enum class FieldOrder { DMY, MDY, YMD };

// The user's order of day, month and year, from the locale's date format.
FieldOrder localeDateOrder() {
    const std::string fmt = nl_langinfo(D_FMT);
    const auto d = fmt.find("%d");
    const auto m = fmt.find("%m");
    auto y = fmt.find("%Y");
    if (y == std::string::npos) y = fmt.find("%y");
    if (d == std::string::npos || m == std::string::npos || y == std::string::npos) return FieldOrder::MDY;
    if (y < m && m < d) return FieldOrder::YMD;
    if (d < m) return FieldOrder::DMY;
    return FieldOrder::MDY;
}

// Two-digit years fall in 1930..2029.
int expandYear(std::string_view digits) {
    const int v = digitsValue(digits);
    if (digits.size() > 2) return v;
    return v < 30 ? 2000 + v : 1900 + v;
}

std::optional<int> monthFromName(std::string_view word) {
    if (word.size() < 3) return std::nullopt;
    const std::string up = toUpper(word);
    for (int m = 1; m <= 12; ++m) {
        for (const std::string& name : {englishMonthAbbrev(m), monthName(m, true), monthName(m, false)}) {
            const std::string n = toUpper(name);
            if (n.empty()) continue;
            if (up == n || (n.size() > up.size() && n.compare(0, up.size(), up) == 0 && up.size() >= 3)) return m;
        }
    }
    static constexpr std::array<const char*, 12> kFull = {"JANUARY", "FEBRUARY", "MARCH",     "APRIL",
                                                          "MAY",     "JUNE",     "JULY",      "AUGUST",
                                                          "SEPTEMBER", "OCTOBER", "NOVEMBER", "DECEMBER"};
    for (int m = 1; m <= 12; ++m)
        if (up == kFull[static_cast<std::size_t>(m - 1)]) return m;
    return std::nullopt;
}

struct Token {
    std::string text;
    bool number;
};

// Splits "5 Mar 2024 09:30" or "2024-03-05T09:30:00"-like text into a date part and
// a time part; the time part is the first word holding a ":".
bool readTime(std::string_view text, int& h, int& m, int& s) {
    std::string t = trim(text);
    bool pm = false, am = false;
    const std::string up = toUpper(t);
    if (endsWith(up, "PM")) pm = true;
    if (endsWith(up, "AM")) am = true;
    if (pm || am) t = trim(t.substr(0, t.size() - 2));
    std::vector<std::string> parts;
    splitList(parts, t, ':');
    if (parts.size() < 2 || parts.size() > 3) return false;
    for (const auto& p : parts)
        if (!allDigits(p) || p.size() > 2) return false;
    h = digitsValue(parts[0]);
    m = digitsValue(parts[1]);
    s = parts.size() == 3 ? digitsValue(parts[2]) : 0;
    if (pm || am) {
        if (h < 1 || h > 12) return false;
        if (pm && h != 12) h += 12;
        if (am && h == 12) h = 0;
    }
    return h <= 23 && m <= 59 && s <= 59;
}

std::optional<DateTime> readDateTokens(const std::vector<Token>& tk) {
    if (tk.size() != 3) return std::nullopt;
    // Before any value is read: a longer run of digits would overflow it.
    for (const auto& t : tk)
        if (t.number && t.text.size() > 4) return std::nullopt;
    int named = -1;
    for (std::size_t i = 0; i < tk.size(); ++i) {
        if (!tk[i].number) {
            if (named >= 0) return std::nullopt;
            named = static_cast<int>(i);
        }
    }
    int y = 0, m = 0, d = 0;
    if (named >= 0) {
        const auto month = monthFromName(tk[static_cast<std::size_t>(named)].text);
        if (!month) return std::nullopt;
        m = *month;
        if (named == 0) {  // March 5 2024
            d = digitsValue(tk[1].text);
            y = expandYear(tk[2].text);
        } else if (named == 1) {  // 5 March 2024, or 2024 March 5
            if (tk[0].text.size() == 4) {
                y = expandYear(tk[0].text);
                d = digitsValue(tk[2].text);
            } else {
                d = digitsValue(tk[0].text);
                y = expandYear(tk[2].text);
            }
        } else {
            return std::nullopt;
        }
    } else if (tk[0].text.size() == 4) {
        y = digitsValue(tk[0].text);
        m = digitsValue(tk[1].text);
        d = digitsValue(tk[2].text);
    } else {
        switch (localeDateOrder()) {
            case FieldOrder::DMY:
                d = digitsValue(tk[0].text), m = digitsValue(tk[1].text), y = expandYear(tk[2].text);
                break;
            case FieldOrder::MDY:
                m = digitsValue(tk[0].text), d = digitsValue(tk[1].text), y = expandYear(tk[2].text);
                break;
            case FieldOrder::YMD:
                y = expandYear(tk[0].text), m = digitsValue(tk[1].text), d = digitsValue(tk[2].text);
                break;
        }
    }
    return DateTime::fromParts(y, m, d);
}

// A date written with separators, with or without a time, or a time alone.
std::optional<DateTime> generalDateReading(std::string_view raw) {
    const std::string text = trim(raw);
    if (text.empty()) return std::nullopt;
    // Split off the time: the last word that holds ":" (with an AM/PM word after it).
    std::string datePart = text, timePart;
    const auto colon = text.find(':');
    if (colon != std::string::npos) {
        std::size_t start = text.find_last_of(" T", colon);
        if (start == std::string::npos) {
            datePart.clear();
            timePart = text;
        } else {
            datePart = trim(text.substr(0, start));
            timePart = text.substr(start + 1);
        }
    }
    int h = 0, mi = 0, s = 0;
    if (!timePart.empty() && !readTime(timePart, h, mi, s)) return std::nullopt;
    if (datePart.empty()) {
        if (timePart.empty()) return std::nullopt;
        return DateTime::null().addSeconds(h * 3600 + mi * 60 + s);
    }
    std::vector<Token> tokens;
    bool sawSeparator = false;
    std::string cur;
    auto flush = [&] {
        if (cur.empty()) return true;
        const bool number = allDigits(cur);
        if (!number && !std::all_of(cur.begin(), cur.end(), [](char c) {
                return std::isalpha(static_cast<unsigned char>(c)) || static_cast<unsigned char>(c) >= 0x80;
            }))
            return false;
        tokens.push_back({cur, number});
        cur.clear();
        return true;
    };
    for (char c : datePart) {
        if (c == '/' || c == '-' || c == '.' || c == ' ' || c == ',') {
            sawSeparator = true;
            if (!flush()) return std::nullopt;
        } else {
            cur += c;
        }
    }
    if (!flush()) return std::nullopt;
    if (!sawSeparator) return std::nullopt;
    const auto date = readDateTokens(tokens);
    if (!date) return std::nullopt;
    return date->addSeconds(h * 3600 + mi * 60 + s);
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

}  // namespace

// ---- dates and times -------------------------------------------------------

DateOrder compareDates(DateTime a, DateTime b) {
    const auto diff = a.seconds() - b.seconds();
    if (diff == 0) return DateOrder::Same;
    return diff > 0 ? DateOrder::Later : DateOrder::Earlier;
}

DateTime today() { return now().date(); }

DateTime combineDateTime(DateTime d, DateTime t) { return d.date().addSeconds(t.secondOfDay()); }

DateTime lastDayOfMonth(DateTime d) {
    return DateTime::ymd(d.year(), d.month(), DateTime::daysInMonth(d.year(), d.month()));
}

bool isMonthEnd(DateTime d) { return d.day() == DateTime::daysInMonth(d.year(), d.month()); }

DateTime maxDate() { return DateTime::ymd(9999, 12, 31); }

// ---- date and time texts ---------------------------------------------------

std::string formatICalDateTime(DateTime d, bool withTime) {
    // Written digit by digit: every list row's key holds three of these.
    char out[15];
    const auto put = [&out](int at, int value, int width) {
        for (int i = at + width - 1; i >= at; --i, value /= 10) out[i] = static_cast<char>('0' + value % 10);
    };
    const int year = d.year();
    if (year < 0 || year > 9999) {
        std::string text = padZeros(year, 4) + twoDigits(d.month()) + twoDigits(d.day());
        if (withTime) text += "T" + formatTimeHMS(d, false);
        return text;
    }
    put(0, year, 4);
    put(4, d.month(), 2);
    put(6, d.day(), 2);
    if (!withTime) return std::string(out, 8);
    out[8] = 'T';
    put(9, d.hour(), 2);
    put(11, d.minute(), 2);
    put(13, d.second(), 2);
    return std::string(out, 15);
}

std::optional<DateTime> parseICalDateTime(std::string_view text) {
    if (auto general = generalDateReading(text)) return general;
    const std::size_t len = text.size();
    if (len < 8) return std::nullopt;  // year, month and day are all needed for a date
    const std::string_view y = text.substr(0, 4), m = text.substr(4, 2), d = text.substr(6, 2);
    if (!allDigits(y) || !allDigits(m) || !allDigits(d)) return std::nullopt;
    auto date = DateTime::fromParts(digitsValue(y), digitsValue(m), digitsValue(d));
    if (!date) return std::nullopt;
    if (len >= 11 && text[8] == 'T') {
        const std::string_view h = text.substr(9, 2);
        const std::string_view mi = len >= 13 ? text.substr(11, 2) : std::string_view("00");
        const std::string_view s = len >= 15 ? text.substr(13, 2) : std::string_view("00");
        if (allDigits(h) && allDigits(mi) && allDigits(s)) {
            const int hv = digitsValue(h), mv = digitsValue(mi), sv = digitsValue(s);
            if (hv <= 23 && mv <= 59 && sv <= 59) date = date->addSeconds(hv * 3600 + mv * 60 + sv);
        }
    }
    return date;
}

std::string formatTimeHMS(DateTime d, bool withColons) {
    const char* sep = withColons ? ":" : "";
    return twoDigits(d.hour()) + sep + twoDigits(d.minute()) + sep + twoDigits(d.second());
}

std::string formatTimeHM(DateTime d) { return twoDigits(d.hour()) + ":" + twoDigits(d.minute()); }

std::string formatLongDate(DateTime d, bool withTime, bool abbreviateMonth) {
    std::string out = std::to_string(d.day()) + " " + monthName(d.month(), abbreviateMonth) + " " +
                      std::to_string(d.year());
    if (withTime) out += " " + formatTimeHM(d);
    return out;
}

std::string weekdayText(DateTime d, bool abbreviate) { return weekdayName(d.weekday(), abbreviate); }

std::string padZeros(std::string_view value, int width) {
    if (width <= 0) return {};
    const auto w = static_cast<std::size_t>(width);
    std::string out(w > value.size() ? w - value.size() : 0, '0');
    out += value;
    return out.substr(out.size() - w);
}

std::string padZeros(std::int64_t value, int width) { return padZeros(std::to_string(value), width); }

std::string frequencyText(int frequency, bool monthEnd, int interval) {
    if (frequency < 0 || frequency >= 8) return "Unknown";
    if (interval == 1) {
        static constexpr std::array<const char*, 8> kOne = {"Yearly", "Monthly", "Weekly", "Daily", "", "", "",
                                                            "Once"};
        if (frequency == 1 && monthEnd) return "Month end";
        return kOne[static_cast<std::size_t>(frequency)];
    }
    const std::string n = std::to_string(interval);
    switch (frequency) {
        case 0: return "Every " + n + " years";
        case 1: return monthEnd ? "Every " + n + " month ends" : "Every " + n + " months";
        case 2: return "Every " + n + " weeks";
        case 3: return "Every " + n + " days";
        case 7: return "Once";
        default: return "";
    }
}

// ---- lists and texts -------------------------------------------------------

std::string trim(std::string_view text) { return std::string(trimmed(text)); }

std::string toUpper(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

std::string replaceAll(std::string_view text, std::string_view from, std::string_view to) {
    if (from.empty()) return std::string(text);
    std::string out;
    std::size_t pos = 0;
    for (;;) {
        const auto hit = text.find(from, pos);
        if (hit == std::string_view::npos) break;
        out.append(text.substr(pos, hit - pos));
        out.append(to);
        pos = hit + from.size();
    }
    out.append(text.substr(pos));
    return out;
}

std::string trimCommas(std::string_view list) {
    if (list == ",") return {};
    if (!list.empty() && list.back() == ',') list.remove_suffix(1);
    if (!list.empty() && list.front() == ',') list.remove_prefix(1);
    return std::string(list);
}

std::string dedupeList(std::string_view list) {
    // Whole items are compared: "20240305" is a different item from "20240305T090000".
    const std::vector<std::string> items = splitList(trim(list));
    std::vector<std::string_view> kept;
    std::string out;
    for (const auto& item : items) {
        if (std::find(kept.begin(), kept.end(), item) != kept.end()) continue;
        kept.push_back(item);
        out += item;
        out += ',';
    }
    return out;
}

std::size_t splitList(std::vector<std::string>& into, std::string_view text, char separator) {
    const std::string t = trim(text);
    std::size_t pos = 0;
    while (pos < t.size()) {
        const auto hit = t.find(separator, pos);
        if (hit == std::string::npos) {
            into.emplace_back(t.substr(pos));
            break;
        }
        into.emplace_back(t.substr(pos, hit - pos));
        pos = hit + 1;
    }
    return into.size();
}

std::vector<std::string> splitList(std::string_view text, char separator) {
    std::vector<std::string> out;
    splitList(out, text, separator);
    return out;
}

std::size_t splitDateList(std::vector<DateTime>& into, std::string_view text, char separator) {
    for (const auto& item : splitList(text, separator))
        if (auto d = parseICalDateTime(item)) into.push_back(*d);
    return into.size();
}

std::string stripTimesFromList(std::string_view list) {
    std::string out;
    for (const auto& item : splitList(list)) {
        const auto t = item.find('T');
        out += (t == std::string::npos || t == 0) ? item : item.substr(0, t);
        out += ',';
    }
    return out;
}

std::size_t countOccurrences(std::string_view text, std::string_view search) {
    if (search.empty()) return 0;
    std::size_t n = 0;
    for (auto pos = text.find(search); pos != std::string_view::npos; pos = text.find(search, pos + 1)) ++n;
    return n;
}

std::string popToken(std::string& text, char separator) {
    if (!text.empty() && text.front() == separator) {
        text.erase(0, 1);
        return {};
    }
    const auto hit = text.find(separator);
    if (hit == std::string::npos) {
        std::string token = trim(text);
        text.clear();
        return token;
    }
    std::string token = trim(std::string_view(text).substr(0, hit));
    text = trim(std::string_view(text).substr(hit + 1));
    return token;
}

bool startsWith(std::string_view text, std::string_view part) { return text.starts_with(part); }
bool endsWith(std::string_view text, std::string_view part) { return text.ends_with(part); }

std::string ensureSuffix(std::string_view text, std::string_view suffix) {
    if (text.empty() || text.ends_with(suffix)) return std::string(text);
    return std::string(text) + std::string(suffix);
}

std::string overwriteAt(std::string_view text, std::string_view insert, std::size_t position) {
    const std::size_t start = position == 0 ? 0 : position - 1;
    if (start >= text.size()) return std::string(text) + std::string(insert);
    std::string out(text.substr(0, start));
    out += insert;
    const std::size_t after = start + insert.size();
    if (after < text.size()) out += text.substr(after);
    return out;
}

int lookupCode(std::string_view key, const std::vector<std::string>& keys, const std::vector<int>& codes,
               int defaultCode, bool caseInsensitive) {
    const std::string k = caseInsensitive ? toUpper(key) : std::string(key);
    for (std::size_t i = 0; i < keys.size() && i < codes.size(); ++i) {
        if ((caseInsensitive ? toUpper(keys[i]) : keys[i]) == k) return codes[i];
    }
    return defaultCode;
}

int toIntOrDefault(std::string_view text, int defaultValue) {
    const auto v = parseScientific(text);
    if (!v) return defaultValue;
    const double r = std::nearbyint(*v);  // the default rounding mode rounds half to even
    if (r < -32768 || r > 32767) return defaultValue;
    return static_cast<int>(r);
}

bool isNumberInRange(std::string_view text, double minimum, double maximum) {
    const auto v = parseScientific(text);
    if (!v) return false;
    return std::nearbyint(*v) >= minimum && *v <= maximum;
}

// ---- arrays ----------------------------------------------------------------

void sortIntegers(std::vector<int>& values, bool ascending) {
    if (ascending)
        std::stable_sort(values.begin(), values.end());
    else
        std::stable_sort(values.begin(), values.end(), std::greater<>());
}

void sortDates(std::vector<DateTime>& values, bool ascending) {
    if (ascending)
        std::stable_sort(values.begin(), values.end());
    else
        std::stable_sort(values.begin(), values.end(), std::greater<>());
}

// ---- database values -------------------------------------------------------

std::string sqlQuote(std::string_view value) { return "'" + replaceAll(value, "'", "''") + "'"; }

std::string valueText(const db::Value& v) {
    struct Visitor {
        std::string operator()(std::monostate) const { return {}; }
        std::string operator()(bool b) const { return b ? "True" : "False"; }
        std::string operator()(std::int64_t i) const { return std::to_string(i); }
        std::string operator()(double d) const {
            char buf[64];
            std::snprintf(buf, sizeof buf, "%.15g", d);
            return buf;
        }
        std::string operator()(const std::string& s) const { return s; }
        std::string operator()(DateTime d) const { return d.isoText(); }
    };
    return std::visit(Visitor{}, v);
}

std::string nzString(const db::Value& v) { return valueText(v); }

DateTime nzDate(const db::Value& v) {
    if (db::isNull(v)) return DateTime::ymd(1900, 1, 1);
    if (const auto* d = std::get_if<DateTime>(&v)) return *d;
    if (const auto* s = std::get_if<std::string>(&v)) {
        if (auto iso = DateTime::fromIsoText(*s)) return *iso;
        if (auto parsed = parseICalDateTime(*s)) return *parsed;
        return DateTime::ymd(1900, 1, 1);
    }
    if (const auto* r = std::get_if<double>(&v)) return DateTime::fromSerial(*r);
    if (const auto* i = std::get_if<std::int64_t>(&v)) return DateTime::fromSerial(static_cast<double>(*i));
    return DateTime::ymd(1900, 1, 1);
}

bool nzBool(const db::Value& v) {
    if (const auto* b = std::get_if<bool>(&v)) return *b;
    if (const auto* i = std::get_if<std::int64_t>(&v)) return *i != 0;
    if (const auto* r = std::get_if<double>(&v)) return *r != 0;
    if (const auto* s = std::get_if<std::string>(&v)) {
        const std::string up = toUpper(trim(*s));
        if (up == "TRUE") return true;
        if (const auto n = parseScientific(up)) return *n != 0;
    }
    return false;
}

int nzInt(const db::Value& v, int defaultValue) {
    if (db::isNull(v)) return defaultValue;
    if (const auto* b = std::get_if<bool>(&v)) return *b ? -1 : 0;
    if (const auto* i = std::get_if<std::int64_t>(&v))
        return (*i >= -32768 && *i <= 32767) ? static_cast<int>(*i) : defaultValue;
    if (const auto* r = std::get_if<double>(&v)) return toIntOrDefault(valueText(*r), defaultValue);
    if (const auto* s = std::get_if<std::string>(&v)) return toIntOrDefault(*s, defaultValue);
    return defaultValue;
}

// ---- tagged text -----------------------------------------------------------

namespace {
constexpr std::array<std::string_view, 10> kTags = {"</>",    "<Desc>", "<XId>",   "<Id>",  "<Strt>",
                                                    "<Recur>", "<Occr>", "<OcDesc>", "</Req>", "<MSO>"};
}  // namespace

std::string tagText(int number) {
    return number >= 0 && number < 10 ? std::string(kTags[static_cast<std::size_t>(number)]) : std::string();
}

std::string_view tagName(Tag t) {
    const auto number = static_cast<std::size_t>(t);
    return number < kTags.size() ? kTags[number] : std::string_view();
}

std::string taggedValue(std::string_view text, std::string_view tag) {
    if (tag.empty()) return {};
    const auto at = text.find(tag);
    if (at == std::string_view::npos) return {};
    const auto from = at + tag.size();
    const auto end = text.find("</>", from);
    if (end == std::string_view::npos) return {};
    return std::string(text.substr(from, end - from));
}

std::string tagSafe(std::string_view value) {
    std::string out;
    out.reserve(value.size());
    for (char c : value) {
        if (c == '&')
            out += "&amp;";
        else if (c == '<')
            out += "&lt;";
        else
            out += c;
    }
    return out;
}

std::string untagValue(std::string_view stored) { return replaceAll(replaceAll(stored, "&lt;", "<"), "&amp;", "&"); }

// ---- UTF-8 -----------------------------------------------------------------

std::string utf8Encode(std::string_view text) { return "\xEF\xBB\xBF" + utf8Decode(text); }

std::string utf8Decode(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (char32_t cp : utf8CodePoints(bytes)) appendUtf8(out, cp);
    return out;
}

std::string toUtf8Hex(std::string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    const std::string bytes = utf8Encode(text).substr(3);
    std::string out;
    out.reserve(bytes.size() * 2 + 6);
    // The reader drops a leading "EFBBBF" as a byte-order mark: a text that itself
    // begins with U+FEFF gets a mark in front, so its own character comes back.
    if (bytes.starts_with("\xEF\xBB\xBF")) out = "EFBBBF";
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        out += kHex[b >> 4];
        out += kHex[b & 0x0F];
    }
    return out;
}

std::string fromUtf8Hex(std::string_view hex) {
    if (hex.starts_with("EFBBBF")) hex.remove_prefix(6);
    // Text from outside can be damaged: a pair that is not two hex digits is skipped.
    std::string bytes;
    bytes.reserve(hex.size() / 2);
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
        const int hi = hexDigit(hex[i]), lo = hexDigit(hex[i + 1]);
        if (hi < 0 || lo < 0) continue;
        bytes += static_cast<char>(hi * 16 + lo);
    }
    return utf8Decode(bytes);
}

std::string toUnicodeEscapes(std::string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    auto unit = [&](unsigned u) {
        out += "\\u";
        for (int shift = 12; shift >= 0; shift -= 4) out += kHex[(u >> shift) & 0xF];
    };
    for (char32_t cp : utf8CodePoints(text)) {
        if (cp >= 0x10000) {
            const char32_t v = cp - 0x10000;
            unit(0xD800 + static_cast<unsigned>(v >> 10));
            unit(0xDC00 + static_cast<unsigned>(v & 0x3FF));
        } else {
            unit(static_cast<unsigned>(cp));
        }
    }
    return out;
}

}  // namespace wendra
