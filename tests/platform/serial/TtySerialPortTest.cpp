#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <string>

#include "platform/serial/DevicePath.h"
#include "platform/serial/TtySerialPort.h"
#include "tests/platform/serial/PseudoTerminal.h"

using namespace std::chrono_literals;
using serialtest::DeviceFolder;
using serialtest::PseudoTerminal;
using wendra::devicePath;
using wendra::TtySerialPort;

namespace {

std::string everyByte() {
    std::string s;
    for (int b = 0; b < 256; ++b) s += static_cast<char>(b);
    return s;
}

class SerialTty : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(device.ok()) << "no pseudo-terminal";
        ASSERT_FALSE(folder.path().empty());
        folder.link(3, device.terminal());
    }

    // Polls until `count` bytes wait or a second has passed.
    std::size_t pollFor(TtySerialPort& p, std::size_t count) {
        const auto giveUp = std::chrono::steady_clock::now() + 1s;
        while (p.bytesWaiting() < count && std::chrono::steady_clock::now() < giveUp) p.poll(50ms);
        return p.bytesWaiting();
    }

    PseudoTerminal device;
    DeviceFolder folder;
};

}  // namespace

TEST(SerialDevicePath, PortNumbersCountFromTheFirstSerialPort) {
    EXPECT_EQ(devicePath(1), "/dev/ttyS0");
    EXPECT_EQ(devicePath(16), "/dev/ttyS15");
    EXPECT_EQ(devicePath(3, "/tmp/links"), "/tmp/links/COM3");

    const char* old = std::getenv(wendra::kComDevicesVariable);
    const std::string saved = old ? old : "";
    ::setenv(wendra::kComDevicesVariable, "/run/com", 1);
    EXPECT_EQ(wendra::devicePathFromEnvironment(5), "/run/com/COM5");
    ::setenv(wendra::kComDevicesVariable, "", 1);
    EXPECT_EQ(wendra::devicePathFromEnvironment(5), "/dev/ttyS4") << "an empty folder is no folder";
    if (old)
        ::setenv(wendra::kComDevicesVariable, saved.c_str(), 1);
    else
        ::unsetenv(wendra::kComDevicesVariable);
}

TEST_F(SerialTty, BytesFromTheDeviceArriveWithTheReceiveHandler) {
    TtySerialPort port(folder.pathFor());
    ASSERT_TRUE(port.open(3)) << port.lastError().description;
    EXPECT_TRUE(port.isOpen());
    EXPECT_EQ(port.portNumber(), 3);
    EXPECT_EQ(port.bytesWaiting(), 0u);

    int events = 0;
    std::string seen;
    port.setReceiveHandler([&] {
        ++events;
        EXPECT_EQ(port.bytesWaiting(), 5u) << "counted inside the handler";
        seen += port.readAll();
    });
    EXPECT_EQ(port.poll(), 0u);
    EXPECT_EQ(events, 0) << "nothing came, no event";

    ASSERT_TRUE(device.send("hello"));
    EXPECT_EQ(port.poll(1s), 5u);
    EXPECT_EQ(events, 1);
    EXPECT_EQ(seen, "hello");
    EXPECT_EQ(port.bytesWaiting(), 0u);
    EXPECT_EQ(port.poll(), 0u);
    EXPECT_EQ(events, 1);
}

TEST_F(SerialTty, BytesWaitingCountsWhatTheLineHoldsBeforeAnyPoll) {
    TtySerialPort port(folder.pathFor());
    ASSERT_TRUE(port.open(3));
    ASSERT_TRUE(device.send("abc"));
    pollfd p{port.nativeHandle(), POLLIN, 0};
    ASSERT_EQ(::poll(&p, 1, 1000), 1);
    EXPECT_EQ(port.bytesWaiting(), 3u);
    EXPECT_EQ(port.readAll(), "abc") << "read without any event";
    EXPECT_EQ(port.bytesWaiting(), 0u);
}

TEST_F(SerialTty, EveryByteValuePassesUnchangedBothWays) {
    TtySerialPort port(folder.pathFor());
    ASSERT_TRUE(port.open(3));
    // Zero bytes end every message; CR, LF, ^C, ^D, ^S, ^Q and DEL would be eaten or
    // changed by a line that is not raw.
    const std::string bytes = everyByte() + std::string("\0\r\n\x03\x04\x13\x11\x7f\0", 9);

    ASSERT_TRUE(device.send(bytes));
    ASSERT_EQ(pollFor(port, bytes.size()), bytes.size());
    EXPECT_EQ(port.readAll(), bytes);

    ASSERT_TRUE(port.write(bytes));
    EXPECT_EQ(device.receive(bytes.size()), bytes);
}

