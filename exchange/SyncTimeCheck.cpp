#include "exchange/SyncTimeCheck.h"

#include "exchange/iCalExport.h"

namespace wendra {

SyncTimeVerdict checkSyncTime(const clsCalendar& cal) {
    if (cal.VersionMajor() >= 2)
        return {iCalExport::kSyncIncompatibleVersion,
                "Cannot sync with remote device. This version of Wendra(win) is incompatible with the version of "
                "Wendra(go) on the remote device."};
    const long long diff = cal.TimeDiff();
    if (diff > kMaxSyncTimeDiff || diff < -kMaxSyncTimeDiff)
        return {iCalExport::kSyncIncompatibleTime,
                "The time difference between PC and remote sync device is too large. In order to sync successfully "
                "ensure the time on PC and sync device are approximately in line with each other. Maximum time "
                "difference allowed is 15 minutes."};
    return {};
}

}  // namespace wendra
