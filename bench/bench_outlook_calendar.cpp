// The Outlook calendar file: opening a calendar of 5,000 appointments, a fifth
// of them recurring, and walking every occurrence of one year in start order
// (the walk the binding's hide of a series makes, over the whole calendar).
// One iteration opens the file afresh and reads each occurrence's subject and
// start (closing it again is not timed); items are occurrences. The appointments carry the seven user
// properties the program keeps on each. A Save of one of them; `wendra-calendar list --occurrences`
// runs over 10,000 of them and a daily appointment kept since 1900.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "bench/EventMix.h"
#include "platform/clock/FakeClock.h"
#include "platform/outlook/IcsCalendar.h"
#include "platform/outlook/tool/CalendarTool.h"
#include "store/modFuncs.h"
#include "tests/support/TempFolder.h"

namespace wendra {
namespace {

constexpr int kAppointments = 5000;
const DateTime kYearStart = DateTime::ymd(2025, 1, 1);

// The file's date-times: "yyyymmddThhmmss", "yyyymmdd" for a day.
std::string stamp(DateTime d) { return formatICalDateTime(d, true); }

// The rules the program writes: daily, weekly, monthly, month end and yearly,
// half of them with an end.
std::string rule(bench::Lcg& g) {
    static const char* kRules[] = {"FREQ=DAILY", "FREQ=DAILY;INTERVAL=3", "FREQ=WEEKLY;BYDAY=MO",
                                   "FREQ=WEEKLY;INTERVAL=2;BYDAY=TU,TH", "FREQ=MONTHLY;BYMONTHDAY=15",
                                   "FREQ=MONTHLY;BYDAY=MO,TU,WE,TH,FR,SA,SU;BYSETPOS=-1", "FREQ=YEARLY",
                                   "FREQ=YEARLY", "FREQ=YEARLY", "FREQ=MONTHLY;BYDAY=-1FR"};
    std::string r = kRules[g.below(10)];
    if (g.below(2) == 0) r += ";COUNT=" + std::to_string(5 + g.below(40));
    return r;
}

std::string calendarText(int appointments = kAppointments, bool dailySince1900 = false) {
    bench::Lcg g{4242u};
    std::string text =
        "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//WendraWin//Outlook calendar//EN\r\n"
        "X-WENDRAWIN-CALENDAR-ID:bench\r\n";
    if (dailySince1900)
        text += "BEGIN:VEVENT\r\nUID:since-1900\r\nDTSTAMP:20241201T100000Z\r\nDTSTART:19000101T070000\r\n"
                "DTEND:19000101T071500\r\nRRULE:FREQ=DAILY\r\nSUMMARY:Every morning since 1900\r\nEND:VEVENT\r\n";
    for (int i = 0; i < appointments; ++i) {
        const bool allDay = g.below(4) == 0;
        const DateTime start = kYearStart.addDays(g.below(365)).addMinutes(allDay ? 0 : 60 * (7 + g.below(12)));
        char uid[48];
        std::snprintf(uid, sizeof uid, "%08x-0000-4000-a000-%012d", g.next(), i);
        text += "BEGIN:VEVENT\r\nUID:" + std::string(uid) + "\r\nCREATED:20241201T100000Z\r\n";
        text += "SUMMARY:Appointment number " + std::to_string(i) + "\r\n";
        if (allDay) {
            text += "DTSTART;VALUE=DATE:" + stamp(start).substr(0, 8) + "\r\nDTEND;VALUE=DATE:" +
                    stamp(start.addDays(1)).substr(0, 8) + "\r\n";
        } else {
            text += "DTSTART:" + stamp(start) + "\r\nDTEND:" + stamp(start.addMinutes(30)) + "\r\n";
        }
        text += "X-WENDRAWIN-PROPERTY;X-NAME=qvrViewFromDate;X-TYPE=5:" + stamp(start.addDays(-7)) + "\r\n"
                "X-WENDRAWIN-PROPERTY;X-NAME=qvrPriorWarn;X-TYPE=3:7\r\n"
                "X-WENDRAWIN-PROPERTY;X-NAME=qvrPriorWarnIsDefault;X-TYPE=6:TRUE\r\n"
                "X-WENDRAWIN-PROPERTY;X-NAME=qvrHiddenList;X-TYPE=1;X-EMPTY=TRUE:EMPTY\r\n"
                "X-WENDRAWIN-PROPERTY;X-NAME=qvrLastModified;X-TYPE=1:20241201T100000\r\n"
                "X-WENDRAWIN-PROPERTY;X-NAME=qvrLastWritten;X-TYPE=1:20241201T100000\r\n"
                "X-WENDRAWIN-PROPERTY;X-NAME=qvrLastCompared;X-TYPE=1:20241201T100000\r\n";
        if (i % 5 == 0) text += "RRULE:" + rule(g) + "\r\n";
        text += "DTSTAMP:20241201T100000Z\r\nLAST-MODIFIED:20241201T100000Z\r\nEND:VEVENT\r\n";
    }
    return text + "END:VCALENDAR\r\n";
}

// The calendar in a folder of its own for the life of one benchmark.
class BenchCalendar {
public:
    explicit BenchCalendar(const std::string& text = calendarText())
        : file_(folder_ / "Outlook.ics"), clock_(kYearStart), useClock_(clock_) {
        std::ofstream(file_, std::ios::binary) << text;
        options.file = file_;
        options.horizonDays = 364;  // the walk ends with the year
    }
    outlook::CalendarOptions options;

private:
    test::TempFolder folder_;
    std::filesystem::path file_;
    FakeClock clock_;
    ClockOverride useClock_;
};

// Opening alone: the file read and parsed, every appointment read.
void BM_Open(benchmark::State& state) {
    BenchCalendar calendar;
    for (auto _ : state) {
        auto app = outlook::openCalendar(calendar.options);
        benchmark::DoNotOptimize(app->GetNamespace("MAPI")->GetDefaultFolder(9)->Items()->Count());
        // Closing the calendar is not opening it.
        state.PauseTiming();
        app.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kAppointments);
}
BENCHMARK(BM_Open)->Unit(benchmark::kMillisecond);

void BM_OpenAndWalkAYear(benchmark::State& state) {
    BenchCalendar calendar;
    const outlook::CalendarOptions& options = calendar.options;

    std::int64_t occurrences = 0;
    for (auto _ : state) {
        auto app = outlook::openCalendar(options);
        auto items = app->GetNamespace("MAPI")->GetDefaultFolder(9)->Items();
        items->Sort("[Start]");
        items->setIncludeRecurrences(true);
        std::int64_t n = 0;
        std::size_t letters = 0;
        for (auto i = items->GetFirst(); i; i = items->GetNext()) {
            letters += i->Subject().size();
            benchmark::DoNotOptimize(i->Start());
            ++n;
        }
        benchmark::DoNotOptimize(letters);
        occurrences = n;
        state.PauseTiming();
        items.reset();
        app.reset();
        state.ResumeTiming();
    }
    state.counters["occurrences"] = static_cast<double>(occurrences);
    state.SetItemsProcessed(state.iterations() * occurrences);
}
BENCHMARK(BM_OpenAndWalkAYear)->Unit(benchmark::kMillisecond);

// One Save of one appointment's subject into the calendar of 5,000: the file
// read again under the lock, changed and replaced.
void BM_SaveOne(benchmark::State& state) {
    BenchCalendar calendar;
    auto items = outlook::openCalendar(calendar.options)->GetNamespace("MAPI")->GetDefaultFolder(9)->Items();
    auto item = items->Item(kAppointments / 2);
    int n = 0;
    for (auto _ : state) {
        item->setSubject("Renamed " + std::to_string(++n));
        item->Save();
    }
}
BENCHMARK(BM_SaveOne)->Unit(benchmark::kMillisecond);

// The tool lists a year of occurrences from today, as a user asks it to.
void BM_ToolListOccurrences(benchmark::State& state) {
    BenchCalendar calendar(calendarText(10000, true));
    std::size_t lines = 0;
    for (auto _ : state) {
        std::ostringstream out, err;
        const int code = outlook::runCalendarTool({"--file", calendar.options.file.string(), "list", "--occurrences"},
                                                  out, err);
        if (code != 0) state.SkipWithError(err.str().c_str());
        const std::string listed = out.str();
        lines = static_cast<std::size_t>(std::count(listed.begin(), listed.end(), '\n'));
    }
    state.counters["lines"] = static_cast<double>(lines);
}
BENCHMARK(BM_ToolListOccurrences)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace wendra
