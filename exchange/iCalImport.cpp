#include "exchange/iCalImport.h"

#include <algorithm>
#include <exception>
#include <vector>

#include "exchange/ExchangeTexts.h"
#include "exchange/WireValues.h"
#include "platform/clock/Clock.h"
#include "store/iCalRuleExpansion.h"
#include "store/modFuncs.h"

namespace wendra {

namespace {

// Past the first unescaped colon the key needs only as many characters as the
// longest name that goes on after its colon ("X-KSP-END:SYNC-DATA"), and the
// value can be long: the rest of the line is not keyed.
constexpr std::size_t kKeyCharsAfterColon = 32;
constexpr std::size_t kLogExcerpt = 200;
// The prior warnings the event editor can show; anything else is the default.
constexpr int kMaxOwnPriorWarning = 9;

// The first colon that no backslash precedes and no pair of double quotes
// holds: a parameter may quote a colon (ALTREP="http://..."). A quote left
// open to the end of the line quotes nothing.
std::size_t valueColon(std::string_view line) {
    std::size_t firstColon = std::string_view::npos;
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '"') {
            quoted = !quoted;
        } else if (line[i] == ':' && (i == 0 || line[i - 1] != '\\')) {
            if (!quoted) return i;
            if (firstColon == std::string_view::npos) firstColon = i;
        }
    }
    return firstColon;
}

std::string lineKey(std::string_view line) {
    const std::size_t colon = valueColon(line);
    std::string key;
    std::size_t after = 0;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (c == ' ') continue;
        if (colon != std::string_view::npos && i > colon && ++after > kKeyCharsAfterColon) break;
        key += (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    }
    return key;
}

bool has(const std::string& key, const char* name) { return key.starts_with(name); }

// The value of the line's TZID parameter, if it names a zone.
std::optional<std::string> tzidParameter(std::string_view line) {
    const std::size_t colon = valueColon(line);
    const std::string_view head = line.substr(0, colon);
    std::size_t at = 0;
    bool quoted = false;
    // Parameters are split at semicolons outside quotes; the first part is the name.
    std::vector<std::string_view> parts;
    for (std::size_t i = 0; i <= head.size(); ++i) {
        if (i < head.size() && head[i] == '"') quoted = !quoted;
        if (i == head.size() || (head[i] == ';' && !quoted)) {
            parts.push_back(head.substr(at, i - at));
            at = i + 1;
        }
    }
    for (std::size_t p = 1; p < parts.size(); ++p) {
        const auto eq = parts[p].find('=');
        if (eq == std::string_view::npos || toUpper(trim(parts[p].substr(0, eq))) != "TZID") continue;
        std::string id = trim(parts[p].substr(eq + 1));
        if (id.size() >= 2 && id.front() == '"' && id.back() == '"') id = id.substr(1, id.size() - 2);
        if (!id.empty()) return id;
    }
    return std::nullopt;
}

std::string excerpt(std::string_view text) { return std::string(text.substr(0, kLogExcerpt)); }

void note(clsImportLog& log, int type, const std::string& message, std::string_view line) {
    log.writeLog(type, message, excerpt(line));
}

bool isHexText(std::string_view text) {
    if (text.size() % 2 != 0) return false;
    for (char c : text)
        if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f'))) return false;
    return true;
}

// An all-day event's extra dates, written by a writer that adds "T000000" to
// every item, as the day texts the program keeps for an all-day event.
std::string withoutMidnights(std::string_view list) {
    std::string out;
    for (const auto& item : splitList(list)) {
        if (!out.empty()) out += ',';
        out += item.size() == 15 && item.ends_with("T000000") ? item.substr(0, 8) : item;
    }
    return out;
}

// The auto-delete codes the list knows: manual, or a number of days 1 to 9.
bool isAutoDeleteCode(std::string_view v) { return v == "M" || (v.size() == 1 && v[0] >= '1' && v[0] <= '9'); }

// A store key: a whole number.
bool isWholeNumber(std::string_view v) { return !v.empty() && v.size() <= 18 && iCalImport::isDigits(v); }

}  // namespace

// ---- small operations --------------------------------------------------------

bool iCalImport::isDigits(std::string_view text) {
    for (char c : text)
        if (c < '0' || c > '9') return false;
    return true;
}

int iCalImport::safeCInt(std::string_view text, int defaultValue) {
    const auto n = wireNumber(text);
    if (!n || *n > 32767 || *n < -32768) return defaultValue;
    return static_cast<int>(*n);
}

