// The framer at the pace of a whole exchange and more: 10 MB of the device's
// messages of every kind (clocks, lists of 200 events, confirmations, events),
// each followed by its zero byte, handed in as chunks of random sizes as the
// line delivers them. Bytes are the stream's; items are the messages cut.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "exchange/MessageFramer.h"
#include "tests/exchange/peer/DeviceMessages.h"

namespace wendra {
namespace {

struct Stream {
    std::string bytes;
    std::vector<std::string_view> chunks;
    std::int64_t messages = 0;
};

const Stream& stream() {
    static const Stream s = [] {
        Stream out;
        std::mt19937 random(18);
        const std::string kinds[] = {
            peer::syncTimeMessage("20260311T100500"),
            peer::syncDataMessage("bench-device", 200),
            peer::confirmMessage("bench-device", "1234", "P-77"),
            peer::vcalMessage("P-9", "A description of some length, with END:VCALENDAR inside it"),
        };
        while (out.bytes.size() < 10'000'000) {
            out.bytes += kinds[random() % 4];
            out.bytes.push_back('\0');
            ++out.messages;
        }
        std::uniform_int_distribution<std::size_t> size(1, 4096);
        for (std::size_t at = 0; at < out.bytes.size();) {
            const std::size_t n = std::min(size(random), out.bytes.size() - at);
            out.chunks.emplace_back(out.bytes.data() + at, n);
            at += n;
        }
        return out;
    }();
    return s;
}

void BM_FrameMixedMessagesInRandomChunks(benchmark::State& state) {
    const Stream& s = stream();
    for (auto _ : state) {
        MessageFramer framer;
        std::int64_t cut = 0;
        for (std::string_view chunk : s.chunks) {
            framer.append(chunk);
            while (auto m = framer.next()) cut += static_cast<std::int64_t>(m->text.size() > 0);
        }
        if (cut != s.messages) state.SkipWithError("messages lost");
        benchmark::DoNotOptimize(cut);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(s.bytes.size()));
    state.SetItemsProcessed(state.iterations() * s.messages);
}
BENCHMARK(BM_FrameMixedMessagesInRandomChunks)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace wendra
