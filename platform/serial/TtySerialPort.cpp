#include "platform/serial/TtySerialPort.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <utility>

namespace wendra {

namespace {

std::string systemText(int number) { return std::strerror(number); }

// Raw bytes both ways: no line editing, no signals from control characters, no
// CR/LF translation, no flow control. VMIN 1 matters: with the descriptor
// non-blocking, an empty line then reads as EAGAIN, so that a read of 0 bytes can
// only mean the other end has hung up (VMIN 0 would return 0 for "nothing yet").
bool makeRaw(int fd) {
    termios t{};
    if (::tcgetattr(fd, &t) != 0) return false;
    ::cfmakeraw(&t);
    t.c_cflag |= CLOCAL | CREAD;
    t.c_cflag &= ~static_cast<tcflag_t>(CRTSCTS | CSTOPB | PARENB);
    t.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
    t.c_cc[VMIN] = 1;
    t.c_cc[VTIME] = 0;
    if (::cfsetispeed(&t, B9600) != 0 || ::cfsetospeed(&t, B9600) != 0) return false;
    return ::tcsetattr(fd, TCSANOW, &t) == 0;
}

}  // namespace

TtySerialPort::TtySerialPort(DevicePathFor pathFor, std::chrono::milliseconds writeTimeout)
    : pathFor_(pathFor ? std::move(pathFor) : DevicePathFor(devicePathFromEnvironment)),
      writeTimeout_(writeTimeout) {}

TtySerialPort::~TtySerialPort() { close(); }

bool TtySerialPort::fail(int number, std::string description) {
    error_ = {number, std::move(description)};
    return false;
}

bool TtySerialPort::open(int port) {
    close();
    port_ = port;
    error_ = {};
    if (port < 1) return fail(EINVAL, "Invalid port number " + std::to_string(port));
    device_ = pathFor_(port);
    const std::string where = device_.string() + ": ";

    const int fd = ::open(device_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return fail(errno, where + systemText(errno));
    // Two programs reading one line would each get half of every message.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int e = errno;
        ::close(fd);
        return fail(e == EWOULDBLOCK ? EBUSY : e, where + (e == EWOULDBLOCK ? "Port already open" : systemText(e)));
    }
    if (!makeRaw(fd)) {
        const int e = errno;
        ::close(fd);
        return fail(e, where + systemText(e));
    }
    fd_ = fd;
    hungUp_ = false;
    return true;
}

void TtySerialPort::close() {
    if (fd_ >= 0) ::close(fd_);  // also releases the lock
    fd_ = -1;
    hungUp_ = false;
    unread_.clear();
}

std::size_t TtySerialPort::drain() {
    std::size_t got = 0;
    std::array<char, 4096> chunk{};
    while (wantsInput()) {
        const ssize_t n = ::read(fd_, chunk.data(), chunk.size());
        if (n > 0) {
            unread_.append(chunk.data(), static_cast<std::size_t>(n));
            got += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) break;
        // End of file or an error such as EIO: the other end hung up. Reading again
        // would only report it again, so stop until the port is reopened.
        if (n < 0) error_ = {errno, device_.string() + ": " + systemText(errno)};
        hungUp_ = true;
    }
    return got;
}

std::size_t TtySerialPort::poll(std::chrono::milliseconds wait) {
    if (!wantsInput()) return 0;
    if (wait.count() > 0) {
        pollfd p{fd_, POLLIN, 0};
        ::poll(&p, 1, static_cast<int>(wait.count()));
    }
    const std::size_t got = drain();
    // A copy: the handler may replace itself, or close and reopen the port.
    if (got > 0 && handler_) {
        Received handler = handler_;
        handler();
    }
    return got;
}

std::size_t TtySerialPort::bytesWaiting() {
    if (fd_ < 0) return 0;
    int pending = 0;
    if (hungUp_ || ::ioctl(fd_, FIONREAD, &pending) != 0 || pending < 0) pending = 0;
    return unread_.size() + static_cast<std::size_t>(pending);
}

std::string TtySerialPort::readAll() {
    if (fd_ < 0) return {};
    drain();
    return std::exchange(unread_, {});
}

bool TtySerialPort::write(std::string_view bytes) {
    if (fd_ < 0) return fail(EBADF, "Port is not open");
    using Clock = std::chrono::steady_clock;
    auto giveUp = Clock::now() + writeTimeout_;
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd_, bytes.data(), bytes.size());
        if (n > 0) {
            bytes.remove_prefix(static_cast<std::size_t>(n));
            giveUp = Clock::now() + writeTimeout_;  // the line is moving
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK)
            return fail(errno, device_.string() + ": " + systemText(errno));
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(giveUp - Clock::now());
        if (left.count() <= 0) return fail(ETIMEDOUT, device_.string() + ": " + systemText(ETIMEDOUT));
        pollfd p{fd_, POLLOUT, 0};
        ::poll(&p, 1, static_cast<int>(left.count()) + 1);
    }
    return true;
}

}  // namespace wendra