std::string iCalImport::propertyValue(std::string_view line) {
    const std::size_t colon = valueColon(line);
    if (colon == std::string_view::npos) return {};
    return trim(line.substr(colon + 1));
}

// ---- the shared loop -----------------------------------------------------------

template <typename Handler>
bool iCalImport::readBlock(std::string_view message, clsImportLog& log, const char* begin, const char* errorText,
                           Handler&& inside) {
    bool began = false, open = false;
    iCalLineReader lines(message);
    while (auto raw = lines.next(calendar_.VersionMajor())) {
        if (raw->overlong) {
            note(log, clsImportLog::kWarning, texts::kLineTooLong, raw->text);
            continue;
        }
        const std::string key = lineKey(raw->text);
        if (key.empty()) continue;
        const Line line{std::move(raw->text), key};
        if (!open) {
            if (has(key, begin)) began = open = true;
            continue;
        }
        try {
            if (!inside(line, open)) break;
        } catch (const std::exception& e) {
            // Whatever failed, this line is lost and the read goes on.
            const ImportError err{1, e.what(), "iCalImport"};
            log.writeLog(clsImportLog::kError, errorText, excerpt(line.text), &err);
        }
    }
    if (open) note(log, clsImportLog::kWarning, texts::kBlockNotClosed, begin);
    return began;
}

// ---- SYNC-TIME ---------------------------------------------------------------

bool iCalImport::readSyncTime(std::string_view message, clsImportLog& log) {
    calendar_ = clsCalendar();
    event_ = nullptr;
    return readBlock(message, log, texts::kBeginSyncTime, texts::kErrorSyncData, [&](const Line& line, bool& open) {
        if (has(line.key, texts::kKspVersion)) {
            calendar_.setVersionText(propertyValue(line.text));
        } else if (has(line.key, texts::kKspTime)) {
            if (const auto device = wireDate(propertyValue(line.text)))
                calendar_.setTimeDiff(device->seconds() - now().seconds());
            else
                note(log, clsImportLog::kWarning, texts::kBadValue, line.text);
        } else if (has(line.key, texts::kEndSyncTime)) {
            open = false;
            listener_.EndSyncTime(calendar_);
        }
        return true;
    });
}

// ---- SYNC-DATA ---------------------------------------------------------------

bool iCalImport::readSyncData(std::string_view message, clsImportLog& log) {
    calendar_ = clsCalendar();
    event_ = nullptr;
    listUid_.clear();
    listUidPending_ = listStarted_ = false;
    listHandedOn_ = 0;
    // An unfinished list acts on nothing: handed on, it would have the local
    // events it does not name deleted.
    return readBlock(message, log, texts::kBeginSyncData, texts::kErrorSyncData, [&](const Line& line, bool& open) {
        syncDataLine(line, log, open);
        return true;
    });
}

void iCalImport::syncDataLine(const Line& line, clsImportLog& log, bool& open) {
    host_.showSyncInProgress();
    const std::string value = propertyValue(line.text);
    if (has(line.key, texts::kKspTimeDiff)) {
        const auto n = wireNumber(value);
        if (!n) note(log, clsImportLog::kWarning, texts::kBadValue, line.text);
        calendar_.setTimeDiff(n ? saturate16(*n) : 0);
    } else if (has(line.key, texts::kKspProgramUid)) {
        if (value.empty()) {
            note(log, clsImportLog::kWarning, texts::kBadValue, line.text);
        } else {
            listUid_ = value;
            listUidPending_ = true;
            calendar_.setKSPUniqueID(value);
        }
    } else if (has(line.key, texts::kKspUidPrefix)) {
        calendar_.setUIDPrefix(value);
    } else if (has(line.key, texts::kKspSync)) {
        // Fifteen characters of last-modified time, a separator, the device's id.
        const auto stamp = value.size() >= 15 ? wireDate(std::string_view(value).substr(0, 15)) : std::nullopt;
        // The separator is one character, which an 8-bit one makes two bytes.
        std::size_t idAt = 16;
        while (idAt < value.size() && (static_cast<unsigned char>(value[idAt]) & 0xC0) == 0x80) ++idAt;
        // An id holding the next entry's key is two entries run into one line
        // (a line end lost on the way): neither id can be trusted.
        const bool runTogether = value.find(texts::kKspSync, idAt) != std::string::npos;
        if (!stamp || value.size() <= idAt || runTogether) {
            note(log, clsImportLog::kWarning, texts::kSyncEntrySkipped, line.text);
            // The id is told only where the entry's shape holds: a time's length, a blank.
            const bool shaped = value.size() > idAt && value[15] == ' ' && !runTogether;
            calendar_.addUnreadEntry(shaped ? value.substr(idAt) : std::string());
            return;
        }
        clsCalEvent& ev = calendar_.addCalEvent();
        ev.setLastModified(*stamp);
        ev.setXID(value.substr(idAt));  // the prefix is put before it when the list is handed on
    } else if (has(line.key, texts::kEndSyncData)) {
        open = false;
        handOnSyncList(log);
        listener_.EndSyncData(calendar_);
    }
}