TEST_F(SerialTty, PortsThatCannotOpenFailCleanly) {
    int asked = 0;
    TtySerialPort port([&](int n) {
        ++asked;
        return devicePath(n, folder.path());
    });

    EXPECT_FALSE(port.open(5)) << "no such device";
    EXPECT_FALSE(port.isOpen());
    EXPECT_EQ(port.portNumber(), 5);
    EXPECT_EQ(port.lastError().number, ENOENT);
    EXPECT_NE(port.lastError().description.find("COM5"), std::string::npos) << port.lastError().description;
    EXPECT_FALSE(port.write("x"));
    EXPECT_EQ(port.readAll(), "");
    EXPECT_EQ(port.bytesWaiting(), 0u);
    EXPECT_EQ(port.poll(), 0u);

    const auto plainFile = folder.path() / "plain";
    std::ofstream(plainFile) << "not a line";
    folder.link(4, plainFile);
    EXPECT_FALSE(port.open(4));
    EXPECT_EQ(port.lastError().number, ENOTTY);
    EXPECT_FALSE(port.isOpen());

    asked = 0;
    EXPECT_FALSE(port.open(0)) << "port 0 is no port";
    EXPECT_FALSE(port.open(-1));
    EXPECT_EQ(port.lastError().number, EINVAL);
    EXPECT_EQ(asked, 0) << "no device is looked for";

    EXPECT_TRUE(port.open(3)) << "a failure leaves nothing behind";
}

TEST_F(SerialTty, OnlyOnePortOpensALine) {
    TtySerialPort first(folder.pathFor()), second(folder.pathFor());
    ASSERT_TRUE(first.open(3));
    EXPECT_FALSE(second.open(3));
    EXPECT_EQ(second.lastError().number, EBUSY);

    // Reopening on another port lets go of the first line.
    PseudoTerminal other;
    ASSERT_TRUE(other.ok());
    folder.link(4, other.terminal());
    ASSERT_TRUE(first.open(4));
    EXPECT_EQ(first.portNumber(), 4);
    EXPECT_TRUE(second.open(3));

    // What the old line had sent is not read on the new one.
    ASSERT_TRUE(device.send("old"));
    ASSERT_TRUE(other.send("new"));
    ASSERT_EQ(pollFor(first, 3), 3u);
    EXPECT_EQ(first.readAll(), "new");
    first.close();
    EXPECT_FALSE(first.isOpen());
}

TEST_F(SerialTty, AHandlerMayCloseOrReopenThePort) {
    TtySerialPort port(folder.pathFor());
    ASSERT_TRUE(port.open(3));
    int events = 0;
    port.setReceiveHandler([&] {
        ++events;
        port.close();
    });
    ASSERT_TRUE(device.send("bye"));
    EXPECT_EQ(port.poll(1s), 3u);
    EXPECT_EQ(events, 1);
    EXPECT_FALSE(port.isOpen());
    EXPECT_EQ(port.bytesWaiting(), 0u) << "closing drops what was unread";

    port.setReceiveHandler([&] {
        ++events;
        port.setReceiveHandler(nullptr);
        ASSERT_TRUE(port.open(3));
    });
    ASSERT_TRUE(port.open(3));
    ASSERT_TRUE(device.send("again"));
    EXPECT_EQ(port.poll(1s), 5u);
    EXPECT_EQ(events, 2);
    EXPECT_TRUE(port.isOpen());
}

TEST_F(SerialTty, AHungUpLineStopsReadingAndWritesFail) {
    TtySerialPort port(folder.pathFor());
    ASSERT_TRUE(port.open(3));
    int events = 0;
    port.setReceiveHandler([&] { ++events; });
    ASSERT_TRUE(device.send("last"));
    ASSERT_EQ(port.poll(1s), 4u);  // read in before the hang-up, which drops what the line holds
    device.hangUp();

    EXPECT_EQ(port.poll(100ms), 0u);
    EXPECT_FALSE(port.wantsInput()) << "a notifier must stop watching it";
    EXPECT_TRUE(port.isOpen()) << "the port stays open until the owner closes it";
    EXPECT_EQ(port.readAll(), "last") << "what came before the hang-up is kept";
    EXPECT_FALSE(port.write("x"));
    EXPECT_NE(port.lastError().number, 0);
    EXPECT_EQ(events, 1);
}

TEST_F(SerialTty, AWriteThatTheLineDoesNotTakeGivesUp) {
    TtySerialPort port(folder.pathFor(), 100ms);
    ASSERT_TRUE(port.open(3));
    // The device reads nothing, so the line fills up.
    EXPECT_FALSE(port.write(std::string(std::size_t{4} << 20, 'x')));
    EXPECT_EQ(port.lastError().number, ETIMEDOUT);
    EXPECT_TRUE(port.isOpen());
}
