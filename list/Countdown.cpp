#include "mainwindow/Countdown.h"

#include <algorithm>
#include <cstdlib>

#include "store/clsCalEvent.h"
#include "store/modFuncs.h"

namespace wendra::countdown {

namespace {

std::int64_t floorDiv(std::int64_t a, std::int64_t b) {
    std::int64_t q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
    return q;
}

bool contains(std::string_view text, std::string_view part) { return text.find(part) != std::string_view::npos; }

}  // namespace

std::int64_t minuteBoundaries(DateTime from, DateTime to) {
    // Counting boundaries, not elapsed time: at 10:00:59 an event at 10:01:00 is
    // one minute away, which is what the minute tick on the whole minute shows.
    return floorDiv(to.seconds(), 60) - floorDiv(from.seconds(), 60);
}

std::string formatTimeTo(DateTime now, DateTime d) {
    // The count is a 16-bit number; only today's rows are counted down, far inside it.
    return countdownText(std::clamp<std::int64_t>(minuteBoundaries(now, d), -32768, 32767));
}

std::string countdownText(std::int64_t minutes) {
    // Both divisions truncate toward zero, so hours and minutes keep the sign of
    // the count; the minutes are written without it.
    const std::int64_t hours = (minutes / 60) % 24;
    const std::int64_t mins = minutes % 60;
    if (hours == 0 && mins == 0) return std::string(kNow);
    if (hours < -1) return std::to_string(hours) + "h";
    std::string text = std::to_string(hours) + "h " + padZeros(std::llabs(mins), 2) + "m";
    if (hours == 0 && mins < 0) text.insert(0, "-");
    return text;
}

bool isCountdown(std::string_view daysTo) { return daysTo == kNow || contains(daysTo, "h"); }

std::string longDescription(std::string_view countdownText, std::string_view description) {
    std::string text(countdownText);
    text += isPassed(countdownText) ? kPastJoin : kToJoin;
    text += description;
    return text;
}

std::string captionCountdown(std::string_view countdownText, std::string_view description) {
    std::string text(countdownText);
    text += "-";
    text += description;
    return text;
}

int rearmIntervalMs(DateTime now) { return (60 - now.second()) * 1000; }

bool moreThanSecondsSince(DateTime since, DateTime now, int limit) {
    return now.seconds() - since.seconds() > limit;
}

Watchdogs checkWatchdogs(std::string_view panel1, std::string_view panel2, const StatusStamps& stamps,
                         DateTime now) {
    Watchdogs w;
    w.connectOutlook =
        panel1 == kConnectingText && moreThanSecondsSince(stamps.connectingSince, now, kConnectingLimitSeconds);
    w.endChecking =
        contains(panel1, kCheckingMark) && moreThanSecondsSince(stamps.checkingSince, now, kCheckingLimitSeconds);
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

std::optional<DateTime> keyOccurrence(std::string_view rowKey) {
    const std::string occr = gridKeyValue(rowKey, Tag::Occr);
    if (occr.empty()) return std::nullopt;
    auto when = parseICalDateTime(occr);
    if (!when) return std::nullopt;
    // An all-day occurrence lasts to the end of its day, as the list compares it.
    if (occr.find('T') == std::string::npos) return when->date().addSeconds(DateTime::kSecondsPerDay - 1);
    return when;
}

}  // namespace wendra::countdown
