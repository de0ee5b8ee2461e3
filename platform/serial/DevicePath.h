#pragma once

#include <filesystem>

namespace wendra {

// Which device file a port number opens.
//
// Port n is /dev/ttyS<n-1>: port 1 is the first serial port, /dev/ttyS0, as on the
// machines the port numbers come from (port 0 means "no port" and is never opened).
// When `folder` is given, port n is the entry "COM<n>" in that folder instead, which
// is normally a symbolic link to any tty: a Bluetooth link (/dev/rfcomm0), a USB
// adapter (/dev/ttyUSB0) or, in tests, a pseudo-terminal.
std::filesystem::path devicePath(int port, const std::filesystem::path& folder = {});

// The environment variable that names such a folder for the running program.
inline constexpr const char* kComDevicesVariable = "WENDRA_COM_DEVICES";

// devicePath with the folder of WENDRA_COM_DEVICES, when it is set and not empty.
std::filesystem::path devicePathFromEnvironment(int port);

}  // namespace wendra
