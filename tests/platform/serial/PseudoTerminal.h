#pragma once

// A pseudo-terminal pair for the serial tests: the port under test opens the
// terminal side through a "COM<n>" link in a folder of its own, and the test plays
// the device on the other side.

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <string_view>

#include "platform/serial/DevicePath.h"

namespace serialtest {

class PseudoTerminal {
public:
    PseudoTerminal() {
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) return;
        ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
        terminal_ = ::ptsname(master_);
    }
    ~PseudoTerminal() { hangUp(); }
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    bool ok() const { return master_ >= 0 && !terminal_.empty(); }
    const std::filesystem::path& terminal() const { return terminal_; }

    // The device sends.
    bool send(std::string_view bytes) const {
        while (!bytes.empty()) {
            const ssize_t n = ::write(master_, bytes.data(), bytes.size());
            if (n <= 0) return false;
            bytes.remove_prefix(static_cast<std::size_t>(n));
        }
        return true;
    }

    // What the device received, waiting until `count` bytes came or a second passed.
    std::string receive(std::size_t count) const {
        std::string got;
        const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(1);
        while (got.size() < count && std::chrono::steady_clock::now() < giveUp) {
            pollfd p{master_, POLLIN, 0};
            ::poll(&p, 1, 50);
            char buf[4096];
            const ssize_t n = ::read(master_, buf, sizeof buf);
            if (n > 0) got.append(buf, static_cast<std::size_t>(n));
        }
        return got;
    }

    // The device goes away.
    void hangUp() {
        if (master_ >= 0) ::close(master_);
        master_ = -1;
    }

private:
    int master_ = -1;
    std::filesystem::path terminal_;
};

// A folder of "COM<n>" links, removed with everything in it at the end.
class DeviceFolder {
public:
    DeviceFolder() {
        std::string name = (std::filesystem::temp_directory_path() / "wendra-com-XXXXXX").string();
        if (::mkdtemp(name.data())) path_ = name;
    }
    ~DeviceFolder() {
        std::error_code ec;
        if (!path_.empty()) std::filesystem::remove_all(path_, ec);
    }
    DeviceFolder(const DeviceFolder&) = delete;
    DeviceFolder& operator=(const DeviceFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    void link(int port, const std::filesystem::path& device) const {
        std::filesystem::create_symlink(device, wendra::devicePath(port, path_));
    }
    auto pathFor() const {
        return [dir = path_](int port) { return wendra::devicePath(port, dir); };
    }

private:
    std::filesystem::path path_;
};

}  // namespace serialtest
