#include "exchange/iCalImportZones.h"

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <filesystem>

#include "exchange/WireValues.h"
#include "platform/text/Text.h"
#include "store/modFuncs.h"

namespace wendra {

namespace {

// Enough for any real calendar, and a bound on what a hostile one can make us keep.
constexpr std::size_t kMaxZones = 64;
constexpr std::size_t kMaxObservances = 256;
constexpr std::size_t kMaxStarts = 512;
constexpr std::int64_t kUnixEpochSeconds = 25569LL * DateTime::kSecondsPerDay;

// "+0100", "-0500", "+013045": seconds east of UTC.
std::optional<int> utcOffset(std::string_view text) {
    text = trimmed(text);
    if (text.size() != 5 && text.size() != 7) return std::nullopt;
    if (text[0] != '+' && text[0] != '-') return std::nullopt;
    int fields[3] = {0, 0, 0};
    for (std::size_t i = 1, f = 0; i < text.size(); i += 2, ++f) {
        if (text[i] < '0' || text[i] > '9' || text[i + 1] < '0' || text[i + 1] > '9') return std::nullopt;
        fields[f] = (text[i] - '0') * 10 + (text[i + 1] - '0');
    }
    if (fields[0] > 23 || fields[1] > 59 || fields[2] > 59) return std::nullopt;
    const int seconds = fields[0] * 3600 + fields[1] * 60 + fields[2];
    return text[0] == '-' ? -seconds : seconds;
}

// A small whole number, held within -9999..9999; 0 for what is none.
int smallNumber(std::string_view text) {
    const auto n = wireNumber(text);
    return n ? saturate(*n, -9999, 9999) : 0;
}

int weekdayCode(std::string_view code) {
    static constexpr std::string_view kDays[] = {"SU", "MO", "TU", "WE", "TH", "FR", "SA"};
    for (int i = 0; i < 7; ++i)
        if (code == kDays[i]) return i + 1;
    return 0;
}

// A wall time without its "Z", and whether it had one.
std::optional<DateTime> zoneTime(std::string text, bool& utc) {
    text = trim(text);
    utc = !text.empty() && (text.back() == 'Z' || text.back() == 'z');
    if (utc) text.pop_back();
    return parseICalDateTime(text);
}

// A zone database name: letters, digits, "_", "+", "-" in parts joined by "/".
bool isZoneName(std::string_view name) {
    if (name.empty() || name.front() == '/' || name.back() == '/' || name.find("//") != std::string_view::npos)
        return false;
    return std::all_of(name.begin(), name.end(), [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c == '+' ||
               c == '-' || c == '/';
    });
}

std::filesystem::path zoneFolder() {
    const char* dir = std::getenv("TZDIR");
    return dir && *dir ? dir : "/usr/share/zoneinfo";
}

// The C library converts in the zone that TZ names: it names the calendar's
// zone for the one conversion, and the machine's again after it. The program
// converts on one thread, so nothing else reads TZ meanwhile.
class ZoneSwitch {
public:
    explicit ZoneSwitch(const std::string& name) {
        if (const char* tz = std::getenv("TZ")) saved_ = tz;
        setenv("TZ", (":" + name).c_str(), 1);
        tzset();
    }
    ~ZoneSwitch() {
        if (saved_) setenv("TZ", saved_->c_str(), 1);
        else unsetenv("TZ");
        tzset();
    }
    ZoneSwitch(const ZoneSwitch&) = delete;
    ZoneSwitch& operator=(const ZoneSwitch&) = delete;

private:
    std::optional<std::string> saved_;
};

}  // namespace

// ---- reading a VTIMEZONE ---------------------------------------------------------

void iCalZones::readRule(Observance& o, const std::string& value) {
    bool yearly = false;
    for (const auto& part : splitList(toUpper(value), ';')) {
        const auto eq = part.find('=');
        if (eq == std::string::npos) continue;
        const std::string name = trim(part.substr(0, eq)), val = trim(part.substr(eq + 1));
        const std::vector<std::string> items = splitList(val);
        const std::string first = items.empty() ? std::string() : trim(items.front());
        if (name == "FREQ") {
            yearly = val == "YEARLY";
        } else if (name == "BYMONTH") {
            const int m = smallNumber(first);
            if (m >= 1 && m <= 12) o.month = m;
        } else if (name == "BYDAY" && first.size() >= 2) {
            o.weekday = weekdayCode(std::string_view(first).substr(first.size() - 2));
            const std::string ordinal = first.substr(0, first.size() - 2);
            o.ordinal = std::clamp(smallNumber(ordinal), -5, 5);
        } else if (name == "BYMONTHDAY") {
            // "8,9,10,11,12,13,14" with BYDAY=SU: the Sunday of the second week.
            int lowest = 0;
            for (const auto& item : items) {
                const int d = smallNumber(item);
                if (d >= 1 && d <= 31 && (lowest == 0 || d < lowest)) lowest = d;
            }
            o.monthDay = lowest;
        } else if (name == "UNTIL") {
            o.until = zoneTime(val, o.untilUtc);
        } else if (name == "COUNT") {
            o.count = std::max(0, smallNumber(val));
        }
    }
    o.yearly = yearly;  // without a day named, on the day it began
}

bool iCalZones::zoneLine(const std::string& key, const std::string& value) {
    if (key.starts_with("BEGIN:VTIMEZONE")) {
        open_ = zones_.size() < kMaxZones;
        if (open_) zones_.emplace_back();
        inObservance_ = false;
        return open_;
    }
    if (!open_) return false;
    Zone& zone = zones_.back();
    if (key.starts_with("END:VTIMEZONE")) {
        open_ = false;
        return false;
    }
    if (key.starts_with("BEGIN:STANDARD") || key.starts_with("BEGIN:DAYLIGHT")) {
        inObservance_ = true;
        observance_ = Observance();
    } else if (key.starts_with("END:STANDARD") || key.starts_with("END:DAYLIGHT")) {
        if (inObservance_ && observance_.offsetsRead && !observance_.start.isNull() &&
            zone.observances.size() < kMaxObservances)
            zone.observances.push_back(std::move(observance_));
        inObservance_ = false;
    } else if (!inObservance_) {
        if (key.starts_with("TZID")) zone.id = value;
    } else if (key.starts_with("DTSTART")) {
        bool utc = false;
        if (const auto d = zoneTime(value, utc)) observance_.start = *d;
    } else if (key.starts_with("TZOFFSETFROM") || key.starts_with("TZOFFSETTO")) {
        if (const auto offset = utcOffset(value)) {
            (key.starts_with("TZOFFSETTO") ? observance_.offsetTo : observance_.offsetFrom) = *offset;
            observance_.offsetsRead = true;
        }
    } else if (key.starts_with("RRULE")) {
        readRule(observance_, value);
    } else if (key.starts_with("RDATE")) {
        for (const auto& item : splitList(replaceAll(value, ";", ",")))
            if (bool utc = false; observance_.starts.size() < kMaxStarts)
                if (const auto d = zoneTime(item, utc)) observance_.starts.push_back(*d);
    }
    return true;
}

// ---- offsets -----------------------------------------------------------------------

std::optional<DateTime> iCalZones::onsetIn(const Observance& o, int year) {
    const int month = o.month != 0 ? o.month : o.start.month();
    const int days = DateTime::daysInMonth(year, month);
    int day = 0;
    if (o.weekday != 0 && o.ordinal > 0) {
        const int first = DateTime::ymd(year, month, 1).weekday();
        day = 1 + (o.weekday - first + 7) % 7 + 7 * (o.ordinal - 1);
    } else if (o.weekday != 0 && o.ordinal < 0) {
        const int last = DateTime::ymd(year, month, days).weekday();
        day = days - (last - o.weekday + 7) % 7 - 7 * (-o.ordinal - 1);
    } else if (o.weekday != 0) {
        // The weekday on or after the month day (the first of the month without one).
        const int from = o.monthDay != 0 ? o.monthDay : 1;
        if (from > days) return std::nullopt;
        day = from + (o.weekday - DateTime::ymd(year, month, from).weekday() + 7) % 7;
    } else {
        day = o.monthDay != 0 ? o.monthDay : o.start.day();
    }
    if (day < 1 || day > days) return std::nullopt;
    return DateTime::ymd(year, month, day).addSeconds(o.start.secondOfDay());
}

int iCalZones::offsetAt(const Zone& zone, DateTime wall) {
    std::optional<DateTime> latest;
    int offset = 0;
    const Observance* earliest = nullptr;
    for (const Observance& o : zone.observances) {
        if (earliest == nullptr || o.start < earliest->start) earliest = &o;
        const auto consider = [&](DateTime onset) {
            if (onset <= wall && (!latest || onset > *latest)) {
                latest = onset;
                offset = o.offsetTo;
            }
        };
        consider(o.start);
        for (DateTime d : o.starts) consider(d);
        if (!o.yearly) continue;
        // One onset a year, so a count gives the last year.
        int lastYear = std::min(wall.year(), o.until ? o.until->year() : 9999);
        if (o.count > 0) lastYear = std::min(lastYear, o.start.year() + o.count - 1);
        for (int year = lastYear - 1; year <= lastYear; ++year) {
            if (year < o.start.year()) continue;
            const auto onset = onsetIn(o, year);
            if (!onset || *onset < o.start) continue;
            if (o.until && (o.untilUtc ? onset->addSeconds(-o.offsetFrom) : *onset) > *o.until) continue;
            consider(*onset);
        }
    }
    // Before its first observance a zone keeps the offset that one starts from.
    if (!latest && earliest != nullptr) offset = earliest->offsetFrom;
    return offset;
}

std::optional<DateTime> iCalZones::toLocal(const std::string& tzid, DateTime wall) const {
    for (const Zone& zone : zones_)
        if (zone.id == tzid && !zone.observances.empty()) return utcToLocal(wall.addSeconds(-offsetAt(zone, wall)));
    return systemZoneToLocal(tzid, wall);
}

std::optional<DateTime> iCalZones::systemZoneToLocal(std::string_view tzid, DateTime wall) {
    std::string_view name = trimmed(tzid);
    if (name.size() >= 2 && name.front() == '"' && name.back() == '"') name = name.substr(1, name.size() - 2);
    const std::filesystem::path folder = zoneFolder();
    while (!name.empty()) {
        std::error_code error;
        if (isZoneName(name) && std::filesystem::is_regular_file(folder / name, error)) break;
        const auto slash = name.find('/');
        name = slash == std::string_view::npos ? std::string_view() : name.substr(slash + 1);
    }
    if (name.empty()) return std::nullopt;
    std::time_t utc = 0;
    {
        const ZoneSwitch zone{std::string(name)};
        std::tm parts{};
        parts.tm_year = wall.year() - 1900;
        parts.tm_mon = wall.month() - 1;
        parts.tm_mday = wall.day();
        parts.tm_hour = wall.hour();
        parts.tm_min = wall.minute();
        parts.tm_sec = wall.second();
        parts.tm_isdst = -1;
        utc = std::mktime(&parts);
    }
    return utcToLocal(DateTime::fromSeconds(static_cast<std::int64_t>(utc) + kUnixEpochSeconds));
}

}  // namespace wendra
