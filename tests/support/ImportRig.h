#pragma once

// A rig for the calendar reader: a listener and host that record what the
// reader calls, in order, and a log, all at a fixed "now"; messages built from
// lines; an event's fields as one text, so a table row can name what it expects.

#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "exchange/iCalImport.h"
#include "platform/clock/FakeClock.h"
#include "store/modFuncs.h"
#include "tests/support/EnvironmentOverride.h"

namespace wendra::test {

// Lines as the device sends them: CR LF after each.
inline std::string crlf(std::initializer_list<std::string_view> lines) {
    std::string out;
    for (auto l : lines) (out += l) += "\r\n";
    return out;
}

// A VCALENDAR of one version around one VEVENT of these lines.
inline std::string vcal(std::string_view version, std::initializer_list<std::string_view> eventLines) {
    return "BEGIN:VCALENDAR\r\nVERSION:" + std::string(version) + "\r\nBEGIN:VEVENT\r\n" + crlf(eventLines) +
           "END:VEVENT\r\nEND:VCALENDAR\r\n";
}

// "|D=desc|S=start|V=view from|P=prior warning (D: the default)|A=auto-delete|
// M=last modified|F=format|RD=extra dates|EX=removed dates|Rec=recurring|" and
// per rule "R=frequency,interval,count,until,ByDay,ByMonthDay,BySetPos,week
// start|". Dates as date texts; a start without "T" is all day.
inline std::string fields(const clsCalEvent& e) {
    const auto date = [](DateTime d, bool withTime) { return formatICalDateTime(d, withTime); };
    std::string s = "|D=" + e.Description() + "|S=" + date(e.EventStart(), !e.AllDayEvent()) +
                    "|V=" + date(e.ViewFromDate(), true) + "|P=" + (e.PriorWarningIsDefault() ? "D" : "") +
                    std::to_string(e.PriorWarning()) + "|A=" + e.AutoDelete() + "|M=" + date(e.LastModified(), true) +
                    "|F=" + std::to_string(e.EventFormat()) + "|RD=" + e.RDates() + "|EX=" + e.ExDates() +
                    "|Rec=" + (e.IsRecurring() ? "1" : "0") + "|";
    for (const auto& r : e.RRules()) {
        const DateTime u = r.DurationUntil();
        s += "R=" + std::to_string(r.Frequency()) + "," + std::to_string(r.Interval()) + "," +
             std::to_string(r.DurationCount()) + "," + (u.isNull() ? "-" : date(u, !r.DurationUntil_AllDay())) + "," +
             r.ByDay() + "," + r.ByMonthDay() + "," + r.BySetPos() + "," + std::to_string(r.WeekStartDay()) + "|";
    }
    return s;
}

// The event's occurrences from `from` to `to` by the store's own expansion, as
// date texts (eight digits for an all-day one).
inline std::vector<std::string> occurrences(clsCalEvent ev, DateTime from, DateTime to) {
    std::vector<std::string> out;
    ev.generateOccurs(from, to);
    for (ev.firstOccur(); !ev.endOfOccurs(); ev.nextOccur())
        if (ev.OccurDate() >= from.date() && ev.OccurDate().date() <= to)
            out.push_back(formatICalDateTime(ev.OccurDate(), !ev.AllDayOccur()));
    return out;
}

class RecordingLog final : public clsImportLog {
public:
    struct Entry {
        std::string message, info;
    };
    void writeLog(int, const std::string& message, const std::string& info, const ImportError*) override {
        entries.push_back({message, info});
    }
    bool has(std::string_view message) const {
        for (const auto& e : entries)
            if (e.message == message) return true;
        return false;
    }
    std::vector<Entry> entries;
};

// Every call goes into `calls` ("EndVEvent", "createRequest P-41", ...), with
// copies of the events handed over.
class RecordingImport final : public iCalImportListener, public iCalImportHost {
public:
    void EndSyncTime(clsCalendar&) override { calls.push_back("EndSyncTime"); }
    void EndSyncData(clsCalendar&) override { calls.push_back("EndSyncData"); }
    void EndVEvent(clsCalendar&, clsCalEvent& evt, bool usable) override {
        calls.push_back(usable ? "EndVEvent" : "EndVEvent unusable");
        events.push_back(evt);
        if (onEndVEvent) onEndVEvent();
    }
    void EndVCalendar(clsCalendar&) override { calls.push_back("EndVCalendar"); }
    void Confirmed(clsCalendar&, clsCalEvent& evt) override {
        calls.push_back("Confirmed");
        events.push_back(evt);
    }
    int RegisterXCalendar(const std::string& uid) override {
        calls.push_back("RegisterXCalendar " + uid);
        return registeredId;
    }
    void beginSyncList() override { calls.push_back("beginSyncList"); }
    void markLinksNotFound(int id) override { calls.push_back("markLinksNotFound " + std::to_string(id)); }
    void createRequest(clsCalEvent& evt, clsCalendar&) override {
        calls.push_back("createRequest " + evt.XID());
        requests.push_back(evt);
    }
    int DefaultPriorWarning() override { return defaultPriorWarning; }
    void showSyncInProgress() override {}

    // The one event handed over; fails the test unless there is exactly one.
    const clsCalEvent& only() const {
        EXPECT_EQ(events.size(), 1u);
        static const clsCalEvent none;
        return events.empty() ? none : events.back();
    }

    int registeredId = 7;
    int defaultPriorWarning = 30;
    std::function<void()> onEndVEvent;
    std::vector<std::string> calls;
    std::vector<clsCalEvent> events, requests;
};

class ImportTest : public ::testing::Test {
protected:
    static DateTime fixedNow() { return DateTime::ymd(2026, 3, 11, 10, 0, 0); }
    const clsCalEvent& readOne(const std::string& message) {
        rec.events.clear();
        reader.readVCal(message, log);
        return rec.only();
    }

    FakeClock clock{fixedNow()};
    ClockOverride useClock{clock};
    RecordingImport rec;
    RecordingLog log;
    iCalImport reader{rec, rec};
};

}  // namespace wendra::test
