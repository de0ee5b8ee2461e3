#include "exchange/iCalExport.h"

#include <algorithm>
#include <vector>

#include "Version.h"
#include "exchange/Cp1252.h"
#include "exchange/ExchangeTexts.h"
#include "store/iCalMapCreator.h"
#include "store/modFuncs.h"

namespace wendra {

namespace {

constexpr int kMapDaysAhead = 1096;
constexpr std::size_t kMaxRun = 400;

std::string join(const std::vector<std::string>& lines, const std::string& separator) {
    std::string out;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) out += separator;
        out += lines[i];
    }
    return out;
}

// A free text on a raw line: CR and LF would start a line of their own in the
// device's parse, and NUL would end the message there.
std::string rawLineText(std::string_view text) {
    std::string out(text);
    std::replace_if(out.begin(), out.end(), [](char c) { return c == '\r' || c == '\n' || c == '\0'; }, ' ');
    return out;
}

const char* frequencyCode(int frequency) {
    switch (frequency) {
        case clsCalRRule::kYearly: return "YD";
        case clsCalRRule::kMonthly: return "MD";
        case clsCalRRule::kWeekly: return "W";
        case clsCalRRule::kDaily: return "D";
        default: return nullptr;
    }
}

// The rule the device's own editor can take: one plain rule of a frequency
// the 1.0 grammar writes. Hourly and finer rules go out as the day map.
const clsCalRRule* editableRule(const clsCalEvent& ev) {
    const clsCalRRule* r = ev.RRule(1);
    if (r == nullptr || !ev.isEditableQVR() || frequencyCode(r->Frequency()) == nullptr) return nullptr;
    return r;
}

// The largest count the device's rule grammar keeps: it reads a larger one as this.
constexpr int kMaxRuleCount = 999;

// Whether the device, reading the 1.0 text of this monthly rule as the reader
// here does, gets the rule back. It reads a rule from the 29th, 30th or 31st as
// the last of the 28th to that day that each month has, so a plain rule from
// those days (which skips the months without the day) and such a rule from
// another day cannot be said in it.
bool monthDaysReadBack(const clsCalRRule& r, int startDay) {
    if (r.Frequency() != clsCalRRule::kMonthly || r.isMonthEnd()) return true;
    if (!r.isMonth29Plus()) return startDay < 29;
    const std::vector<int> days = r.ByMonthDayArray();
    return *std::max_element(days.begin(), days.end()) == startDay;
}

// The items of a timed event's date list as the device writes them: a whole
// day (an item without a time) takes the event's time of day, which the
// device reads as that day's occurrence; a timed item keeps its time, midnight
// too. An all-day event's items are days.
std::string dateList(const clsCalEvent& ev, const std::vector<std::string>& items, bool timesForAllDay) {
    std::string out;
    for (const auto& item : items) {
        auto d = parseICalDateTime(item);
        if (!d) continue;
        const bool withTime = timesForAllDay || !ev.AllDayEvent();
        if (!ev.AllDayEvent() && item.find('T') == std::string::npos) d = combineDateTime(*d, ev.EventStart());
        if (!out.empty()) out += ',';
        out += formatICalDateTime(*d, withTime);
    }
    return out;
}

std::string exDateList(const clsCalEvent& ev) { return dateList(ev, ev.ExAndHiddenDatesArray(true, true), false); }
// Extra dates always carry a time: an all-day event's read back without it.
std::string rDateList(const clsCalEvent& ev) { return dateList(ev, ev.RDatesArray(), true); }

std::vector<std::string> descExceptionEntries(const std::string& exceptions) {
    std::vector<std::string> out;
    const auto tab = exceptions.find('\t');
    if (tab == std::string::npos) return out;
    // Split by hand: the entries' own blanks are part of their texts.
    std::size_t from = tab + 1;
    while (from < exceptions.size()) {
        std::size_t end = exceptions.find('\t', from);
        if (end == std::string::npos) end = exceptions.size();
        if (end > from) out.push_back(exceptions.substr(from, end - from));
        from = end + 1;
    }
    return out;
}

}  // namespace

