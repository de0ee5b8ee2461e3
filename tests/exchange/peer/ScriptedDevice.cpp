#include "tests/exchange/peer/ScriptedDevice.h"

#include <algorithm>
#include <utility>

#include "tests/exchange/peer/DeviceMessages.h"
#include "tests/exchange/peer/DevicePeer.h"

namespace wendra::peer {

namespace {

constexpr std::string_view kOwnPrefix = "QVRID-";

std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> out;
    std::size_t from = 0;
    while (from < text.size()) {
        std::size_t end = text.find_first_of("\r\n", from);
        if (end == std::string::npos) end = text.size();
        if (end > from) out.push_back(text.substr(from, end - from));
        from = end + 1;
    }
    return out;
}

// The property's name: up to its parameters or its value.
std::string_view nameOf(std::string_view line) { return line.substr(0, line.find_first_of(":;")); }

std::string valueOf(std::string_view line) {
    const auto colon = line.find(':');
    return colon == std::string_view::npos ? std::string() : std::string(line.substr(colon + 1));
}

std::string fromHex(std::string_view hex) {
    std::string out;
    const auto digit = [](char c) { return c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10; };
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        out.push_back(static_cast<char>(digit(hex[i]) * 16 + digit(hex[i + 1])));
    return out;
}

}  // namespace

// ---- events ------------------------------------------------------------------------------

std::string DeviceEvent::value(std::string_view property) const {
    for (const auto& l : lines)
        if (nameOf(l) == property) return valueOf(l);
    return {};
}

std::string DeviceEvent::summary() const {
    for (const char* hex : {"X-KSP-SUMMARY-UTF8", "X-KSP-SUMMARY-UNIB"})
        if (const std::string h = value(hex); !h.empty()) return fromHex(h);
    return value("SUMMARY");
}

void DeviceEvent::set(std::string_view property, const std::string& v) {
    if (property == "SUMMARY")
        std::erase_if(lines, [](const std::string& l) { return nameOf(l).starts_with("X-KSP-SUMMARY-U"); });
    const std::string line = std::string(property) + ":" + v;
    for (auto& l : lines)
        if (nameOf(l) == property) {
            l = line;
            return;
        }
    lines.push_back(line);
}

DeviceEvent deviceEvent(std::string id, std::string_view start, std::string_view summary, std::string lastModified) {
    DeviceEvent ev;
    ev.id = std::move(id);
    ev.lastModified = std::move(lastModified);
    ev.lines = {"DTSTART:" + std::string(start), "SUMMARY:" + std::string(summary)};
    return ev;
}

// ---- the exchange ----------------------------------------------------------------------------

ScriptedDevice::ScriptedDevice(std::string programUid, std::string prefix)
    : programUid_(std::move(programUid)), prefix_(std::move(prefix)) {}

std::vector<std::string> ScriptedDevice::begin() {
    state_ = State::WaitingForClock;
    blocks_ = 0;
    received.clear();
    return {syncTimeMessage(clock, version)};
}

std::string ScriptedDevice::syncData() const {
    std::vector<std::string> ls{"X-KSP-BEGIN:SYNC-DATA", "X-KSP-VERSION:" + version,
                                "X-KSP-PROGRAM-UID:" + programUid_, "X-KSP-UID-PREFIX:" + prefix_};
    for (const auto& [id, ev] : events) {
        // The list names each event without the prefix, which the program puts back.
        const std::string own = id.starts_with(prefix_) ? id.substr(prefix_.size()) : id;
        ls.push_back("X-KSP-SYNC:" + ev.lastModified + " " + own);
    }
    ls.push_back("X-KSP-END:SYNC-DATA");
    return lines(ls);
}

int ScriptedDevice::count(std::string_view methodPrefix) const {
    return static_cast<int>(
        std::count_if(received.begin(), received.end(), [&](const std::string& r) { return r.starts_with(methodPrefix); }));
}

std::string ScriptedDevice::eventMessage(const DeviceEvent& ev) const {
    std::vector<std::string> ls{"BEGIN:VCALENDAR", "VERSION:1.0"};
    if (namesItselfInEvents) ls.push_back("X-KSP-PROGRAM-UID:" + programUid_);
    ls.push_back("BEGIN:VEVENT");
    ls.push_back("UID:" + ev.id);
    ls.insert(ls.end(), ev.lines.begin(), ev.lines.end());
    if (!ev.lastModified.empty()) ls.push_back("LAST-MODIFIED:" + ev.lastModified);
    ls.push_back("END:VEVENT");
    ls.push_back("END:VCALENDAR");
    return lines(ls);
}

std::string ScriptedDevice::confirm(const std::string& qvrId, const std::string& uid,
                                    const std::string& lastModified) const {
    std::vector<std::string> ls{"X-KSP-BEGIN:CONFIRM", "X-KSP-VERSION:" + version, "X-KSP-PROGRAM-UID:" + programUid_};
    if (!qvrId.empty()) ls.push_back("X-KSP-EVENT-QVRID:" + qvrId);
    ls.push_back("X-KSP-EVENT-UID:" + uid);
    if (!lastModified.empty()) ls.push_back("X-KSP-LAST-MODIFIED:" + lastModified);
    ls.push_back("X-KSP-END:CONFIRM");
    return lines(ls);
}

