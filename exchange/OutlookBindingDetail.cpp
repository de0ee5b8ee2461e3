#include "exchange/OutlookBindingDetail.h"

#include <cmath>
#include <cstdio>

#include "platform/clock/Names.h"
#include "store/modFuncs.h"

namespace wendra::outlook_binding {

void raise(long number, const std::string& description) { throw outlook::Error(number, description, kSource); }

DateTime asDate(const outlook::PropertyValue& v, DateTime fallback) {
    if (const auto* d = std::get_if<DateTime>(&v)) return *d;
    if (const auto* s = std::get_if<std::string>(&v))
        if (auto parsed = parseICalDateTime(*s)) return *parsed;
    return fallback;
}

double asNumber(const outlook::PropertyValue& v, double fallback) {
    if (const auto* n = std::get_if<double>(&v)) return std::isfinite(*n) ? *n : fallback;
    if (const auto* s = std::get_if<std::string>(&v))
        if (auto n = parseScientific(*s); n && std::isfinite(*n)) return *n;
    if (const auto* b = std::get_if<bool>(&v)) return *b ? -1 : 0;
    return fallback;
}

bool asFlag(const outlook::PropertyValue& v, bool fallback) {
    if (const auto* b = std::get_if<bool>(&v)) return *b;
    if (const auto* n = std::get_if<double>(&v)) return *n != 0;
    if (const auto* s = std::get_if<std::string>(&v)) {
        const std::string t = toUpper(trim(*s));
        if (t == "TRUE" || t == "YES" || t == "-1" || t == "1") return true;
        if (t == "FALSE" || t == "NO" || t == "0") return false;
    }
    return fallback;
}

std::string asText(const outlook::PropertyValue& v) {
    if (const auto* s = std::get_if<std::string>(&v)) return *s;
    if (const auto* d = std::get_if<DateTime>(&v)) return formatICalDateTime(*d, true);
    if (const auto* n = std::get_if<double>(&v)) {
        char buffer[32];
        std::snprintf(buffer, sizeof buffer, "%.15g", *n);
        return buffer;
    }
    return std::get<bool>(v) ? "True" : "False";
}

std::string dateKey(DateTime d) {
    std::string key = formatICalDateTime(d, true);
    key.erase(8, 1);  // the "T"
    return key + "=";
}

std::vector<std::pair<DateTime, std::string>> occurrenceTexts(std::string_view run) {
    std::vector<std::pair<DateTime, std::string>> out;
    for (const std::string& entry : splitList(run, '\t')) {
        if (entry.size() < 15 || entry[14] != '=') continue;
        const auto when = parseICalDateTime(entry.substr(0, 8) + "T" + entry.substr(8, 6));
        if (when) out.emplace_back(*when, entry.substr(15));
    }
    return out;
}

std::string filterText(std::string_view text) { return "'" + replaceAll(text, "'", "''") + "'"; }

std::string filterDate(DateTime d) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%02d/%s/%04d %02d:%02d", d.day(), englishMonthAbbrev(d.month()).c_str(),
                  d.year(), d.hour(), d.minute());
    return buffer;
}

}  // namespace wendra::outlook_binding