std::string iCalExport::methodText(int updateRequest) {
    switch (updateRequest) {
        case clsCalEvent::kRequestToDevice: return texts::kMethodToDevice;
        case clsCalEvent::kRequestFromDevice: return texts::kMethodFromDevice;
        case clsCalEvent::kRequestDeleteEvent: return texts::kMethodCancel;
        default: return texts::kMethodPublish;
    }
}

std::string iCalExport::productId() const {
    std::string product = texts::kProductName;
    std::erase(product, ' ');
    return "PRODID:-//" + webAddress_ + "//" + product + std::to_string(kVersionMajor) + "." +
           std::to_string(kVersionMinor) + "." + std::to_string(kVersionPatch) + "//EN";
}

std::optional<std::string> iCalExport::vcalRRule(const clsCalEvent& ev) {
    const clsCalRRule* r = editableRule(ev);
    if (r == nullptr || !monthDaysReadBack(*r, ev.EventStart().day())) return std::nullopt;
    std::string out = frequencyCode(r->Frequency()) + std::to_string(r->Interval());
    if (r->isMonthEnd()) out += " LD";
    // The rule alone: extra dates travel in RDATE, and counted here they would
    // carry the device's rule past its end.
    clsCalEvent ruleOnly = ev;
    ruleOnly.setRDates("");
    // Whether the rule's n-th day, counted from the start as a count read back
    // is, falls by the day `by`.
    const auto nthDayBy = [&](int n, DateTime by) {
        clsCalRRule counted = *r;
        counted.setDurationUntil(DateTime(), true);
        counted.setDurationCount(n);
        iCalMapCreator(ruleOnly).makeEventBitMap(&counted, ev.EventStart(), by);
        return !counted.DurationUntil().isNull() && counted.DurationUntil().dayNumber() <= by.dayNumber();
    };
    int count = r->DurationCount();
    if (count < 1 && !r->DurationUntil().isNull()) {
        // This count holds the start, which a count read back holds only when
        // the start is one of the rule's days.
        count = ruleOnly.calcDurationCount(*r);
        if (count >= 1 && !nthDayBy(count, r->DurationUntil())) --count;
        // "#0" would read as endless on the device.
        if (count < 1) return std::nullopt;
    }
    if (count > kMaxRuleCount) return std::nullopt;
    // A count of one reads as an event that does not repeat: its start alone,
    // without the rule's first day or the extra dates.
    if (count == 1 && (!ev.RDatesArray().empty() || !nthDayBy(1, ev.EventStart()))) return std::nullopt;
    if (count >= 1) out += " #" + std::to_string(count);
    return out;
}

std::string iCalExport::runLengthMap(const std::string& days) {
    std::string out;
    std::size_t i = 0;
    while (i < days.size()) {
        const char c = days[i];
        std::size_t run = 1;
        while (i + run < days.size() && days[i + run] == c) ++run;
        i += run;
        const char letter = c == '1' ? 'x' : c == '0' ? 'o' : 'r';
        for (; run > 0; run -= std::min(run, kMaxRun)) {
            const std::size_t part = std::min(run, kMaxRun);
            if (part > 1) out += std::to_string(part);
            out += letter;
        }
    }
    return out;
}

std::string iCalExport::eventMap2(const clsCalEvent& ev) {
    const DateTime from = (ev.ViewFromDate().isNull() ? today() : ev.ViewFromDate()).date();
    const DateTime first = from.addDays(1);
    const DateTime last = std::max(from, today()).addDays(kMapDaysAhead);
    // The walk runs on a copy: writing an event must not move its own walk.
    clsCalEvent walk = ev;
    walk.generateOccurs(first, last);
    std::string days;
    for (walk.firstOccur(); !walk.endOfOccurs(); walk.nextOccur()) {
        const DateTime day = walk.OccurDate().date();
        if (day < first || day > last) continue;
        const auto index = static_cast<std::size_t>(day.dayNumber() - first.dayNumber());
        if (days.size() <= index) days.resize(index + 1, '0');
        days[index] = '1';
    }
    for (const auto& item : ev.RDatesArray()) {
        const auto d = parseICalDateTime(item);
        if (!d || d->date() < first) continue;
        const auto index = static_cast<std::size_t>(d->date().dayNumber() - first.dayNumber());
        // An extra date that is also removed is no occurrence: it keeps its "0".
        if (index < days.size() && days[index] == '1') days[index] = 'r';
    }
    return runLengthMap(days);
}

