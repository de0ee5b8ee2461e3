#pragma once

// Points WENDRA_COM_DEVICES, the folder of the program's COM<n> device links, at a
// folder for the life of the object.

#include <stdlib.h>

#include <filesystem>
#include <optional>
#include <string>

#include "platform/serial/DevicePath.h"

namespace wendra::test {

class ComDevices {
public:
    explicit ComDevices(const std::filesystem::path& folder) {
        if (const char* old = std::getenv(kComDevicesVariable)) saved_ = old;
        ::setenv(kComDevicesVariable, folder.c_str(), 1);
    }
    ~ComDevices() {
        if (saved_)
            ::setenv(kComDevicesVariable, saved_->c_str(), 1);
        else
            ::unsetenv(kComDevicesVariable);
    }
    ComDevices(const ComDevices&) = delete;
    ComDevices& operator=(const ComDevices&) = delete;

private:
    std::optional<std::string> saved_;
};

}  // namespace wendra::test
