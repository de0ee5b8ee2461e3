// wendra_device_peer: the mobile companion for whole-program runs. It opens a
// pseudo-terminal pair, links the program's end as FOLDER/COM<PORT> and plays
// a script of steps given as arguments, printing each as it goes:
//
//   wait PATH SECONDS          until the file PATH exists (the test's go-ahead)
//   sync-time OFFSET CHUNK     a SYNC-TIME with the clock now + OFFSET seconds,
//                              in writes of at most CHUNK bytes
//   send FILE CHUNK            the file's bytes and one zero byte, in chunks
//   reply FILE SECONDS         the next zero-terminated reply, written to FILE
//   sleep MILLISECONDS
//   events FILE                the device's events, one a line: ID|START|SUMMARY|CHANGED
//                              (START and CHANGED as iCalendar date or date-time texts)
//   sync SECONDS [CHUNK]       one whole synchronisation of those events, the clock
//                              now, each reply awaited up to SECONDS, in writes of at
//                              most CHUNK bytes (64); fails unless the program ends the
//                              export; prints how long the exchange took
//   dump FILE                  the device's events afterwards, "SUMMARY @ START" a line, sorted
//
// Exit 0 when every step worked, 1 at the first that did not, 2 for a wrong script.
#include <algorithm>
#include <cctype>
#include <chrono>
#include <ctime>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "tests/exchange/peer/DeviceMessages.h"
#include "tests/exchange/peer/DevicePeer.h"
#include "tests/exchange/peer/ScriptedDevice.h"

namespace {

using namespace std::chrono;

std::string localStamp(long long offsetSeconds) {
    const std::time_t t = std::time(nullptr) + offsetSeconds;
    std::tm tm{};
    ::localtime_r(&t, &tm);
    char text[32];
    std::strftime(text, sizeof text, "%Y%m%dT%H%M%S", &tm);
    return text;
}

bool fail(const std::string& why) {
    std::cout << "peer: FAILED " << why << std::endl;
    return false;
}

std::vector<std::string> fieldsOf(const std::string& line) {
    std::vector<std::string> out(1);
    for (char c : line) {
        if (c == '|') out.emplace_back();
        else if (c != '\r') out.back() += c;
    }
    return out;
}

wendra::peer::ScriptedDevice device;

bool run(wendra::peer::DevicePeer& peer, const std::vector<std::string>& a, std::size_t& i) {
    const std::string& step = a[i++];
    const auto arg = [&]() -> std::string { return i < a.size() ? a[i++] : std::string(); };
    if (step == "wait") {
        const std::string path = arg();
        const auto until = steady_clock::now() + seconds(std::stoi(arg()));
        while (!std::ifstream(path) && steady_clock::now() < until) std::this_thread::sleep_for(milliseconds(50));
        if (!std::ifstream(path)) return fail("waiting for " + path);
        std::cout << "peer: go" << std::endl;
        return true;
    }
    if (step == "sync-time") {
        const std::string stamp = localStamp(std::stoll(arg()));
        wendra::peer::Chunking c;
        c.maxChunk = std::stoul(arg());
        std::cout << "peer: SYNC-TIME " << stamp << std::endl;
        return peer.sendMessage(wendra::peer::syncTimeMessage(stamp), c) || fail("sending");
    }
    if (step == "send") {
        const std::string file = arg();
        std::ifstream in(file, std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        wendra::peer::Chunking c;
        c.maxChunk = std::stoul(arg());
        std::cout << "peer: sending " << file << " (" << bytes.size() << " bytes)" << std::endl;
        return (in.good() || in.eof()) && peer.sendMessage(bytes, c) ? true : fail("sending " + file);
    }
    if (step == "reply") {
        const std::string file = arg();
        const auto reply = peer.receiveReply(seconds(std::stoi(arg())));
        if (!reply) return fail("no reply; had \"" + peer.unfinished() + "\"");
        std::ofstream(file, std::ios::binary) << *reply;
        std::cout << "peer: reply of " << reply->size() << " bytes" << std::endl;
        return true;
    }
    if (step == "events") {
        std::ifstream in(arg());
        int n = 0;
        for (std::string line; std::getline(in, line);) {
            const auto f = fieldsOf(line);
            if (f.size() != 4) continue;
            device.add(wendra::peer::deviceEvent(f[0], f[1], f[2], f[3]));
            ++n;
        }
        std::cout << "peer: " << n << " events" << std::endl;
        return n > 0 || fail("no events read");
    }
    if (step == "sync") {
        device.clock = localStamp(0);
        wendra::peer::ExchangePacing pacing;
        pacing.patience = seconds(std::stoi(arg()));
        if (i < a.size() && !a[i].empty() && std::isdigit(static_cast<unsigned char>(a[i][0])))
            pacing.maxChunk = std::stoul(arg());
        const auto began = steady_clock::now();
        const bool done = wendra::peer::playExchange(peer, device, pacing);
        const auto took = duration_cast<milliseconds>(steady_clock::now() - began).count();
        for (const auto& r : device.received) std::cout << "peer: got " << r << std::endl;
        std::cout << "peer: the exchange took " << took << " ms" << std::endl;
        return done || fail("the exchange did not end");
    }
    if (step == "dump") {
        std::vector<std::string> held;
        for (const auto& [id, ev] : device.events) held.push_back(ev.summary() + " @ " + ev.value("DTSTART"));
        std::sort(held.begin(), held.end());
        std::ofstream out(arg());
        for (const auto& h : held) out << h << "\n";
        return static_cast<bool>(out) || fail("writing the events");
    }
    if (step == "sleep") {
        std::this_thread::sleep_for(milliseconds(std::stoi(arg())));
        return true;
    }
    std::cout << "peer: unknown step " << step << std::endl;
    std::exit(2);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::cerr << "usage: wendra_device_peer FOLDER PORT STEP...\n";
        return 2;
    }
    wendra::peer::DevicePeer peer(static_cast<std::uint32_t>(std::time(nullptr)));
    if (!peer.ok() || !peer.linkAs(argv[1], std::stoi(argv[2]))) {
        std::cout << "peer: no pseudo-terminal" << std::endl;
        return 1;
    }
    std::cout << "peer: COM" << argv[2] << " is " << peer.terminal().string() << std::endl;
    const std::vector<std::string> steps(argv + 3, argv + argc);
    try {
        for (std::size_t i = 0; i < steps.size();)
            if (!run(peer, steps, i)) return 1;
    } catch (const std::exception& e) {
        std::cout << "peer: bad step argument (" << e.what() << ")" << std::endl;
        return 2;
    }
    return 0;
}