void iCalImport::handOnSyncList(clsImportLog& log) {
    if (!listStarted_) {
        host_.beginSyncList();
        listStarted_ = true;
    }
    if (listUidPending_) {
        listUidPending_ = false;
        const int id = host_.RegisterXCalendar(listUid_);
        if (id > 0) {
            calendar_.setXCalendarId(id);
            calendar_.setFullSync(true);
            host_.markLinksNotFound(id);
        } else {
            note(log, clsImportLog::kError, texts::kCalendarNotRegistered, listUid_);
        }
    }
    const std::deque<clsCalEvent>& entries = calendar_.CalEvents();
    for (int i = listHandedOn_; i < static_cast<int>(entries.size()); ++i) {
        clsCalEvent& ev = *calendar_.CalEvent(i + 1);
        ev.setXID(calendar_.UIDPrefix() + ev.XID());
        ev.setXCalendarId(calendar_.XCalendarId());
        listHandedOn_ = i + 1;
        try {
            host_.createRequest(ev, calendar_);
        } catch (const std::exception& e) {
            // One entry the owner could not judge does not keep the rest from it.
            const ImportError err{1, e.what(), "iCalImport"};
            log.writeLog(clsImportLog::kError, texts::kErrorSyncData, excerpt(ev.XID()), &err);
        }
    }
}

// ---- CONFIRM -----------------------------------------------------------------

bool iCalImport::Confirmation(std::string_view message, clsImportLog& log) {
    calendar_ = clsCalendar();
    event_ = &calendar_.addCalEvent();
    const bool began =
        readBlock(message, log, texts::kBeginConfirm, texts::kErrorConfirmation, [&](const Line& line, bool& open) {
        const std::string value = propertyValue(line.text);
        if (has(line.key, texts::kKspVersion)) {
            // read and not used
        } else if (has(line.key, texts::kKspProgramUid)) {
            registerCalendar(value, log, line.text);
            if (calendar_.XCalendarId() > 0) event_->setXCalendarId(calendar_.XCalendarId());
        } else if (has(line.key, texts::kKspEventQvrId)) {
            if (isWholeNumber(value))
                event_->setWendraWinId(value);
            else
                note(log, clsImportLog::kWarning, texts::kBadValue, line.text);
        } else if (has(line.key, texts::kKspEventUid)) {
            event_->setXID(value);
        } else if (has(line.key, texts::kKspLastModified)) {
            if (const auto d = wireDate(value))
                event_->setLastModified(*d);
            else
                note(log, clsImportLog::kWarning, texts::kBadValue, line.text);
        } else if (has(line.key, texts::kEndConfirm)) {
            open = false;
            listener_.Confirmed(calendar_, *event_);
        }
        return true;
    });
    // The confirmation's event lives only for its block.
    calendar_.removeLastCalEvent();
    event_ = nullptr;
    return began;
}

void iCalImport::registerCalendar(const std::string& uid, clsImportLog& log, const std::string& line) {
    if (uid.empty()) {
        note(log, clsImportLog::kWarning, texts::kBadValue, line);
        return;
    }
    calendar_.setKSPUniqueID(uid);
    const int id = host_.RegisterXCalendar(uid);
    if (id > 0)
        calendar_.setXCalendarId(id);
    else
        note(log, clsImportLog::kError, texts::kCalendarNotRegistered, uid);
}

// ---- VCALENDAR ---------------------------------------------------------------

bool iCalImport::readVCal(std::string_view message, clsImportLog& log) {
    calendar_ = clsCalendar();
    event_ = nullptr;
    zones_ = iCalZones();
    inZone_ = false;
    const bool began =
        readBlock(message, log, texts::kBeginVCalendar, texts::kErrorVCalendar,
                  [&](const Line& line, bool& open) { return vcalLine(line, log, open); });
    if (event_ != nullptr) endEvent(log, false);
    return began;
}

