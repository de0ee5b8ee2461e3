#include "gadget/host/Autostart.h"

#include "platform/shell/DesktopEntry.h"
#include "platform/shell/UserFolders.h"

namespace wendra::gadgethost {

std::filesystem::path autostartEntryFile() {
    return shell::configHome() / "autostart" / "WendraGadgetHost.desktop";
}

std::error_code installAutostart(const std::filesystem::path& entryFile, const std::filesystem::path& host,
                                 const std::filesystem::path& icon) {
    return shell::writeDesktopEntry(entryFile, shell::Shortcut{"Wendra(win) Gadget", host, icon});
}

}  // namespace wendra::gadgethost
