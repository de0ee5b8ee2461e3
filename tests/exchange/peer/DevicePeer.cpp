#include "tests/exchange/peer/DevicePeer.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <system_error>
#include <thread>

namespace wendra::peer {

namespace {

bool makeRaw(int fd) {
    termios t{};
    if (::tcgetattr(fd, &t) != 0) return false;
    ::cfmakeraw(&t);
    return ::tcsetattr(fd, TCSANOW, &t) == 0;
}

}  // namespace

DevicePeer::DevicePeer(std::uint32_t seed) : random_(seed) {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    const char* name = nullptr;
    if (master_ >= 0 && ::grantpt(master_) == 0 && ::unlockpt(master_) == 0) name = ::ptsname(master_);
    if (name != nullptr) {
        terminal_ = name;
        slave_ = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    }
    if (slave_ < 0 || !makeRaw(slave_) || !makeRaw(master_)) {
        hangUp();
        return;
    }
    ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
}

DevicePeer::~DevicePeer() { hangUp(); }

void DevicePeer::hangUp() {
    if (slave_ >= 0) ::close(slave_);
    if (master_ >= 0) ::close(master_);
    slave_ = master_ = -1;
}

bool DevicePeer::linkAs(const std::filesystem::path& folder, int port) const {
    if (!ok()) return false;
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    const auto link = folder / ("COM" + std::to_string(port));
    std::filesystem::remove(link, ec);
    std::filesystem::create_symlink(terminal_, link, ec);
    return !ec;
}

bool DevicePeer::send(std::string_view bytes, Chunking chunking) {
    if (!ok()) return false;
    std::uniform_int_distribution<std::size_t> size(1, std::max<std::size_t>(chunking.maxChunk, 1));
    while (!bytes.empty()) {
        std::string_view chunk = bytes.substr(0, size(random_));
        while (!chunk.empty()) {
            const ssize_t n = ::write(master_, chunk.data(), chunk.size());
            if (n > 0) {
                chunk.remove_prefix(static_cast<std::size_t>(n));
                bytes.remove_prefix(static_cast<std::size_t>(n));
                continue;
            }
            if (n < 0 && errno == EINTR) continue;
            if (n < 0 && errno != EAGAIN) return false;
            // The line is full until the program reads: the program may be the
            // one waiting for our replies to be read, so read them meanwhile.
            readAvailable(10);
        }
        if (chunking.pause.count() > 0) std::this_thread::sleep_for(chunking.pause);
        if (chunking.afterChunk) chunking.afterChunk();
    }
    return true;
}

bool DevicePeer::sendMessage(std::string_view text, Chunking chunking) {
    std::string bytes(text);
    bytes.push_back('\0');
    return send(bytes, chunking);
}

void DevicePeer::readAvailable(int waitMs) {
    if (master_ < 0) return;
    pollfd p{master_, POLLIN, 0};
    if (::poll(&p, 1, waitMs) <= 0) return;
    std::array<char, 4096> chunk{};
    for (;;) {
        const ssize_t n = ::read(master_, chunk.data(), chunk.size());
        if (n > 0) {
            inbox_.append(chunk.data(), static_cast<std::size_t>(n));
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        return;
    }
}

std::optional<std::string> DevicePeer::receiveReply(std::chrono::milliseconds timeout) {
    const auto giveUp = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        if (const auto end = inbox_.find('\0'); end != std::string::npos) {
            std::string reply = inbox_.substr(0, end);
            inbox_.erase(0, end + 1);
            return reply;
        }
        if (master_ < 0) return std::nullopt;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(giveUp - std::chrono::steady_clock::now());
        // At least one look at the line, also when no time is left: a zero wait
        // takes what has arrived.
        const bool last = left.count() <= 0;
        const std::size_t had = inbox_.size();
        readAvailable(last ? 0 : static_cast<int>(std::min<long long>(left.count(), 50)));
        if (last && inbox_.find('\0', had) == std::string::npos) return std::nullopt;
    }
}

}  // namespace wendra::peer
