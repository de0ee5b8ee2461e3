#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace wendra {

// Why the last operation on a port failed: the system's error number and a text
// fit for the user ("/dev/ttyS2: No such file or directory").
struct SerialError {
    int number = 0;
    std::string description;
};

// One serial line to the mobile companion. Bytes travel as std::string, which keeps
// every byte as it is, zero bytes included.
class SerialPort {
public:
    using Received = std::function<void()>;

    virtual ~SerialPort() = default;

    // Opens port `port` (1 and up; see devicePath for the device it is), 9600 baud,
    // 8 data bits, no parity, one stop bit, no handshake. A port that is open is
    // closed first. False when it cannot be opened, with lastError() telling why.
    virtual bool open(int port) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;

    // The number given to the last open(), whether it succeeded or not; 0 before any.
    virtual int portNumber() const = 0;

    // Bytes received and not yet read; 0 when closed.
    virtual std::size_t bytesWaiting() = 0;
    // Everything received so far and not yet read; empty when closed.
    virtual std::string readAll() = 0;
    // Sends all of `bytes`. False when the port is closed or the line takes nothing
    // for too long, with lastError() telling why; a failed write may have sent a part.
    virtual bool write(std::string_view bytes) = 0;

    // Runs when bytes arrive, once for each batch; it may read, write, close or
    // reopen the port.
    virtual void setReceiveHandler(Received handler) = 0;

    virtual SerialError lastError() const = 0;
};

}  // namespace wendra
