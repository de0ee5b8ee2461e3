#pragma once

// The arithmetic and texts of the main window's minute tick: the countdown of
// today's timed rows, the re-arming of the timer on the whole minute, the
// status-bar watchdogs and the window caption. Pure functions of the times they
// are given, so the tick itself only gathers the inputs.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/clock/DateTime.h"

namespace wendra::countdown {

// ---- texts -------------------------------------------------------------------

inline constexpr std::string_view kNow = "NOW";
inline constexpr std::string_view kAlarmCaption =
    "**** NOW ******** NOW ******** NOW ******** NOW ******** NOW ****";
inline constexpr std::string_view kCaptionTitle = "Wendra(win)";
inline constexpr std::string_view kCaptionDatePrefix = "Wendra(win) - ";
inline constexpr std::string_view kAlarmFile = "QVRAlarm.wav";
inline constexpr std::string_view kConnectingText = "Connecting to MSOutlook...";
inline constexpr std::string_view kCheckingMark = "[Checking for updates]";
inline constexpr std::string_view kSyncInProgress = "Sync: In progress...";
inline constexpr std::string_view kPastJoin = " past ";
inline constexpr std::string_view kToJoin = " to ";

// ---- the countdown -----------------------------------------------------------

// Minute boundaries crossed from `from` to `to`, negative when `to` is earlier.
// 10:59:59 to 11:00:00 is one minute; 10:00:00 to 10:00:59 is none.
std::int64_t minuteBoundaries(DateTime from, DateTime to);

// The countdown text of a number of minutes: "2h 05m", "0h 15m", "NOW",
// "-0h 15m", "-1h 15m", "-3h". Hours are taken modulo 24 keeping their sign.
std::string countdownText(std::int64_t minutes);

// The countdown text from `now` to `d`.
std::string formatTimeTo(DateTime now, DateTime d);

// A Days To text that is a countdown (and so marks a timed row).
bool isCountdown(std::string_view daysTo);
// A countdown that has gone past its time.
inline bool isPassed(std::string_view countdownText) { return countdownText.find('-') != std::string_view::npos; }

// The long description of a timed row: "2h 05m to Dentist", "-0h 15m past Dentist".
std::string longDescription(std::string_view countdownText, std::string_view description);

// The caption countdown: "2h 05m-Dentist".
std::string captionCountdown(std::string_view countdownText, std::string_view description);

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

// ---- row keys ----------------------------------------------------------------

// The occurrence a row key names ("<Occr>"): a timed one at its time, an all-day
// one at 23:59:59 of its day; nullopt when the key holds no readable date.
std::optional<DateTime> keyOccurrence(std::string_view rowKey);

}  // namespace wendra::countdown
