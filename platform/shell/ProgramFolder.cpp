#include "platform/shell/ProgramFolder.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <system_error>

namespace wendra::shell {

namespace fs = std::filesystem;

fs::path programFolder() {
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (!ec && exe.is_absolute() && exe.has_parent_path()) return exe.parent_path();
    const fs::path here = fs::current_path(ec);
    return ec ? fs::path(".") : here;
}

fs::path userDataFolder() {
    if (const char* data = std::getenv("XDG_DATA_HOME"); data && *data && fs::path(data).is_absolute())
        return fs::path(data) / "WendraWin";
    const char* home = std::getenv("HOME");
    if (home == nullptr || *home == '\0') {
        const passwd* pw = ::getpwuid(::getuid());
        home = pw != nullptr ? pw->pw_dir : nullptr;
    }
    if (home == nullptr || *home == '\0') return {};
    return fs::path(home) / ".local" / "share" / "WendraWin";
}

fs::path fileIn(const fs::path& folder, std::string_view name) { return folder / fs::path(name); }

}  // namespace wendra::shell
