#pragma once

// The mobile companion as the tests play it, from the wire protocol alone: it
// keeps events of its own, starts an exchange with its clock and then its list,
// answers each REQUEST with that event, each PUBLISH or CANCEL with a
// confirmation (storing or deleting the event first), and stops at the export's
// end. It can be told to misbehave once in an exchange: say nothing more, send
// a cancel, answer nonsense or answer twice.
//
// The device is transport-free: it takes the program's replies and hands back the
// messages to send. playExchange runs one exchange over the pseudo-terminal.

#include <chrono>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace wendra::peer {

class DevicePeer;

struct DeviceEvent {
    std::string id;            // the device's own id, its prefix included
    std::string lastModified;  // "yyyymmddThhmmss"
    // The event's lines as the device keeps them, without UID and LAST-MODIFIED.
    std::vector<std::string> lines;
    std::string qvrId;  // the program's id of an event the program sent first

    // The value of the first line of the property, empty when none.
    std::string value(std::string_view property) const;
    // The description: the hex line when there is one, else SUMMARY.
    std::string summary() const;
    // Replaces the property's line (or appends it); the hex summary goes with SUMMARY.
    void set(std::string_view property, const std::string& value);
};

// A one-off event of the device's own on `start` (a date-time or date text).
DeviceEvent deviceEvent(std::string id, std::string_view start, std::string_view summary,
                        std::string lastModified = "20260301T080000");

enum class Misbehaviour {
    None,
    Silent,    // says nothing from that block on, as a device out of range
    Cancel,    // sends a cancel instead of the answer
    Nonsense,  // a confirmation of nothing for a request, the block sent back for the others
    Twice,     // the answer, and the same answer again
    Unheard,   // does what the block asks, but its answer is lost and it says nothing more
};

class ScriptedDevice {
public:
    enum class State { Idle, WaitingForClock, Exchanging, Finished, Refused, Cancelled, Silent };

    explicit ScriptedDevice(std::string programUid = "wendra-go-1", std::string prefix = "P-");

    // The device's events by id.
    std::map<std::string, DeviceEvent> events;
    void add(DeviceEvent ev) { events[ev.id] = std::move(ev); }

    // The clock the next exchange sends, and its version.
    std::string clock = "20260311T100500";
    std::string version = "1.0";
    // Whether its events name the companion (X-KSP-PROGRAM-UID) in their calendar.
    bool namesItselfInEvents = false;

    // The next exchange misbehaves at its n-th block from the program after the list.
    void misbehave(Misbehaviour what, int atBlock) {
        fault_ = what;
        faultAt_ = atBlock;
    }

    // A new exchange: the SYNC-TIME to send.
    std::vector<std::string> begin();
    // What the device sends in answer to one of the program's texts.
    std::vector<std::string> answer(const std::string& fromProgram);
    State state() const { return state_; }
    bool finished() const { return state_ != State::Exchanging && state_ != State::WaitingForClock; }

    // What the program sent in this exchange, one entry a block: "REQUEST> P-1",
    // "PUBLISH QVRID-4", "CANCEL P-2", "EXPORT-END", "SYNC-TIME OK".
    std::vector<std::string> received;
    int count(std::string_view methodPrefix) const;

    const std::string& programUid() const { return programUid_; }
    const std::string& prefix() const { return prefix_; }
    // The device's list as it sends it.
    std::string syncData() const;

private:
    std::vector<std::string> answerBlock(const std::string& method, const std::string& uid,
                                         const std::vector<std::string>& lines);
    std::string eventMessage(const DeviceEvent& ev) const;
    std::string confirm(const std::string& qvrId, const std::string& uid, const std::string& lastModified) const;

    std::string programUid_, prefix_;
    State state_ = State::Idle;
    Misbehaviour fault_ = Misbehaviour::None;
    int faultAt_ = 0;
    int blocks_ = 0;
    int nextId_ = 1000;
};

struct ExchangePacing {
    std::size_t maxChunk = 64;
    // Runs while the device waits, and after each chunk it writes: a test that runs
    // the program in the same thread lets it read and answer there.
    std::function<void()> pump;
    // How long the device waits for a reply before it gives up.
    std::chrono::milliseconds patience{5000};
};

// One whole exchange over the line: the clock, the list, every answer, until the
// device has finished (true for an export's end) or heard nothing for `patience`.
bool playExchange(DevicePeer& line, ScriptedDevice& device, const ExchangePacing& pacing);

}  // namespace wendra::peer
