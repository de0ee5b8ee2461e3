#include "gadget/host/HostOptions.h"

#include <charconv>

namespace wendra::gadgethost {

namespace {

// A whole decimal number from low to 32767, as the page's 16-bit members take it.
std::optional<std::int16_t> number(std::string_view text, int low) {
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end || value < low || value > 32767) return std::nullopt;
    return static_cast<std::int16_t>(value);
}

}  // namespace

ParsedOptions parseHostOptions(const std::vector<std::string>& args, std::int16_t defaultPriorWarning) {
    ParsedOptions parsed;
    HostOptions options;
    options.priorWarning = defaultPriorWarning;
    const auto wrong = [&](std::string why) {
        parsed.error = std::move(why);
        return parsed;
    };
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string_view arg = args[i];
        std::optional<std::string_view> inlineValue;
        if (const auto eq = arg.find('='); arg.starts_with("--") && eq != std::string_view::npos) {
            inlineValue = arg.substr(eq + 1);
            arg = arg.substr(0, eq);
        }
        const auto value = [&]() -> std::optional<std::string_view> {
            if (inlineValue) return inlineValue;
            if (i + 1 < args.size()) return std::string_view(args[++i]);
            return std::nullopt;
        };
        if (arg == "--help" || arg == "-h") {
            parsed.help = true;
            return parsed;
        }
        if (arg == "--install" && !inlineValue) {
            options.install = true;
        } else if (arg == "--prior-warning") {
            const auto text = value();
            const auto days = text ? number(*text, 0) : std::nullopt;
            if (!days) return wrong("--prior-warning takes a number of days from 0 to 32767");
            options.priorWarning = *days;
        } else if (arg == "--rows") {
            const auto text = value();
            const auto rows = text ? number(*text, -1) : std::nullopt;
            // No rows at all would show an empty page whatever the store holds.
            if (!rows || *rows == 0) return wrong("--rows takes a number of rows from 1 to 32767, or -1 for all");
            options.rows = *rows;
        } else {
            return wrong("unknown argument: " + std::string(args[i]));
        }
    }
    parsed.options = options;
    return parsed;
}

std::string usageText(std::string_view program) {
    return "usage: " + std::string(program) +
           " [--prior-warning DAYS] [--rows N] [--install]\n"
           "Shows the Wendra(win) gadget: the events due within DAYS (default: the prior warning\n"
           "of the settings), N rows a page (default 10, -1 for all).\n"
           "  --install  also start the gadget with every session of this user\n";
}

}  // namespace wendra::gadgethost
