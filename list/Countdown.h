#pragma once

// The countdown of today's timed rows: its texts and how a row shows it. Pure
// functions of the times they are given; the owners' timers gather the inputs.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/clock/DateTime.h"

namespace wendra::countdown {

inline constexpr std::string_view kNow = "NOW";
inline constexpr std::string_view kPastJoin = " past ";
inline constexpr std::string_view kToJoin = " to ";

// The countdown text of a number of minutes: "2h 05m", "0h 15m", "NOW",
// "-0h 15m", "-1h 15m", "-3h". Hours are taken modulo 24 keeping their sign.
std::string countdownText(std::int64_t minutes);

// The countdown text from `now` to `d`, counting minute boundaries crossed.
std::string formatTimeTo(DateTime now, DateTime d);

// A Days To text that is a countdown (and so marks a timed row).
bool isCountdown(std::string_view daysTo);
// A countdown that has gone past its time.
inline bool isPassed(std::string_view countdownText) { return countdownText.find('-') != std::string_view::npos; }

// The long description of a timed row: "2h 05m to Dentist", "-0h 15m past Dentist".
std::string longDescription(std::string_view countdownText, std::string_view description);

// The caption countdown: "2h 05m-Dentist".
std::string captionCountdown(std::string_view countdownText, std::string_view description);

// The time a row key's occurrence is counted down to: a timed one's own time, an
// all-day one's day at 23:59:59; nullopt when the key holds no readable date.
std::optional<DateTime> keyOccurrence(std::string_view rowKey);

}  // namespace wendra::countdown
