#pragma once

// The arithmetic and texts of the main window's minute tick beyond the countdown
// itself: the re-arming of the timer on the whole minute, the status-bar
// watchdogs and the window caption. Pure functions of the times they are given,
// so the tick itself only gathers the inputs.

#include <string>
#include <string_view>

#include "platform/clock/DateTime.h"

namespace wendra::tick {

// ---- texts -------------------------------------------------------------------

inline constexpr std::string_view kAlarmCaption =
    "**** NOW ******** NOW ******** NOW ******** NOW ******** NOW ****";
inline constexpr std::string_view kCaptionTitle = "Wendra(win)";
inline constexpr std::string_view kCaptionDatePrefix = "Wendra(win) - ";
inline constexpr std::string_view kAlarmFile = "QVRAlarm.wav";
// The status bar's texts that the watchdogs watch; the window shows them.
inline constexpr std::string_view kModeStoreText = "Mode: Wendra (win)";
inline constexpr std::string_view kModeOutlookText = "Mode: MSOutlook";
inline constexpr std::string_view kCheckingText = "Mode: MSOutlook          [Checking for updates]";
inline constexpr std::string_view kCheckingMark = "[Checking for updates]";
inline constexpr std::string_view kConnectingText = "Connecting to MSOutlook...";
inline constexpr std::string_view kSyncInProgress = "Sync: In progress...";

// ---- the timer ---------------------------------------------------------------

// Milliseconds from `now` to the next whole minute: 60000 at second 0, 1000 at second 59.
int rearmIntervalMs(DateTime now);

// ---- watchdogs ---------------------------------------------------------------

inline constexpr int kConnectingLimitSeconds = 60;
inline constexpr int kCheckingLimitSeconds = 180;
inline constexpr int kSyncLimitSeconds = 60;

// More than `limit` whole seconds have gone by since `since` (strictly more).
bool moreThanSecondsSince(DateTime since, DateTime now, int limit);

// What the tick does about the status bar, from the two panel texts and the stamps.
struct Watchdogs {
    bool connectOutlook = false;  // the connecting text has stood too long
    bool endChecking = false;     // the check for updates has run too long
    bool restoreCommStatus = false;  // a device sync has gone quiet
};
struct StatusStamps {
    DateTime connectingSince;
    DateTime checkingSince;
    DateTime lastSyncActivity;
};
Watchdogs checkWatchdogs(std::string_view panel1, std::string_view panel2, const StatusStamps& stamps,
                         DateTime now);

// ---- the caption -------------------------------------------------------------

// The countdown in the caption: 0 always, 1 only when minimized, 2 never.
enum class ViewCountdown : int { Always = 0, WhenMinimized = 1, Never = 2 };

// The window caption for the state; `now` gives the date caption of the open window.
std::string windowCaption(bool minimized, int viewCountdown, std::string_view captionCountdown, DateTime now);

}  // namespace wendra::tick
