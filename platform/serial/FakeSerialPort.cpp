#include "platform/serial/FakeSerialPort.h"

#include <cerrno>
#include <utility>

namespace wendra {

bool FakeSerialPort::open(int port) {
    if (open_) close();
    opens_.push_back(port);
    port_ = port;
    error_ = {};
    if (port < 1) {
        error_ = {EINVAL, "Invalid port number " + std::to_string(port)};
        return false;
    }
    if (const auto f = openFailures_.find(port); f != openFailures_.end()) {
        error_ = f->second;
        return false;
    }
    open_ = true;
    return true;
}

void FakeSerialPort::close() {
    if (open_) ++closes_;
    open_ = false;
    unread_.clear();
}

std::string FakeSerialPort::readAll() { return open_ ? std::exchange(unread_, {}) : std::string(); }

bool FakeSerialPort::write(std::string_view bytes) {
    if (!open_) {
        error_ = {EBADF, "Port is not open"};
        return false;
    }
    if (failWrites_) {
        error_ = {EIO, "Input/output error"};
        return false;
    }
    writes_.emplace_back(bytes);
    return true;
}

bool FakeSerialPort::deliver(std::string_view bytes, bool raiseEvent) {
    if (!open_) return false;
    unread_.append(bytes);
    if (raiseEvent && handler_ && !bytes.empty()) {
        Received handler = handler_;
        handler();
    }
    return true;
}

}  // namespace wendra
