#pragma once

// The mobile companion as the tests play it: the device's end of a
// pseudo-terminal pair, whose other end the program opens as its serial port
// through a "COM<n>" link (the README's port-to-device mapping). The peer
// sends messages in chunks of random sizes, as a radio link splits them, and
// reads the program's replies, each ended by one zero byte.
//
// Both ends are raw: no echo, no line editing, no CR/LF translation, so every
// byte arrives as it was sent.

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <random>
#include <string>
#include <string_view>

namespace wendra::peer {

struct Chunking {
    std::size_t maxChunk = 64;  // each write is 1 to maxChunk bytes
    std::chrono::microseconds pause{1500};  // between writes, so that they arrive apart
    // Runs after each write: a test in one thread with the program lets the
    // program read there, so that each chunk is a read of its own.
    std::function<void()> afterChunk;
};

class DevicePeer {
public:
    explicit DevicePeer(std::uint32_t seed = 18);
    ~DevicePeer();
    DevicePeer(const DevicePeer&) = delete;
    DevicePeer& operator=(const DevicePeer&) = delete;

    bool ok() const { return master_ >= 0 && slave_ >= 0; }
    // The program's end of the pair.
    const std::filesystem::path& terminal() const { return terminal_; }
    // Makes `folder`/COM<port> a link to the program's end (the folder is made
    // when missing, an older link replaced).
    bool linkAs(const std::filesystem::path& folder, int port) const;

    // Sends the bytes as they are, in chunks.
    bool send(std::string_view bytes, Chunking chunking = {});
    // Sends one message and the zero byte after it, in chunks.
    bool sendMessage(std::string_view text, Chunking chunking = {});

    // The next reply without its zero byte, waiting up to `timeout` for it (a zero
    // timeout takes only what has arrived); nullopt when none came whole in time.
    std::optional<std::string> receiveReply(std::chrono::milliseconds timeout);
    // Whatever arrived after the last whole reply.
    const std::string& unfinished() const { return inbox_; }

    // The device goes away: the program's end reads as hung up.
    void hangUp();

private:
    void readAvailable(int waitMs);

    int master_ = -1;
    // The peer keeps the program's end open too: the line stays up (and raw)
    // while the program closes and reopens its port.
    int slave_ = -1;
    std::filesystem::path terminal_;
    std::string inbox_;
    std::mt19937 random_;
};

}  // namespace wendra::peer
