#pragma once

// wendra-calendar: list, add, change and delete appointments of the calendar
// file from a shell, through the same object model the program uses.
//
//   wendra-calendar [--file PATH] list [--occurrences] [--days N]
//       (the occurrences from today's start until N days from now, 365 unless given)
//   wendra-calendar [--file PATH] add --subject TEXT --start WHEN [--duration MIN] [--all-day]
//                                     [--repeat daily|weekly|monthly|yearly] [--count N | --until DAY]
//   wendra-calendar [--file PATH] change ID [--occurrence WHEN] [--subject TEXT] [--start WHEN]
//                                     [--duration MIN] [--all-day yes|no] [--repeat ...] [--count N | --until DAY]
//   wendra-calendar [--file PATH] delete ID [--occurrence WHEN]
//
// WHEN is "YYYY-MM-DD HH:MM" (or a day alone), local time. Exit code 0 on
// success, 1 when the calendar refused, 2 for a command it cannot read.

#include <ostream>
#include <string>
#include <vector>

namespace wendra::outlook {

int runCalendarTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace wendra::outlook
