#pragma once

#include <filesystem>
#include <string_view>

namespace wendra::shell {

// The folder of the running executable: the program keeps its database, its rolling
// backups and the files it opens there. Read from /proc/self/exe, so it does not
// depend on the folder the program was started from or on how it was named; only
// where that link cannot be read does the current folder stand in.
std::filesystem::path programFolder();

// The user's own folder for what the program writes besides its database:
// $XDG_DATA_HOME/WendraWin, by default ~/.local/share/WendraWin. Empty when the
// user has no home to put it in. Not created here.
std::filesystem::path userDataFolder();

// A file of a folder, joined by std::filesystem: a name is never glued on with a
// separator of its own.
std::filesystem::path fileIn(const std::filesystem::path& folder, std::string_view name);

}  // namespace wendra::shell
