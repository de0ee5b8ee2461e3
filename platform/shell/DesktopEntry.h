#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

// Shortcuts as freedesktop desktop entries: a file "<name>.desktop" that the desktop
// and the applications menu show as a launcher of one program.
namespace wendra::shell {

// A shortcut to a program, opened in a normal window, with no arguments.
struct Shortcut {
    std::string name;
    std::filesystem::path program;
    std::filesystem::path icon;
};

// One argument of an Exec line: as it is when it holds none of the characters the
// format reserves, else in double quotes with ", `, $ and \ escaped; "%" is always
// doubled, since a single one starts a field code.
std::string execArgument(std::string_view argument);

// The entry's text; nothing when a text of it cannot be written in an entry at all
// (not UTF-8, or holding a control character) - such a path would launch something else.
std::optional<std::string> desktopEntryText(const Shortcut& shortcut);

// Writes the entry to the file, making its folder and the folders above when they
// are missing, and replacing an older entry in one step. The file is executable: file
// managers trust a launcher on the desktop only then.
std::error_code writeDesktopEntry(const std::filesystem::path& file, const Shortcut& shortcut);

}  // namespace wendra::shell
