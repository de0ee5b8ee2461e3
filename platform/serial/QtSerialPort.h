#pragma once

#include <chrono>
#include <memory>

#include "platform/serial/TtySerialPort.h"

namespace wendra {

// The tty port with its receive handler driven by the Qt event loop: the handler runs
// when bytes arrive, without any timer. Reading pauses while the other end has hung
// up or too much lies unread, so a dead line never keeps the loop busy.
class QtSerialPort final : public SerialPort {
public:
    explicit QtSerialPort(TtySerialPort::DevicePathFor pathFor = devicePathFromEnvironment,
                          std::chrono::milliseconds writeTimeout = std::chrono::seconds(5));
    ~QtSerialPort() override;
    QtSerialPort(const QtSerialPort&) = delete;
    QtSerialPort& operator=(const QtSerialPort&) = delete;

    bool open(int port) override;
    void close() override;
    bool isOpen() const override;
    int portNumber() const override;
    std::size_t bytesWaiting() override;
    std::string readAll() override;
    bool write(std::string_view bytes) override;
    void setReceiveHandler(Received handler) override;
    SerialError lastError() const override;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace wendra
