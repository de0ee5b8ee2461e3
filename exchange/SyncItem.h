#pragma once

// One request of a synchronisation's queue: what is to go to the device next.
// Its fields are values of their own, never read back from a text, so nothing a
// description holds can turn one request into another or name another event.

#include <string>
#include <string_view>

namespace wendra {

struct SyncItem {
    enum class Kind {
        RequestFromDevice,  // "Request>": the device's copy is newer, or the program lacks it
        RequestToDevice,    // "Request<": the program's copy is newer
        DeleteAll,          // the event is gone here: the device deletes it
        Update,             // the merged event, for the device's copy
        Add,                // a local event the device has never had
    };

    Kind kind = Kind::Add;
    std::string localId;   // the program's key; empty when it has none
    std::string deviceId;  // the device's id; empty for an event the device does not know
    int calendarId = 0;    // the device's calendar in the store: an item goes to that device only
    std::string rowKey;    // the event's row key, for showing what is queued

    // The request's name as the queue has always called it ("Request>", "DeleteAll", ...).
    static std::string_view kindText(Kind kind);
    std::string_view kindText() const { return kindText(kind); }
};

}  // namespace wendra
