#pragma once

#include <string>

namespace wendra {

// Month and weekday names in the user's language, as the C library's LC_TIME
// locale gives them (the program selects the user's locale at start-up).
std::string monthName(int month, bool abbreviate);     // month 1..12
std::string weekdayName(int weekday, bool abbreviate);  // 1 = Sunday .. 7 = Saturday

// The English forms, for texts whose format is fixed whatever the language
// (database literals, calendar files).
std::string englishMonthAbbrev(int month);
std::string englishWeekdayAbbrev(int weekday);

}  // namespace wendra
