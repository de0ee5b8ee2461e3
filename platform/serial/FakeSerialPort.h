#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/serial/SerialPort.h"

namespace wendra {

// A port for tests: the test plays the device. It decides which ports open, hands
// in what the device sends and reads back what the program wrote.
class FakeSerialPort final : public SerialPort {
public:
    bool open(int port) override;
    void close() override;
    bool isOpen() const override { return open_; }
    int portNumber() const override { return port_; }
    std::size_t bytesWaiting() override { return open_ ? unread_.size() : 0; }
    std::string readAll() override;
    bool write(std::string_view bytes) override;
    void setReceiveHandler(Received handler) override { handler_ = std::move(handler); }
    SerialError lastError() const override { return error_; }

    // The device sends `bytes`: they wait to be read and, when `raiseEvent`, the
    // receive handler runs. Nothing arrives at a closed port; false then.
    bool deliver(std::string_view bytes, bool raiseEvent = true);

    // Opening `port` fails from now on with `error`.
    void failOpen(int port, SerialError error) { openFailures_[port] = std::move(error); }
    // Every write fails (true) or works again (false).
    void failWrites(bool fail) { failWrites_ = fail; }

    // Everything written, each write on its own, in order.
    const std::vector<std::string>& writes() const { return writes_; }
    // The port number of every open() call, in order, failed ones included.
    const std::vector<int>& opens() const { return opens_; }
    int closeCount() const { return closes_; }

private:
    std::map<int, SerialError> openFailures_;
    std::vector<std::string> writes_;
    std::vector<int> opens_;
    std::string unread_;
    Received handler_;
    SerialError error_;
    int port_ = 0;
    int closes_ = 0;
    bool open_ = false;
    bool failWrites_ = false;
};

}  // namespace wendra