bool iCalImport::vcalLine(const Line& line, clsImportLog& log, bool& open) {
    if (has(line.key, texts::kVersion)) {
        const std::string value = propertyValue(line.text);
        calendar_.setVersionText(value);
        if (!calendar_.isValid()) {
            log.writeLog(clsImportLog::kError, texts::kUnsupportedVersion, texts::kVersionNumberIs + excerpt(value));
            open = false;  // ended on purpose, not cut short
            return false;
        }
        return true;
    }
    if (has(line.key, texts::kEndVCalendar)) {
        // An event still open here lost its END line: it ends unused, so the
        // exchange still moves on by it.
        if (event_ != nullptr) endEvent(log, false);
        open = false;
        listener_.EndVCalendar(calendar_);
        return true;
    }
    host_.showSyncInProgress();
    // A zone's lines go to the zones; an event begun closes a zone left open.
    if (inZone_ && has(line.key, texts::kBeginVEvent)) inZone_ = false;
    if (inZone_ || (event_ == nullptr && has(line.key, texts::kBeginVTimezone))) {
        inZone_ = zones_.zoneLine(line.key, propertyValue(line.text));
        return true;
    }
    if (has(line.key, texts::kKspProgramUid)) {
        registerCalendar(propertyValue(line.text), log, line.text);
    } else if (has(line.key, texts::kBeginVEvent)) {
        if (event_ != nullptr) endEvent(log, false);
        event_ = &calendar_.addCalEvent();
        reading_ = EventReading();
    } else if (event_ != nullptr) {
        eventLine(line, log);
    }
    return true;
}

void iCalImport::eventLine(const Line& line, clsImportLog& log) {
    clsCalEvent& ev = *event_;
    const std::string& key = line.key;
    // The lines of a component inside the event (an alarm, say) are not the
    // event's: an alarm's DESCRIPTION is no summary.
    if (reading_.nestedDepth > 0 && !has(key, texts::kEndVEvent)) {
        if (key.starts_with("END:")) --reading_.nestedDepth;
        else if (key.starts_with("BEGIN:")) ++reading_.nestedDepth;
        return;
    }
    if (key.starts_with("BEGIN:")) {
        ++reading_.nestedDepth;
        return;
    }
    if (has(key, texts::kEndVEvent)) {
        endEvent(log, true);
        return;
    }
    const std::string value = propertyValue(line.text);
    const auto badValue = [&] { note(log, clsImportLog::kWarning, texts::kBadValue, line.text); };
    if (has(key, texts::kUid)) {
        ev.setXID(value);
        reading_.hasUid = !value.empty();
    } else if (has(key, texts::kDtStart)) {
        const auto tzid = tzidParameter(line.text);
        if (const auto d = lineDate(value, tzid, log, line)) {
            ev.setAllDayEvent(value.find('T') == std::string::npos);
            ev.setEventStart(*d);
            reading_.hasStart = true;
            // The day as written, in its zone or UTC.
            std::string written = value;
            if (written.ends_with('Z') || written.ends_with('z')) written.pop_back();
            const bool utc = written.size() < value.size();
            const auto wall = parseICalDateTime(written);
            reading_.startDayShift = wall ? d->dayNumber() - wall->dayNumber() : 0;
            reading_.startZone = std::nullopt;
            if (wall && !ev.AllDayEvent() && (utc || tzid)) {
                reading_.startZone = utc ? std::string() : *tzid;
                reading_.startWall = *wall;
                reading_.startMove = d->seconds() - wall->seconds();
            }
        } else {
            badValue();
        }
    } else if (has(key, texts::kKspViewFrom)) {
        if (const auto d = wireDate(value)) ev.setViewFromDate(*d);
        else badValue();
    } else if (has(key, texts::kKspPriorWarn)) {
        const auto n = toUpper(value) == texts::kPriorWarnDefault ? std::nullopt : wireNumber(value);
        if (n && *n >= 0 && *n <= kMaxOwnPriorWarning) {
            ev.setPriorWarningIsDefault(false);
            ev.setPriorWarning(static_cast<int>(*n));
        } else {
            if (n) note(log, clsImportLog::kWarning, texts::kValueChanged, line.text);
            ev.setPriorWarningIsDefault(true);
            ev.setPriorWarning(host_.DefaultPriorWarning());
        }
    } else if (has(key, texts::kKspAutoDelete)) {
        if (isAutoDeleteCode(value)) {
            ev.setAutoDelete(value);
        } else {
            note(log, clsImportLog::kWarning, texts::kValueChanged, line.text);
            ev.setAutoDelete("M");
        }
    } else if (has(key, texts::kSummary)) {
        reading_.summary = value;
    } else if (has(key, texts::kKspSummaryUnib) || has(key, texts::kKspSummaryUtf8)) {
        if (isHexText(value)) reading_.hexSummary = fromUtf8Hex(value);
        else badValue();
    } else if (has(key, texts::kDescription)) {
        reading_.description = value;
    } else if (has(key, texts::kLastModified)) {
        if (const auto d = wireDate(value)) ev.setLastModified(*d);
        else badValue();
    } else if (has(key, texts::kDtStamp)) {
        if (const auto d = wireDate(value)) {
            if (ev.LastModified().isNull()) ev.setLastModified(*d);
        } else {
            badValue();
        }
    } else if (has(key, texts::kKspEventFormat)) {
        const auto n = wireNumber(value);
        if (!n) badValue();
        ev.setEventFormat(n ? saturate16(*n) : 0);
    } else if (has(key, texts::kRRule)) {
        if (calendar_.VersionMajor() < 2)
            parseVCalRRule(ev, value, log);
        else
            parseICalRRule(ev, value, log);
    } else if (has(key, texts::kRDate)) {
        appendDates(reading_.rDates, line, log);
    } else if (has(key, texts::kExDate)) {
        appendDates(reading_.exDates, line, log);
    }
}

