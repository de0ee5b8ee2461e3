#pragma once

#include <filesystem>
#include <optional>
#include <string_view>

// The user's folders as the freedesktop conventions place them.
namespace wendra::shell {

// $HOME, else the home folder of the user's account; empty when there is neither.
std::filesystem::path homeFolder();
// $XDG_DATA_HOME when it is an absolute path, else ~/.local/share.
std::filesystem::path dataHome();
// $XDG_CONFIG_HOME when it is an absolute path, else ~/.config.
std::filesystem::path configHome();

// The desktop folder named in a user-dirs.dirs text (the line XDG_DESKTOP_DIR="..."):
// "$HOME/..." or an absolute path, with backslash escapes; nothing when the text
// names none or names it in a form the convention does not allow. The last such
// line wins, as the shell that reads the file would have it.
std::optional<std::filesystem::path> desktopFolderIn(std::string_view userDirs, const std::filesystem::path& home);
// The user's desktop folder: from $XDG_CONFIG_HOME/user-dirs.dirs, else ~/Desktop.
std::filesystem::path desktopFolder();
// Where the user's applications menu reads its entries: <data home>/applications.
std::filesystem::path applicationsFolder();

}  // namespace wendra::shell
