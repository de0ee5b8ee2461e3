#pragma once

#include <filesystem>
#include <system_error>

// Installing the gadget: the sidebar kept an installed gadget on the desktop from
// one session to the next; here an autostart entry of the user's desktop session
// starts the host at every login.
namespace wendra::gadgethost {

// <config home>/autostart/WendraGadgetHost.desktop
std::filesystem::path autostartEntryFile();

// Writes the entry that starts the host (shown with the icon) at login, replacing an
// older one.
std::error_code installAutostart(const std::filesystem::path& entryFile, const std::filesystem::path& host,
                                 const std::filesystem::path& icon);

}  // namespace wendra::gadgethost
