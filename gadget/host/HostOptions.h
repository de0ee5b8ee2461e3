#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The gadget host's command line. The page lists the events due within the prior
// warning and pages by the row count; both can be given, and default to the
// settings' prior warning and 10 rows:
//
//     WendraGadgetHost [--prior-warning DAYS] [--rows N] [--install]
namespace wendra::gadgethost {

inline constexpr std::int16_t kDefaultRows = 10;

struct HostOptions {
    std::int16_t priorWarning = 0;  // days, 0 to 32767
    std::int16_t rows = kDefaultRows;  // grid rows a page, 1 to 32767, or -1 for every row
    bool install = false;              // add the gadget to the user's desktop session first
};

struct ParsedOptions {
    std::optional<HostOptions> options;  // nothing when the line asks for help or is wrong
    bool help = false;
    std::string error;  // what is wrong with the line, for the user
};

// The arguments after the program's name. "--name VALUE" and "--name=VALUE" both work.
ParsedOptions parseHostOptions(const std::vector<std::string>& args, std::int16_t defaultPriorWarning);

std::string usageText(std::string_view program);

}  // namespace wendra::gadgethost
