// Makes a WendraWin.dt full of events for the start-up benchmark (bench/startup.sh):
//   make_bench_store FOLDER [COUNT] [typical|repeating]
// The events are dated around today, as the program will find them when it starts.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "bench/EventMix.h"
#include "platform/clock/Clock.h"

int main(int argc, char** argv) {
    using namespace wendra;
    namespace fs = std::filesystem;
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s FOLDER [COUNT] [typical|repeating]\n", argv[0]);
        return 2;
    }
    const fs::path folder = argv[1];
    const int count = argc > 2 ? std::atoi(argv[2]) : 10000;
    const bench::Mix mix = argc > 3 && std::string(argv[3]) == "repeating" ? bench::Mix::AllRepeating : bench::Mix::Typical;
    bench::NewStore s(folder);
    if (!s.error.empty()) {
        std::fprintf(stderr, "%s\n", s.error.c_str());
        return 1;
    }
    const int stored = bench::fillStore(s.store, mix, today(), count);
    std::printf("%d events\n", stored);
    return stored == count ? 0 : 1;
}
