// Makes the WendraWin.dt of the gadget's whole-program tests, dated around today:
//   make_gadget_store FOLDER [hostile]
// Two past all-day events (folded into "2 past events"), one today, a dentist
// tomorrow at 09:30, a weekly review from the day after at 10:00, and "Event 01"
// to "Event 12" on the twelve days after that. With "hostile" the descriptions
// are instead texts made to break out of the list's markup or its script
// arguments, one a day from tomorrow; each would set window.injected (or call
// alert) if it ran. They are written first, as one line of a JSON array.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/EventMix.h"
#include "tests/support/Events.h"

int main(int argc, char** argv) {
    using namespace wendra;
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s FOLDER [hostile]\n", argv[0]);
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    const bool hostile = argc > 2 && std::string(argv[2]) == "hostile";
    bench::NewStore s(folder);
    if (!s.error.empty()) {
        std::fprintf(stderr, "%s\n", s.error.c_str());
        return 1;
    }
    const DateTime day = today();
    std::vector<clsCalEvent> events;
    if (hostile) {
        const std::vector<std::string> texts{
            "');alert(1);//",
            "');window.injected=1;//",
            "<img src=x onerror=\"window.injected=2\">",
            "%27);window.injected=3;//",
            "\\');window.injected=4;//",
            "\"><script>window.injected=5</script>",
            "</a><a id=injected href=\"javascript:window.injected=6\">click</a>",
            "&lt;b&gt;not bold&lt;/b&gt; &amp; %3Cb%3E",
        };
        std::string json = "[";
        for (std::size_t i = 0; i < texts.size(); ++i) {
            events.push_back(test::oneOff(texts[i], day.addDays(static_cast<int>(i) + 1), true));
            json += i == 0 ? "\"" : ",\"";
            for (const char c : texts[i]) json += c == '"' || c == '\\' ? std::string("\\") + c : std::string(1, c);
            json += "\"";
        }
        std::printf("%s]\n", json.c_str());
    } else {
        events.push_back(test::oneOff("Past two days", day.addDays(-2), true));
        events.push_back(test::oneOff("Past three days", day.addDays(-3), true));
        events.push_back(test::oneOff("Today's reminder", day, true));
        events.push_back(test::oneOff("Dentist", day.addDays(1).addSeconds(9 * 3600 + 30 * 60)));
        events.push_back(test::weekly("Weekly review", day.addDays(2).addSeconds(10 * 3600)));
        for (int i = 1; i <= 12; ++i)
            events.push_back(test::oneOff((i < 10 ? "Event 0" : "Event ") + std::to_string(i), day.addDays(2 + i), true));
    }
    int stored = 0;
    for (clsCalEvent& ev : events) {
        ev.setLastModified(day);
        if (s.store.Save(ev, SaveMode::Always)) ++stored;
    }
    std::printf("%d events\n", stored);
    return stored == static_cast<int>(events.size()) ? 0 : 1;
}
