#include "platform/shell/DesktopEntry.h"

#include "platform/shell/FileReplace.h"
#include "platform/text/Text.h"

namespace wendra::shell {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kReserved = " \t\n\"'\\><~|&;$*?#`()";

bool writable(std::string_view text) {
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7f) return false;
    }
    std::string again;
    for (const char32_t cp : utf8CodePoints(text)) appendUtf8(again, cp);
    return again == text;
}

// A string value of the format: a backslash is written doubled, a leading blank as \s.
std::string stringValue(std::string_view text) {
    std::string out;
    for (const char c : text) {
        if (c == '\\') {
            out += "\\\\";
        } else if (c == ' ' && out.empty()) {
            out += "\\s";
        } else {
            out += c;
        }
    }
    return out;
}

}  // namespace

std::string execArgument(std::string_view argument) {
    const bool quoted = argument.empty() || argument.find_first_of(kReserved) != std::string_view::npos;
    std::string out;
    if (quoted) out += '"';
    for (const char c : argument) {
        if (c == '%') {
            out += "%%";
            continue;
        }
        if (quoted && (c == '"' || c == '`' || c == '$' || c == '\\')) out += '\\';
        out += c;
    }
    if (quoted) out += '"';
    return out;
}

std::optional<std::string> desktopEntryText(const Shortcut& s) {
    const std::string program = s.program.string();
    const std::string icon = s.icon.string();
    if (s.name.empty() || !writable(s.name) || program.empty() || !writable(program) || !writable(icon)) {
        return std::nullopt;
    }
    std::string text = "[Desktop Entry]\n";
    text += "Type=Application\n";
    text += "Version=1.4\n";
    text += "Name=" + stringValue(s.name) + "\n";
    text += "Exec=" + stringValue(execArgument(program)) + "\n";
    if (!icon.empty()) text += "Icon=" + stringValue(icon) + "\n";
    text += "Terminal=false\n";
    text += "Categories=Office;Calendar;\n";
    return text;
}

std::error_code writeDesktopEntry(const fs::path& file, const Shortcut& shortcut) {
    const std::optional<std::string> text = desktopEntryText(shortcut);
    if (!text) return std::make_error_code(std::errc::invalid_argument);
    std::error_code ec;
    if (file.has_parent_path()) {
        fs::create_directories(file.parent_path(), ec);
        if (ec) return ec;
    }
    return replaceFileWithText(file, *text, 0755);
}

}  // namespace wendra::shell
