#include "list/Countdown.h"

#include <algorithm>
#include <cstdlib>

#include "list/EventList.h"
#include "store/modFuncs.h"

namespace wendra::countdown {

std::string formatTimeTo(DateTime now, DateTime d) {
    // Counting boundaries, not elapsed time: at 10:00:59 an event at 10:01:00 is
    // one minute away, which is what the minute tick on the whole minute shows.
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

bool isCountdown(std::string_view daysTo) { return daysTo == kNow || daysTo.find('h') != std::string_view::npos; }

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

std::optional<DateTime> keyOccurrence(std::string_view rowKey) {
    const auto occurrence = keyRowOccurrence(rowKey);
    if (!occurrence) return std::nullopt;
    // An all-day occurrence lasts to the end of its day, as the list compares it.
    if (occurrence->allDay) return occurrence->when.addSeconds(DateTime::kSecondsPerDay - 1);
    return occurrence->when;
}

}  // namespace wendra::countdown
