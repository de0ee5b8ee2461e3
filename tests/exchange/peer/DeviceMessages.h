#pragma once

// What the mobile companion sends, as the tests play it: each of the five
// messages of the exchange, its lines ended by CR LF. The peer puts the zero
// byte after each message on the wire.

#include <string>
#include <string_view>
#include <vector>

namespace wendra::peer {

inline std::string lines(const std::vector<std::string>& ls) {
    std::string out;
    for (const auto& l : ls) (out += l) += "\r\n";
    return out;
}

// The device's clock (an iCalendar date-time text, "20260311T100500") and version.
inline std::string syncTimeMessage(std::string_view deviceTime, std::string_view version = "1.0") {
    return lines({"X-KSP-BEGIN:SYNC-TIME", "X-KSP-VERSION:" + std::string(version),
                  "X-KSP-TIME:" + std::string(deviceTime), "X-KSP-END:SYNC-TIME"});
}

// The device's list: `entries` events "<prefix><n>", each last modified on 1 March 2026.
// The list names each by <n>: the program puts the prefix before it.
inline std::string syncDataMessage(std::string_view uid, int entries, std::string_view prefix = "P-") {
    std::vector<std::string> ls{"X-KSP-BEGIN:SYNC-DATA", "X-KSP-VERSION:1.0", "X-KSP-PROGRAM-UID:" + std::string(uid),
                                "X-KSP-UID-PREFIX:" + std::string(prefix)};
    for (int i = 1; i <= entries; ++i)
        ls.push_back("X-KSP-SYNC:20260301T080000 " + std::to_string(i));
    ls.push_back("X-KSP-END:SYNC-DATA");
    return lines(ls);
}

// The device has stored the program's event `qvrId` under its own id `deviceId`.
inline std::string confirmMessage(std::string_view uid, std::string_view qvrId, std::string_view deviceId) {
    return lines({"X-KSP-BEGIN:CONFIRM", "X-KSP-VERSION:1.0", "X-KSP-PROGRAM-UID:" + std::string(uid),
                  "X-KSP-EVENT-QVRID:" + std::string(qvrId), "X-KSP-EVENT-UID:" + std::string(deviceId),
                  "X-KSP-LAST-MODIFIED:20260301T080000", "X-KSP-END:CONFIRM"});
}

// One event of the device, a one-off on `start` (a date-time text).
inline std::string vcalMessage(std::string_view deviceId, std::string_view summary,
                               std::string_view start = "20260320T090000") {
    return lines({"BEGIN:VCALENDAR", "VERSION:1.0", "BEGIN:VEVENT", "UID:" + std::string(deviceId),
                  "DTSTART:" + std::string(start), "SUMMARY:" + std::string(summary),
                  "LAST-MODIFIED:20260301T080000", "END:VEVENT", "END:VCALENDAR"});
}

inline std::string cancelMessage() { return lines({"X-KSP-BEGIN:SYNC-CANCEL", "X-KSP-END:SYNC-CANCEL"}); }

}  // namespace wendra::peer
