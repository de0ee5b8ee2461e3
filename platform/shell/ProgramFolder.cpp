#include "platform/shell/ProgramFolder.h"

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

fs::path fileIn(const fs::path& folder, std::string_view name) { return folder / fs::path(name); }

}  // namespace wendra::shell