bool iCalExport::Export(const clsCalEvent& oEv, std::string& sExportText) const {
    std::vector<std::string> lines = {"BEGIN:VCALENDAR", "VERSION:1.0", productId(),
                                      "X-QVR-METHOD:" + methodText(oEv.UpdateRequest()), "BEGIN:VEVENT"};
    lines.push_back(oEv.XID().empty() ? "UID:" + std::string(texts::kLocalUidPrefix) + rawLineText(oEv.WendraWinId())
                                      : "UID:" + rawLineText(oEv.XID()));
    if (oEv.UpdateRequest() != clsCalEvent::kRequestDeleteEvent) {
        const bool timed = !oEv.AllDayEvent();
        lines.push_back("DTSTART:" + formatICalDateTime(oEv.EventStart(), timed));
        lines.push_back("X-KSP-VIEWFROM:" + formatICalDateTime(oEv.ViewFromDate(), timed));
        lines.push_back(oEv.PriorWarningIsDefault() ? "X-KSP-PRIORWARN:DEFAULT"
                                                    : "X-KSP-PRIORWARN:" + std::to_string(oEv.PriorWarning()));
        lines.push_back("X-KSP-AUTODELETE:" + rawLineText(oEv.AutoDelete()));
        lines.push_back("SUMMARY:" + rawLineText(oEv.Description()));
        lines.push_back("X-KSP-SUMMARY-UTF8:" + toUtf8Hex(oEv.Description()));
        lines.push_back("LAST-MODIFIED:" + formatICalDateTime(oEv.LastModified(), true));
        for (const auto& entry : descExceptionEntries(oEv.DescExceptions())) {
            lines.push_back("X-KSP-SUMMARY-EXCEPTION:" + rawLineText(entry));
            lines.push_back("X-KSP-SUMMARY-EXCEPTION-UNIB:" + toUnicodeEscapes(entry));
        }
        // What the 1.0 rule cannot say so that it reads back the same goes as the day map.
        if (oEv.IsRecurring()) {
            if (const auto rule = vcalRRule(oEv)) lines.push_back("RRULE:" + *rule);
            else if (const std::string map = eventMap2(oEv); !map.empty()) lines.push_back("X-KSP-EVENTMAP2:" + map);
        }
        if (const std::string ex = exDateList(oEv); !ex.empty()) lines.push_back("EXDATE:" + ex);
        if (const std::string r = rDateList(oEv); !r.empty()) lines.push_back("RDATE:" + r);
        lines.push_back("TRANSP:1");
    }
    lines.push_back("END:VEVENT");
    lines.push_back("END:VCALENDAR");
    sExportText = utf8ToCp1252(join(lines, separator_));
    return true;
}

std::string iCalExport::ExportEnd() const { return join({"BEGIN:QVR-EXPORT-END", "END:QVR-EXPORT-END"}, separator_); }

std::string iCalExport::syncTime(const clsCalendar& oCal, int nStatus) const {
    std::vector<std::string> lines = {"BEGIN:QVR-SYNC-TIME"};
    switch (nStatus) {
        case kSyncOK:
            lines.push_back("X-QVR-SYNC-STATUS:OK");
            lines.push_back("X-QVR-TIME-DIFF:" + std::to_string(oCal.TimeDiff()));
            break;
        case kSyncIncompatibleVersion: lines.push_back("X-QVR-SYNC-STATUS:INCOMPATIBLE-VERSION"); break;
        case kSyncIncompatibleTime: lines.push_back("X-QVR-SYNC-STATUS:INCOMPATIBLE-TIME"); break;
        default: break;
    }
    lines.push_back("END:QVR-SYNC-TIME");
    return join(lines, separator_);
}

std::string iCalExport::KSP_encodeDate(DateTime dtDate, bool bIncludeTime) {
    std::string out;
    const auto put = [&out](int code) { out += static_cast<char>(static_cast<unsigned char>(code)); };
    put(dtDate.year() / 255);
    put(dtDate.year() % 255);
    put(dtDate.month() % 255);
    put(dtDate.day() % 255);
    if (bIncludeTime) {
        put(dtDate.hour() % 255);
        put(dtDate.minute() % 255);
    } else {
        out += '.';
    }
    return out;
}

}  // namespace wendra
