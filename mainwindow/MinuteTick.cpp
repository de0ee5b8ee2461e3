#include "mainwindow/MinuteTick.h"

#include "store/modFuncs.h"

namespace wendra::tick {

int rearmIntervalMs(DateTime now) { return (60 - now.second()) * 1000; }

bool moreThanSecondsSince(DateTime since, DateTime now, int limit) {
    return now.seconds() - since.seconds() > limit;
}

Watchdogs checkWatchdogs(std::string_view panel1, std::string_view panel2, const StatusStamps& stamps,
                         DateTime now) {
    Watchdogs w;
    w.connectOutlook =
        panel1 == kConnectingText && moreThanSecondsSince(stamps.connectingSince, now, kConnectingLimitSeconds);
    w.endChecking = panel1.find(kCheckingMark) != std::string_view::npos &&
                    moreThanSecondsSince(stamps.checkingSince, now, kCheckingLimitSeconds);
    w.restoreCommStatus =
        panel2 == kSyncInProgress && moreThanSecondsSince(stamps.lastSyncActivity, now, kSyncLimitSeconds);
    return w;
}

std::string windowCaption(bool minimized, int viewCountdown, std::string_view captionCountdown, DateTime now) {
    const auto mode = static_cast<ViewCountdown>(viewCountdown);
    if (minimized) {
        if (!captionCountdown.empty() && mode != ViewCountdown::Never) return std::string(captionCountdown);
        return std::string(kCaptionTitle);
    }
    if (!captionCountdown.empty() && mode == ViewCountdown::Always) return std::string(captionCountdown);
    return std::string(kCaptionDatePrefix) + formatLongDate(now, true, true);
}

}  // namespace wendra::tick
