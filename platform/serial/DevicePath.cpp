#include "platform/serial/DevicePath.h"

#include <cstdlib>
#include <string>

namespace wendra {

std::filesystem::path devicePath(int port, const std::filesystem::path& folder) {
    if (!folder.empty()) return folder / ("COM" + std::to_string(port));
    return "/dev/ttyS" + std::to_string(port - 1);
}

std::filesystem::path devicePathFromEnvironment(int port) {
    const char* folder = std::getenv(kComDevicesVariable);
    return devicePath(port, folder ? std::filesystem::path(folder) : std::filesystem::path());
}

}  // namespace wendra
