// The calendar text reader and writer at the sizes a synchronisation meets:
// reading one VCALENDAR of 5,000 events and a SYNC-DATA list of 10,000 lines,
// and writing 1,000 PUBLISH blocks whose rules go out as day maps. Bytes are
// the message's (read) or the blocks' (written); items are events. And one
// event of 20,000 single-date EXDATE lines (480 kB), as another program may
// write a long-lived series: its reading must grow with the lines, not with
// their square.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <vector>

#include "exchange/iCalExport.h"
#include "exchange/iCalImport.h"
#include "platform/clock/FakeClock.h"
#include "store/modFuncs.h"

namespace wendra {
namespace {

const DateTime kNow = DateTime::ymd(2026, 3, 11, 10, 0, 0);

// Takes everything the reader hands on and does nothing with it.
class Discard final : public iCalImportListener, public iCalImportHost {
public:
    void EndSyncTime(clsCalendar&) override {}
    void EndSyncData(clsCalendar&) override {}
    void EndVEvent(clsCalendar&, clsCalEvent& evt, bool usable) override { events += usable && !evt.XID().empty(); }
    void EndVCalendar(clsCalendar&) override {}
    void Confirmed(clsCalendar&, clsCalEvent&) override {}
    int RegisterXCalendar(const std::string&) override { return 3; }
    void beginSyncList() override {}
    void markLinksNotFound(int) override {}
    void createRequest(clsCalEvent&, clsCalendar&) override { ++events; }
    int DefaultPriorWarning() override { return 30; }
    void showSyncInProgress() override {}
    std::int64_t events = 0;
};

std::string dateText(int dayOffset, bool withTime) {
    return formatICalDateTime(kNow.date().addDays(dayOffset).addHours(withTime ? 9 : 0), withTime);
}

// A device's calendar: both rule grammars' kinds of rule, hex summaries,
// folded lines, date lists and an alarm now and then.
std::string deviceCalendar(int events) {
    static const char* kRules[] = {"RRULE:W1 #10", "RRULE:MD1 LD", "RRULE:D2 #30", "RRULE:YD1", "RRULE:MD1 #12", ""};
    std::string out = "BEGIN:VCALENDAR\r\nVERSION:1.0\r\nX-KSP-PROGRAM-UID:bench-device\r\n";
    for (int i = 0; i < events; ++i) {
        const bool timed = i % 3 != 0;
        const std::string desc = "Event number " + std::to_string(i) + " with a longer description";
        out += "BEGIN:VEVENT\r\nUID:dev-" + std::to_string(i) + "\r\n";
        out += "DTSTART:" + dateText(i % 400 - 200, timed) + "\r\n";
        out += "X-KSP-VIEWFROM:" + dateText(i % 30, timed) + "\r\n";
        out += i % 2 ? "X-KSP-PRIORWARN:DEFAULT\r\n" : "X-KSP-PRIORWARN:3\r\n";
        out += "X-KSP-AUTODELETE:M\r\n";
        out += "SUMMARY:" + desc.substr(0, 20) + "\r\n " + desc.substr(20) + "\r\n";
        out += "X-KSP-SUMMARY-UNIB:" + toUtf8Hex(desc) + "\r\n";
        out += "LAST-MODIFIED:" + dateText(-(i % 50), true) + "\r\n";
        if (const char* rule = kRules[i % 6]; *rule) out += std::string(rule) + "\r\n";
        if (i % 4 == 0) out += "EXDATE:" + dateText(7, timed) + ";" + dateText(14, timed) + "\r\n";
        if (i % 5 == 0) out += "RDATE:" + dateText(3, true) + "\r\n";
        if (i % 10 == 0) out += "BEGIN:VALARM\r\nDESCRIPTION:Reminder\r\nTRIGGER:-PT15M\r\nEND:VALARM\r\n";
        out += "END:VEVENT\r\n";
    }
    return out + "END:VCALENDAR\r\n";
}

std::string deviceList(int entries) {
    std::string out = "X-KSP-BEGIN:SYNC-DATA\r\nX-KSP-TIME-DIFF:3\r\nX-KSP-PROGRAM-UID:bench-device\r\n"
                      "X-KSP-UID-PREFIX:BD-\r\n";
    for (int i = 0; i < entries; ++i)
        out += "X-KSP-SYNC:" + dateText(-(i % 300), true) + " " + std::to_string(100000 + i) + "\r\n";
    return out + "X-KSP-END:SYNC-DATA\r\n";
}

// Events whose rules the device cannot edit (BY lists), so each block carries
// the day map of three years.
std::vector<clsCalEvent> dayMapEvents(int count) {
    static const char* kByDay[] = {"MO,WE,FR", "TU,TH", "SA", "1MO", "-1FR", "MO,TU,WE,TH,FR"};
    std::vector<clsCalEvent> out;
    for (int i = 0; i < count; ++i) {
        clsCalEvent ev;
        ev.setWendraWinId(std::to_string(i + 1));
        ev.setDescription("Day map event " + std::to_string(i));
        ev.setEventStart(kNow.date().addDays(-(i % 90)).addHours(i % 2 ? 8 : 0));
        ev.setAllDayEvent(i % 2 == 0);
        ev.setViewFromDate(kNow.date());
        ev.setLastModified(kNow.addDays(-(i % 20)));
        ev.setIsRecurring(true);
        clsCalRRule& r = ev.addRRule();
        r.setFrequency(i % 6 < 3 || i % 6 == 5 ? clsCalRRule::kWeekly : clsCalRRule::kMonthly);
        r.setByDay(kByDay[i % 6]);
        if (i % 3 == 0) ev.setRDates(dateText(5 + i % 40, true));
        if (i % 4 == 0) ev.setExDates(dateText(10, false));
        out.push_back(std::move(ev));
    }
    return out;
}

// Reads the message again and again through `read`, which must hand on
// `expected` events (or list entries); `items` is what one reading processes.
template <typename Read>
void timeReading(benchmark::State& state, const std::string& message, Read read, int expected, int items,
                 const char* lost) {
    FakeClock clock(kNow);
    ClockOverride use(clock);
    clsImportLog log;
    for (auto _ : state) {
        Discard sink;
        iCalImport reader(sink, sink);
        (reader.*read)(message, log);
        if (sink.events != expected) state.SkipWithError(lost);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(message.size()));
    state.SetItemsProcessed(state.iterations() * items);
}

void BM_ReadVCalendar5000Events(benchmark::State& state) {
    timeReading(state, deviceCalendar(5000), &iCalImport::readVCal, 5000, 5000, "events lost");
}

void BM_ReadSyncData10000Lines(benchmark::State& state) {
    timeReading(state, deviceList(10000), &iCalImport::readSyncData, 10000, 10000, "entries lost");
}

// One event whose removed dates come one a line, every day back from today.
std::string manyExDateLines(int lines) {
    std::string out = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nBEGIN:VEVENT\r\nUID:many-exdates\r\n"
                      "DTSTART:" + dateText(-lines, true) + "\r\nRRULE:FREQ=DAILY\r\nSUMMARY:Daily\r\n";
    for (int i = 0; i < lines; ++i) out += "EXDATE:" + dateText(i - lines, true) + "\r\n";
    return out + "END:VEVENT\r\nEND:VCALENDAR\r\n";
}

void BM_ReadEventWith20000ExDateLines(benchmark::State& state) {
    timeReading(state, manyExDateLines(20000), &iCalImport::readVCal, 1, 20000, "event lost");
}

void BM_WritePublishDayMaps1000(benchmark::State& state) {
    FakeClock clock(kNow);
    ClockOverride use(clock);
    const std::vector<clsCalEvent> events = dayMapEvents(1000);
    const iCalExport writer("https://www.wendrawin.example");
    std::int64_t bytes = 0;
    std::string text;
    for (auto _ : state) {
        for (const auto& ev : events) {
            writer.Export(ev, text);
            bytes += static_cast<std::int64_t>(text.size());
        }
    }
    if (text.find("X-KSP-EVENTMAP2:") == std::string::npos) state.SkipWithError("no day map written");
    state.SetBytesProcessed(bytes);
    state.SetItemsProcessed(state.iterations() * 1000);
}

BENCHMARK(BM_ReadVCalendar5000Events)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadSyncData10000Lines)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WritePublishDayMaps1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadEventWith20000ExDateLines)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace wendra