void iCalImport::appendDates(std::string& list, const Line& line, clsImportLog& log) {
    // Both list forms: "," (2.0) and ";" (1.0). Every item is written again as
    // the program's own date text, so a UTC item comes in local time; an item
    // that is no date is left out.
    const bool datesOnly = line.key.find(texts::kValueDate) != std::string::npos;
    const std::string value = replaceAll(propertyValue(line.text), ";", ",");
    const std::optional<std::string> tzid = datesOnly ? std::nullopt : tzidParameter(line.text);
    bool dropped = false;
    for (const auto& raw : splitList(value)) {
        const std::string item = trim(raw);
        if (item.empty()) continue;
        const auto d = lineDate(item, tzid, log, line);
        if (!d) {
            dropped = true;
            continue;
        }
        if (!list.empty() && list.back() != ',') list += ',';
        list += formatICalDateTime(*d, !datesOnly && item.find('T') != std::string::npos);
    }
    if (dropped) note(log, clsImportLog::kWarning, texts::kBadValue, line.text);
}

std::optional<DateTime> iCalImport::lineDate(const std::string& value, const std::optional<std::string>& tzid,
                                             clsImportLog& log, const Line& line) const {
    const auto d = wireDate(value);
    // A date alone is a day in every zone, and a UTC time is local already.
    if (!d || !tzid || value.find('T') == std::string::npos || value.back() == 'Z' || value.back() == 'z') return d;
    if (const auto local = zones_.toLocal(*tzid, *d)) return local;
    note(log, clsImportLog::kWarning, texts::kUnknownTimeZone, line.text);
    return d;
}

std::optional<DateTime> iCalImport::startZoneToLocal(DateTime wall) const {
    return reading_.startZone->empty() ? utcToLocal(wall) : zones_.toLocal(*reading_.startZone, wall);
}

DateTime iCalImport::onStartSlots(DateTime local) const {
    // A series in a zone repeats at one wall time there, and the store at the
    // one local time its start became. Where the zone and the machine change
    // daylight saving on different days, a date turned at its own offset is an
    // hour off its occurrence: it cancels nothing, or an UNTIL seems earlier
    // than the last one. So a date is taken at the zone's wall time it names,
    // moved as far as the start was. That wall time is found from the start's
    // move, with one step more where an offset differs from the start's.
    DateTime wall = local.addSeconds(-reading_.startMove);
    for (int step = 0; step < 2; ++step) {
        const auto back = startZoneToLocal(wall);
        if (!back) break;
        if (*back == local) return wall.addSeconds(reading_.startMove);
        wall = wall.addSeconds(local.seconds() - back->seconds());
    }
    return local;  // no such wall time (a gap in the zone): as turned
}

