#pragma once

// The program's answer to the device's clock and version: the first message of
// every exchange. The answer goes out in every case; a refusal is also told to
// the user.

#include <string>

#include "exchange/clsCalendar.h"

namespace wendra {

struct SyncTimeVerdict {
    int status = 0;       // iCalExport::kSyncOK, kSyncIncompatibleVersion or kSyncIncompatibleTime
    std::string message;  // empty for OK
};

// The largest difference of the two clocks that still synchronises, in seconds.
inline constexpr long long kMaxSyncTimeDiff = 900;

// A major version of 2 or more is refused first, then a clock difference above
// kMaxSyncTimeDiff either way; no version line counts as version 0 and passes.
SyncTimeVerdict checkSyncTime(const clsCalendar& cal);

}  // namespace wendra
