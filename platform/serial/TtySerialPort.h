#pragma once

#include <chrono>
#include <filesystem>
#include <functional>

#include "platform/serial/DevicePath.h"
#include "platform/serial/SerialPort.h"

namespace wendra {

// A serial port on a Linux tty, through termios, never blocking the caller except
// for a write that waits for the line to take its bytes.
//
// Nothing here waits for input by itself: poll() reads what has arrived and runs the
// receive handler. The owner calls it when the device becomes readable (QtSerialPort
// does that from the event loop) or from a timer.
class TtySerialPort final : public SerialPort {
public:
    using DevicePathFor = std::function<std::filesystem::path(int port)>;

    // More than this many unread bytes stop the reading until the owner reads.
    static constexpr std::size_t kMaxUnread = std::size_t{1} << 20;

    explicit TtySerialPort(DevicePathFor pathFor = devicePathFromEnvironment,
                           std::chrono::milliseconds writeTimeout = std::chrono::seconds(5));
    ~TtySerialPort() override;
    TtySerialPort(const TtySerialPort&) = delete;
    TtySerialPort& operator=(const TtySerialPort&) = delete;

    bool open(int port) override;
    void close() override;
    bool isOpen() const override { return fd_ >= 0; }
    int portNumber() const override { return port_; }
    std::size_t bytesWaiting() override;
    std::string readAll() override;
    bool write(std::string_view bytes) override;
    void setReceiveHandler(Received handler) override { handler_ = std::move(handler); }
    SerialError lastError() const override { return error_; }

    // Waits up to `wait` for input, reads all that has arrived and, when anything came
    // in, runs the receive handler once. Returns the number of bytes read.
    std::size_t poll(std::chrono::milliseconds wait = std::chrono::milliseconds(0));

    // The open device, for an event loop to watch; -1 when closed.
    int nativeHandle() const { return fd_; }
    // Whether reading makes sense now: open, the line not hung up, room for more.
    bool wantsInput() const { return fd_ >= 0 && !hungUp_ && unread_.size() < kMaxUnread; }

private:
    std::size_t drain();
    bool fail(int number, std::string description);

    DevicePathFor pathFor_;
    std::chrono::milliseconds writeTimeout_;
    Received handler_;
    SerialError error_;
    std::string unread_;
    std::filesystem::path device_;
    int fd_ = -1;
    int port_ = 0;
    bool hungUp_ = false;  // the other end has gone; only close() or open() clears it
};

}  // namespace wendra
