#include "exchange/WireValues.h"

#include <cmath>
#include <ctime>

#include "platform/text/Text.h"
#include "store/modFuncs.h"

namespace wendra {

namespace {

constexpr int kFirstYear = 1601;
constexpr int kLastYear = 9999;
// 1 January 1970 counted from the program's zero day.
constexpr std::int64_t kUnixEpochSeconds = 25569LL * DateTime::kSecondsPerDay;

bool inYears(DateTime d) { return d.year() >= kFirstYear && d.year() <= kLastYear; }

}  // namespace

std::optional<std::int64_t> wireNumber(std::string_view text) {
    const auto v = parseScientific(text);
    if (!v) return std::nullopt;
    const double r = std::nearbyint(*v);
    // 2^63 is exact as a double; anything from there on saturates.
    if (r >= 9223372036854775808.0) return INT64_MAX;
    if (r <= -9223372036854775808.0) return INT64_MIN;
    return static_cast<std::int64_t>(r);
}

int saturate(std::int64_t value, int minimum, int maximum) {
    if (value < minimum) return minimum;
    if (value > maximum) return maximum;
    return static_cast<int>(value);
}

std::optional<DateTime> utcToLocal(DateTime utc) {
    const std::time_t t = static_cast<std::time_t>(utc.seconds() - kUnixEpochSeconds);
    std::tm local{};
    if (localtime_r(&t, &local) == nullptr) return std::nullopt;
    const auto d = DateTime::fromParts(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                                       local.tm_min, local.tm_sec > 59 ? 59 : local.tm_sec);
    if (!d || !inYears(*d)) return std::nullopt;
    return d;
}

std::optional<DateTime> wireDate(std::string_view text) {
    std::string t = trim(text);
    const bool utc = t.size() > 8 && (t.back() == 'Z' || t.back() == 'z') && t.find('T') != std::string::npos;
    if (utc) t.pop_back();
    const auto d = parseICalDateTime(t);
    if (!d || !inYears(*d)) return std::nullopt;
    return utc ? utcToLocal(*d) : d;
}

}  // namespace wendra
