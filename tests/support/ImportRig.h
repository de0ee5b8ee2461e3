#pragma once

// A rig for the calendar reader: a listener, a host and a log that record what
// the reader calls, in order, with a fixed clock; messages built from lines.

#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "exchange/clsCalendar.h"
#include "exchange/clsImportLog.h"
#include "exchange/iCalImport.h"
#include "exchange/iCalImportEvents.h"
#include "platform/clock/Clock.h"
#include "store/clsCalEvent.h"

namespace wendra::test {

// Lines joined as the device sends them: CR LF after each.
inline std::string crlf(std::initializer_list<std::string_view> lines) {
    std::string out;
    for (auto l : lines) {
        out += l;
        out += "\r\n";
    }
    return out;
}

// A VCALENDAR of one version around the given VEVENT lines.
inline std::string vcal(std::string_view version, std::initializer_list<std::string_view> eventLines) {
    std::string out = "BEGIN:VCALENDAR\r\nVERSION:" + std::string(version) + "\r\nBEGIN:VEVENT\r\n";
    for (auto l : eventLines) {
        out += l;
        out += "\r\n";
    }
    return out + "END:VEVENT\r\nEND:VCALENDAR\r\n";
}

class RecordingLog final : public clsImportLog {
public:
    struct Entry {
        int type;
        std::string message, info;
        bool hasError;
    };
    void writeLog(int nLogType, const std::string& sMessage, const std::string& sAdditionalInfo,
                  const ImportError* oErr) override {
        entries.push_back({nLogType, sMessage, sAdditionalInfo, oErr != nullptr});
    }
    bool has(std::string_view message) const {
        for (const auto& e : entries)
            if (e.message == message) return true;
        return false;
    }
    std::vector<Entry> entries;
};

// Records every call in `calls` ("EndVEvent", "createRequest", ...) and keeps
// copies of the calendars and events it was handed.
class RecordingImport final : public iCalImportListener, public iCalImportHost {
public:
    struct Event {
        clsCalEvent ev;
        bool usable;
    };

    void EndSyncTime(clsCalendar& cal) override { end("EndSyncTime", cal); }
    void EndSyncData(clsCalendar& cal) override { end("EndSyncData", cal); }
    void EndVEvent(clsCalendar& cal, clsCalEvent& evt, bool usable) override {
        calls.push_back(usable ? "EndVEvent" : "EndVEvent unusable");
        events.push_back({evt, usable});
        calendars.push_back(cal);
        if (onEndVEvent) onEndVEvent();
    }
    void EndVCalendar(clsCalendar& cal) override { end("EndVCalendar", cal); }
    void Confirmed(clsCalendar& cal, clsCalEvent& evt) override {
        end("Confirmed", cal);
        events.push_back({evt, true});
    }

    int RegisterXCalendar(const std::string& uniqueId) override {
        calls.push_back("RegisterXCalendar " + uniqueId);
        return registeredId;
    }
    void beginSyncList() override { calls.push_back("beginSyncList"); }
    void markLinksNotFound(int calendarId) override {
        calls.push_back("markLinksNotFound " + std::to_string(calendarId));
    }
    void createRequest(clsCalEvent& evt, clsCalendar&) override {
        calls.push_back("createRequest " + evt.XID());
        requests.push_back(evt);
    }
    int DefaultPriorWarning() override { return defaultPriorWarning; }
    void showSyncInProgress() override { ++activity; }

    // The one event of the last VCALENDAR read; fails the test when there is none.
    const clsCalEvent& only() const {
        EXPECT_EQ(events.size(), 1u);
        static const clsCalEvent none;
        return events.empty() ? none : events.back().ev;
    }

    int registeredId = 7;
    int defaultPriorWarning = 30;
    int activity = 0;
    std::function<void()> onEndVEvent;
    std::vector<std::string> calls;
    std::vector<Event> events;
    std::vector<clsCalEvent> requests;
    std::vector<clsCalendar> calendars;

private:
    void end(const char* name, clsCalendar& cal) {
        calls.push_back(name);
        calendars.push_back(cal);
    }
};

// A reader over the recording listener and host, at a fixed "now".
class ImportTest : public ::testing::Test {
protected:
    static DateTime fixedNow() { return DateTime::ymd(2026, 3, 11, 10, 0, 0); }

    const clsCalEvent& readOne(const std::string& message) {
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
