#pragma once

// What the reading and the writing half of the Outlook binding share: its own
// errors, the user property values read leniently, and the date forms of the
// per-occurrence descriptions.

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/clock/DateTime.h"
#include "platform/outlook/ObjectModel.h"

namespace wendra::outlook_binding {

// The binding's own failures, numbered as automation numbers errors an object
// raises of its own (from vbObjectError + 513 on).
inline constexpr const char* kSource = "WendraWin";
inline constexpr long kObjectError = -2147221504;
inline constexpr long kErrRuleNotWritable = kObjectError + 513;
inline constexpr long kErrNotInCalendar = kObjectError + 514;
inline constexpr long kErrNoCalendarId = kObjectError + 515;
inline constexpr long kErrLinkNotStored = kObjectError + 516;
inline constexpr long kErrNotReached = kObjectError + 517;

[[noreturn]] void raise(long number, const std::string& description);

// The pattern times of an all-day series: 00:00 on the day pattern times are read on.
inline DateTime patternMidnight() { return DateTime::ymd(1601, 1, 1); }

// A property's value as the type the program keeps it in; the fallback when it
// holds something else (another program may have added it with another type).
DateTime asDate(const outlook::PropertyValue& v, DateTime fallback);
double asNumber(const outlook::PropertyValue& v, double fallback);
bool asFlag(const outlook::PropertyValue& v, bool fallback);
std::string asText(const outlook::PropertyValue& v);

// The key of a per-occurrence description: "yyyymmddhhnnss=".
std::string dateKey(DateTime d);
// The entries of a DescExceptions run: each occurrence's start and text.
std::vector<std::pair<DateTime, std::string>> occurrenceTexts(std::string_view run);

// A text literal of a Restrict filter: in apostrophes, each apostrophe doubled.
std::string filterText(std::string_view text);
// A date of a Restrict filter: "dd/Mmm/yyyy hh:nn", English month names.
std::string filterDate(DateTime d);

}  // namespace wendra::outlook_binding