std::vector<std::string> ScriptedDevice::answer(const std::string& fromProgram) {
    if (state_ == State::Silent || state_ == State::Cancelled) return {};
    const std::vector<std::string> ls = splitLines(fromProgram);
    if (ls.empty()) return {};
    if (ls.front() == "BEGIN:QVR-SYNC-TIME") {
        const bool ok = std::find(ls.begin(), ls.end(), "X-QVR-SYNC-STATUS:OK") != ls.end();
        received.push_back(ok ? "SYNC-TIME OK" : "SYNC-TIME " + (ls.size() > 1 ? valueOf(ls[1]) : ""));
        if (state_ != State::WaitingForClock) return {};
        if (!ok) {
            state_ = State::Refused;
            return {};
        }
        state_ = State::Exchanging;
        return {syncData()};
    }
    if (ls.front() == "BEGIN:QVR-EXPORT-END") {
        received.push_back("EXPORT-END");
        if (state_ == State::Exchanging) state_ = State::Finished;
        return {};
    }
    if (ls.front() != "BEGIN:VCALENDAR") {
        received.push_back("? " + ls.front());
        return {};
    }
    std::string method, uid;
    std::vector<std::string> eventLines;
    bool inEvent = false;
    for (const auto& l : ls) {
        const std::string_view name = nameOf(l);
        if (name == "X-QVR-METHOD") method = valueOf(l);
        if (l == "BEGIN:VEVENT") inEvent = true;
        else if (l == "END:VEVENT") inEvent = false;
        else if (inEvent && name == "UID") uid = valueOf(l);
        else if (inEvent) eventLines.push_back(l);
    }
    received.push_back(method + " " + uid);
    if (state_ != State::Exchanging) return {};
    ++blocks_;
    if (fault_ != Misbehaviour::None && blocks_ == faultAt_) {
        const Misbehaviour fault = std::exchange(fault_, Misbehaviour::None);
        switch (fault) {
            case Misbehaviour::Silent: state_ = State::Silent; return {};
            case Misbehaviour::Unheard:
                answerBlock(method, uid, eventLines);
                state_ = State::Silent;
                return {};
            case Misbehaviour::Cancel: state_ = State::Cancelled; return {cancelMessage()};
            case Misbehaviour::Nonsense:
                if (method.starts_with("REQUEST")) return {confirm("987654", uid, "20260301T080000")};
                return {eventMessage(DeviceEvent{uid, "", eventLines, ""})};
            case Misbehaviour::Twice: {
                std::vector<std::string> once = answerBlock(method, uid, eventLines);
                std::vector<std::string> both = once;
                both.insert(both.end(), once.begin(), once.end());
                return both;
            }
            case Misbehaviour::None: break;
        }
    }
    return answerBlock(method, uid, eventLines);
}

std::vector<std::string> ScriptedDevice::answerBlock(const std::string& method, const std::string& uid,
                                                     const std::vector<std::string>& eventLines) {
    if (method == "REQUEST<" || method == "REQUEST>") {
        const auto it = events.find(uid);
        // An event it no longer has is answered with its id alone, which no one merges.
        return {it != events.end() ? eventMessage(it->second) : eventMessage(DeviceEvent{uid, "", {}, ""})};
    }
    if (method == "CANCEL") {
        std::string qvrId;
        if (const auto it = events.find(uid); it != events.end()) {
            qvrId = it->second.qvrId;
            events.erase(it);
        }
        return {confirm(qvrId, uid, "")};
    }
    // PUBLISH: an event of the program's (a new one for the device) or its own, replaced.
    DeviceEvent ev;
    ev.id = uid;
    if (uid.starts_with(kOwnPrefix)) {
        ev.qvrId = uid.substr(kOwnPrefix.size());
        do ev.id = prefix_ + std::to_string(nextId_++);
        while (events.contains(ev.id));
    } else if (const auto it = events.find(uid); it != events.end()) {
        ev.qvrId = it->second.qvrId;
    }
    bool dayMap = false;
    for (const auto& l : eventLines) {
        const std::string_view name = nameOf(l);
        if (name == "LAST-MODIFIED") ev.lastModified = valueOf(l);
        else ev.lines.push_back(l);
        dayMap = dayMap || name == "X-KSP-EVENTMAP2";
    }
    // A day map is no schedule the device can edit, and it says so when it sends it back.
    if (dayMap) ev.lines.push_back("X-KSP-EVENTFORMAT:1");
    const std::string id = ev.id, qvrId = ev.qvrId, lastModified = ev.lastModified;
    events[id] = std::move(ev);
    return {confirm(qvrId, id, lastModified)};
}

// ---- over the line ----------------------------------------------------------------------------

bool playExchange(DevicePeer& line, ScriptedDevice& device, const ExchangePacing& pacing) {
    Chunking chunking;
    chunking.maxChunk = pacing.maxChunk;
    chunking.pause = std::chrono::microseconds(0);
    chunking.afterChunk = pacing.pump;
    const auto send = [&](const std::vector<std::string>& messages) {
        for (const auto& m : messages)
            if (!line.sendMessage(m, chunking)) return false;
        return true;
    };
    if (!send(device.begin())) return false;
    using Clock = std::chrono::steady_clock;
    auto quietSince = Clock::now();
    while (!device.finished()) {
        if (pacing.pump) pacing.pump();
        const auto reply = line.receiveReply(std::chrono::milliseconds(pacing.pump ? 0 : 50));
        if (!reply) {
            if (Clock::now() - quietSince > pacing.patience) return false;
            continue;
        }
        quietSince = Clock::now();
        if (!send(device.answer(*reply))) return false;
    }
    return device.state() == ScriptedDevice::State::Finished;
}

}  // namespace wendra::peer