void iCalImport::datesOnStartSlots(clsCalEvent& ev) {
    if (!reading_.startZone || !startZoneToLocal(reading_.startWall)) return;
    for (std::string* list : {&reading_.rDates, &reading_.exDates}) {
        if (list->empty()) continue;
        std::string moved;
        for (const auto& item : splitList(*list)) {
            if (!moved.empty()) moved += ',';
            const auto d = item.find('T') == std::string::npos ? std::nullopt : parseICalDateTime(item);
            moved += d ? formatICalDateTime(onStartSlots(*d), true) : item;
        }
        *list = std::move(moved);
    }
    for (int i = 1; i <= ev.RRulesCount(); ++i) {
        clsCalRRule& rule = *ev.RRule(i);
        if (!rule.DurationUntil().isNull() && !rule.DurationUntil_AllDay())
            rule.setDurationUntil(onStartSlots(rule.DurationUntil()), false);
    }
}

void iCalImport::untilsBeforeTheirDay(clsCalEvent& ev) {
    if (ev.AllDayEvent()) return;
    for (int i = 1; i <= ev.RRulesCount(); ++i) {
        clsCalRRule& rule = *ev.RRule(i);
        const DateTime until = rule.DurationUntil();
        if (until.isNull() || rule.DurationUntil_AllDay()) continue;
        const ExpansionRule slots = prepareRule(rule, ev.EventStart());
        const int firstTime = *std::min_element(slots.hours.begin(), slots.hours.end()) * 3600 +
                              *std::min_element(slots.minutes.begin(), slots.minutes.end()) * 60 +
                              *std::min_element(slots.seconds.begin(), slots.seconds.end());
        if (until.secondOfDay() < firstTime)
            rule.setDurationUntil(combineDateTime(until.date().addDays(-1), ev.EventStart()), false);
    }
}

void iCalImport::shiftWeekdays(clsCalEvent& ev, std::int64_t days) {
    // A weekly meeting on Monday evenings in another zone is on Tuesday
    // mornings here. Weekdays with an ordinal and month days are left: no
    // day of the other side's month is sure to be such a day here.
    static constexpr std::string_view kDays[] = {"SU", "MO", "TU", "WE", "TH", "FR", "SA"};
    const int shift = static_cast<int>(((days % 7) + 7) % 7);
    for (int i = 1; i <= ev.RRulesCount(); ++i) {
        clsCalRRule& rule = *ev.RRule(i);
        if (rule.ByDay().empty()) continue;
        std::string moved;
        for (const auto& item : splitList(rule.ByDay())) {
            std::string out = trim(item);
            for (int d = 0; d < 7 && out.size() == 2; ++d)
                if (out == kDays[d]) {
                    out = kDays[(d + shift) % 7];
                    break;
                }
            moved += (moved.empty() ? "" : ",") + out;
        }
        rule.setByDay(moved);
    }
}

void iCalImport::endEvent(clsImportLog& log, bool closed) {
    clsCalEvent& ev = *event_;
    // The exact text of the hex line first, then SUMMARY; DESCRIPTION only
    // stands in for an event that has neither.
    if (reading_.hexSummary) ev.setDescription(*reading_.hexSummary);
    else if (reading_.summary) ev.setDescription(*reading_.summary);
    else if (reading_.description) ev.setDescription(*reading_.description);
    datesOnStartSlots(ev);
    ev.setRDates(ev.AllDayEvent() ? withoutMidnights(reading_.rDates) : std::move(reading_.rDates));
    ev.setExDates(std::move(reading_.exDates));
    untilsBeforeTheirDay(ev);
    if (reading_.startDayShift != 0) shiftWeekdays(ev, reading_.startDayShift);

    const bool usable = closed && reading_.hasUid && reading_.hasStart;
    if (!usable) {
        const char* why = !closed ? texts::kEventNotClosed : !reading_.hasUid ? texts::kEventNoUid : texts::kEventNoStart;
        log.writeLog(clsImportLog::kWarning, texts::kEventNotUsable, std::string(why) + ": " + excerpt(ev.XID()));
    }
    // The event leaves the calendar after its end event, also when the
    // handler fails, so the next line never lands in it.
    struct Leave {
        iCalImport& reader;
        ~Leave() {
            reader.calendar_.removeLastCalEvent();
            reader.event_ = nullptr;
            reader.reading_ = EventReading();
        }
    } leave{*this};
    listener_.EndVEvent(calendar_, ev, usable);
}

}  // namespace wendra
