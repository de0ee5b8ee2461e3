// Every read of the calendar reader over the fuzzer's bytes, and the writer
// over the events the reader hands on. Besides the sanitizers' findings, the
// reader's promises are checked: nothing is left in the calendar after a read,
// no exception leaves it, no more end events than END lines.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "exchange/iCalExport.h"
#include "exchange/iCalImport.h"
#include "platform/clock/FakeClock.h"

namespace {

using namespace wendra;

// Writing runs the occurrence expansion, the slow part; a few events an input
// are enough to reach every path of the writer.
constexpr int kEventsWritten = 4;

class Sink final : public iCalImportListener, public iCalImportHost {
public:
    void EndSyncTime(clsCalendar&) override { ++ends; }
    void EndSyncData(clsCalendar&) override { ++ends; }
    void EndVEvent(clsCalendar& cal, clsCalEvent& evt, bool usable) override {
        ++ends;
        if (cal.CalEventCount() != 1) std::abort();  // the calendar holds the event being read, only it
        if (usable && written < kEventsWritten) {
            ++written;
            std::string text;
            writer.Export(evt, text);
            for (char c : text)
                if (c == '\0') std::abort();  // a NUL would end the message on the wire
        }
    }
    void EndVCalendar(clsCalendar&) override { ++ends; }
    void Confirmed(clsCalendar&, clsCalEvent&) override { ++ends; }
    int RegisterXCalendar(const std::string& uid) override { return uid.size() % 3 == 0 ? 0 : 5; }
    void beginSyncList() override {}
    void markLinksNotFound(int) override {}
    void createRequest(clsCalEvent&, clsCalendar&) override {}
    int DefaultPriorWarning() override { return 30; }
    void showSyncInProgress() override {}

    iCalExport writer{"https://www.wendrawin.example"};
    int ends = 0;
    int written = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const FakeClock clock(DateTime::ymd(2026, 3, 11, 10, 0, 0));
    static const ClockOverride useClock(clock);
    const std::string_view message(reinterpret_cast<const char*>(data), size);
    Sink sink;
    clsImportLog log;
    iCalImport reader(sink, sink);
    try {
        reader.readSyncTime(message, log);
        reader.readSyncData(message, log);
        reader.Confirmation(message, log);
        reader.readVCal(message, log);
    } catch (...) {
        std::abort();  // nothing may leave the reader
    }
    if (reader.Calendar().CalEventCount() != 0 || reader.CalEvent() != nullptr) std::abort();
    return 0;
}
